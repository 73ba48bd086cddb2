#include "support/AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
bool (*ignored)() = nullptr;

void* Allocate(std::size_t size)
{
    AllocationCount::Count();
    return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

namespace AllocationCount {

void Ignore(bool (*predicate)())
{
    ignored = predicate;
}

void Start()
{
    allocations = 0;
    counting = true;
}

long Stop()
{
    counting = false;
    return allocations.load();
}

void Count()
{
    if (counting.load(std::memory_order_relaxed) && (ignored == nullptr || !ignored())) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace AllocationCount

void* operator new(std::size_t size)
{
    if (void* memory = Allocate(size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}
