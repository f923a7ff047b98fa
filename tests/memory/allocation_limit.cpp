#include "memory/allocation_limit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace quillery::test {

namespace {

// Bytes still allowed; negative: no limit.
std::atomic<std::int64_t> budget{-1};

void* Allocate(std::size_t size)
{
    std::int64_t left = budget.load();
    while (left >= 0) {
        if (static_cast<std::uint64_t>(left) < size) {
            // One request is refused, as when a large block cannot be had;
            // the smaller ones of the failure's handling still succeed.
            budget = -1;
            throw std::bad_alloc();
        }
        if (budget.compare_exchange_weak(left, left - static_cast<std::int64_t>(size))) {
            break;
        }
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

} // namespace

AllocationLimit::AllocationLimit(std::int64_t bytes)
{
    budget = bytes;
}

AllocationLimit::~AllocationLimit()
{
    budget = -1;
}

} // namespace quillery::test

// Every allocation of this test program goes through the budget; frees are
// not counted back, so a limit bounds what a run asks for in all.
void* operator new(std::size_t size)
{
    return quillery::test::Allocate(size);
}

void* operator new[](std::size_t size)
{
    return quillery::test::Allocate(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
