// With transparent huge pages in "madvise" mode, Linux backs only regions
// marked MADV_HUGEPAGE with 2 MB pages. The C library grows its heap with
// brk, and each growth is a region of its own without the mark, so the
// growth since the last call is marked here. The heap is made to grow in
// large steps, so that a growth is seldom and mostly untouched when marked.
#include "platform/memory.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace platform {

#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)

namespace {

constexpr int kHeapGrowthStep = 32 << 20;
// Setting the step fixes the size from which a block gets a mapping of its
// own, which otherwise rises with the largest block given back; fixed at
// that rise's ceiling, large tables stay on the marked heap and are not
// mapped and unmapped at each growth.
constexpr int kOwnMappingFrom = 32 << 20;

std::uintptr_t address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

std::uintptr_t pageStart(std::uintptr_t a) {
  const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  return a & ~(page - 1);
}

}  // namespace

void adviseLargePagesForHeap() {
  static std::uintptr_t markedEnd = 0;
  std::uintptr_t end = address(sbrk(0));
  if (markedEnd == 0) {
    markedEnd = end - mallinfo2().arena;  // the heap's start
    mallopt(M_TOP_PAD, kHeapGrowthStep);
    mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
    // One step of growth now, so that what is built before the next call
    // lies on marked pages too; given back, it stays as the heap's top pad.
    void* volatile step = std::malloc(kHeapGrowthStep / 2);
    std::free(step);
    end = address(sbrk(0));
  }
  if (end <= markedEnd) {  // the same heap, or one given back in part
    markedEnd = end;
    return;
  }
  const std::uintptr_t from = pageStart(markedEnd);
  madvise(reinterpret_cast<void*>(from), end - from, MADV_HUGEPAGE);
  markedEnd = end;
}

#else

void adviseLargePagesForHeap() {}

#endif

}  // namespace platform
