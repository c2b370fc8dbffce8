#pragma once
// Working memory of the numeric library. The caller decides where it comes
// from (the free heap above the stack, the system allocator, or nowhere in
// tests), so that a routine that cannot have its memory fails with
// "workspace full" instead of ending the process.
#include <cstddef>

namespace wox::numeric {

// take returns 8-byte aligned memory, or nullptr when there is none.
struct Scratch {
    void* (*take)(void* context, std::size_t bytes);
    void (*give)(void* context, void* p);
    void* context = nullptr;
};
Scratch systemScratch();

// Working memory given back on every way out.
class ScratchBuffer {
public:
    ScratchBuffer(Scratch s, std::size_t bytes) : s_(s), p_(bytes ? s.take(s.context, bytes) : nullptr), wanted_(bytes) {}
    ~ScratchBuffer() {
        if (p_) s_.give(s_.context, p_);
    }
    ScratchBuffer(const ScratchBuffer&) = delete;
    ScratchBuffer& operator=(const ScratchBuffer&) = delete;
    bool failed() const { return wanted_ != 0 && p_ == nullptr; }
    template <class T>
    T* as() const { return static_cast<T*>(p_); }

private:
    Scratch s_;
    void* p_;
    std::size_t wanted_;
};

}  // namespace wox::numeric
