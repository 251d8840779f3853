// The one pair of heap functions that the base types, the framework and the global
// new/delete operators all allocate through.
#ifndef SRC_BASE_ALLOCATION_H
#define SRC_BASE_ALLOCATION_H

#include <cstddef>

// Never returns null: running out of memory ends the process.
void* Allocate(std::size_t size);
// Room for `count` elements of `size` bytes; a product that does not fit ends the process.
void* AllocateElements(std::size_t count, std::size_t size);
// Releasing null does nothing.
void Release(void* pointer);

#endif  // SRC_BASE_ALLOCATION_H
