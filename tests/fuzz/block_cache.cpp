// The Kindle reader takes a fresh 1 MB block for every file. Under
// AddressSanitizer every such block is a new mapping whose pages fault in
// one by one, which makes one run of a tiny input cost milliseconds. This
// keeps one freed block of that size for the next file; while it waits it
// is poisoned, so a use after free is still reported.
#include "extract/line_reader.h"

#include <sanitizer/asan_interface.h>

#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kCachedSize = quillery::LineReader::kDefaultBlockSize;
// The last block of that size handed out, and the freed one kept.
void* lent = nullptr;
void* kept = nullptr;

void* TryAllocate(std::size_t size) noexcept
{
    if (size != kCachedSize) {
        return std::malloc(size == 0 ? 1 : size);
    }
    void* block = kept;
    kept = nullptr;
    if (block != nullptr) {
        ASAN_UNPOISON_MEMORY_REGION(block, size);
    } else {
        block = std::malloc(size);
    }
    lent = block;
    return block;
}

void* Allocate(std::size_t size)
{
    if (void* block = TryAllocate(size)) {
        return block;
    }
    throw std::bad_alloc();
}

void Release(void* block) noexcept
{
    if (block != nullptr && block == lent && kept == nullptr) {
        lent = nullptr;
        ASAN_POISON_MEMORY_REGION(block, kCachedSize);
        kept = block;
        return;
    }
    if (block == lent) {
        lent = nullptr;
    }
    std::free(block);
}

} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return TryAllocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return TryAllocate(size);
}

void operator delete(void* block) noexcept
{
    Release(block);
}

void operator delete[](void* block) noexcept
{
    Release(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    Release(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
