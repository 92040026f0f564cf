// The shipped program's operator new and delete: the C runtime's heap, and the end of the program when it is
// spent.
#include <cstdlib>
#include <new>

// The C++ library's own operator new throws std::bad_alloc, which nothing here
// catches, so it would end in abort all the same; its throw alone links the
// whole exception runtime (unwinder, per-thread globals and with them
// winpthread), some 40 KB. The test programs keep the library's.
void *operator new(std::size_t size)
{
    void *block = std::malloc(size ? size : 1);
    if (!block)
        std::abort();
    return block;
}

void *operator new[](std::size_t size) { return operator new(size); }
void operator delete(void *block) noexcept { std::free(block); }
void operator delete[](void *block) noexcept { std::free(block); }
void operator delete(void *block, std::size_t) noexcept { std::free(block); }
void operator delete[](void *block, std::size_t) noexcept { std::free(block); }
