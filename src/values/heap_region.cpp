#include "values/heap_region.h"

#include <sys/mman.h>

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

}  // namespace wox::values
