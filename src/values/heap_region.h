#pragma once
// The one memory region behind the value heap. Pages are mapped lazily and
// handed back on clearing, so a fresh or cleared heap reads as zeros without
// anyone writing 600 MiB.
#include <cstddef>
#include <cstdint>

namespace wox::values {

class HeapRegion {
public:
    explicit HeapRegion(std::uint32_t bytes);
    ~HeapRegion();
    HeapRegion(const HeapRegion&) = delete;
    HeapRegion& operator=(const HeapRegion&) = delete;

    char* base() const { return base_; }
    std::uint32_t size() const { return size_; }
    bool ok() const { return base_ != nullptr; }
    // Returns every page to the system; the region then reads as zeros.
    void discard();
    // Returns the whole pages inside [from, to) to the system; they read as
    // zeros when next touched.
    void discard(std::uint32_t from, std::uint32_t to);

private:
    char* base_ = nullptr;
    std::uint32_t size_ = 0;
};

}  // namespace wox::values
