// Allocate/Release over the C heap, and the global new/delete operators forwarded to them.
#include "base/allocation.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void OutOfMemory(std::size_t size) {
    std::fprintf(stderr, "out of memory allocating %zu bytes\n", size);
    std::abort();
}

}  // namespace

void* Allocate(std::size_t size) {
    // malloc(0) may return null; one byte keeps "never null" true.
    void* pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) OutOfMemory(size);
    return pointer;
}

void* AllocateElements(std::size_t count, std::size_t size) {
    if (size != 0 && count > SIZE_MAX / size) OutOfMemory(SIZE_MAX);
    return Allocate(count * size);
}

void Release(void* pointer) {
    std::free(pointer);
}

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { Release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
