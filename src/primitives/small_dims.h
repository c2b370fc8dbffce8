#pragma once
// Dimensions of a result, kept without a heap allocation for the usual ranks.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace wox::primitives {

class SmallDims {
public:
    explicit SmallDims(int rank) : n_(static_cast<std::size_t>(rank < 0 ? 0 : rank)) {
        if (n_ > kInline) more_.resize(n_);
    }
    std::int32_t& operator[](std::size_t i) { return n_ > kInline ? more_[i] : fixed_[i]; }
    std::int32_t operator[](std::size_t i) const { return n_ > kInline ? more_[i] : fixed_[i]; }
    std::int32_t& operator[](int i) { return (*this)[static_cast<std::size_t>(i)]; }
    std::int32_t operator[](int i) const { return (*this)[static_cast<std::size_t>(i)]; }
    const std::int32_t* data() const { return n_ > kInline ? more_.data() : fixed_; }
    int rank() const { return static_cast<int>(n_); }

private:
    static constexpr std::size_t kInline = 8;
    std::size_t n_;
    std::int32_t fixed_[kInline] = {};
    std::vector<std::int32_t> more_;
};

}  // namespace wox::primitives
