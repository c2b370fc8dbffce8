#pragma once
// A sequence that keeps its first N elements inside itself and goes to the
// free store only beyond them: per-axis records of a call, where the rank
// is almost always small but has no fixed bound. T must be default
// constructible; elements are not destroyed until the vector is.
#include <array>
#include <utility>
#include <cstddef>
#include <vector>

namespace wox::primitives {

template <class T, std::size_t N>
class SmallVector {
public:
    SmallVector() = default;
    explicit SmallVector(std::size_t n, const T& value = T{}) { assign(n, value); }
    SmallVector(const SmallVector&) = delete;
    SmallVector& operator=(const SmallVector&) = delete;

    void assign(std::size_t n, const T& value) {
        resize(n);
        for (std::size_t i = 0; i < n; ++i) (*this)[i] = value;
    }
    // Elements a resize adds are default values only the first time a
    // position is reached.
    void resize(std::size_t n) {
        if (!onHeap() && n > N) {
            more_.resize(n);
            for (std::size_t i = 0; i < size_; ++i) more_[i] = std::move(fixed_[i]);
        } else if (onHeap() && more_.size() < n) {
            more_.resize(n);
        }
        size_ = n;
    }
    void push_back(const T& v) {
        resize(size_ + 1);
        (*this)[size_ - 1] = v;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return onHeap() ? more_.data() : fixed_.data(); }
    const T* data() const { return onHeap() ? more_.data() : fixed_.data(); }
    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }

private:
    bool onHeap() const { return !more_.empty(); }

    std::array<T, N> fixed_{};
    std::vector<T> more_;
    std::size_t size_ = 0;
};

}  // namespace wox::primitives
