#include "values/heap_region.h"

#include <sys/mman.h>
#include <unistd.h>

namespace wox::values {

HeapRegion::HeapRegion(std::uint32_t bytes) : size_(bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) {
        size_ = 0;
        return;
    }
    base_ = static_cast<char*>(p);
#ifdef MADV_HUGEPAGE
    // First touches of 4 KiB pages dominate big element-wise loops.
    madvise(base_, size_, MADV_HUGEPAGE);
#endif
}

HeapRegion::~HeapRegion() {
    if (base_) munmap(base_, size_);
}

void HeapRegion::discard() {
    if (base_) madvise(base_, size_, MADV_DONTNEED);
}

void HeapRegion::discard(std::uint32_t from, std::uint32_t to) {
    static const std::uint32_t page = static_cast<std::uint32_t>(sysconf(_SC_PAGESIZE));
    if (!base_ || to > size_) return;
    std::uint32_t first = (from + page - 1) / page * page, last = to / page * page;
    if (first < last) madvise(base_ + first, last - first, MADV_DONTNEED);
}

}  // namespace wox::values
