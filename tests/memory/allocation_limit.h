#pragma once

#include <cstdint>

namespace quillery::test {

// While it lives, the program may allocate `bytes` more in all: the request
// that would go past them throws std::bad_alloc, as on a machine out of
// memory, and lifts the limit.
class AllocationLimit {
  public:
    explicit AllocationLimit(std::int64_t bytes);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

} // namespace quillery::test
