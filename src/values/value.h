#pragma once
// The value descriptor: eight 32-bit words that name every array value.
// Descriptors live in the constant and variable tables (and inside the blocks
// of nested values); their elements live inline or in a heap block.
#include <cstdint>
#include <cstring>

namespace wox {

enum TypeCode : std::int32_t {
    kBoolean = 0,
    kInteger = 1,
    kFloat = 2,
    kChar = 3,
    kComplex = 4,
    kSymbol = 5,
    kGeneral = 6,
    kTemporal = 7,
    kEnumeration = 21,
    kDictionary = 91,
    kTable = 92,
};

inline constexpr std::int32_t kIntNull = INT32_MIN;

// A value reference: r >= 0 is constant slot r, r < 0 is variable slot -r.
using ValueRef = std::int32_t;
inline constexpr ValueRef constRef(int slot) { return slot; }
inline constexpr ValueRef varRef(int slot) { return -slot; }
inline constexpr bool isConstRef(ValueRef r) { return r >= 0; }

// Aligned to 8 so that an inline Float element can be read in place.
struct alignas(8) ValueDescriptor {
    std::int32_t type = 0;
    std::int32_t rank = 0;
    std::int32_t shape0 = 0;     // rows; or the first half of an inline element
    std::int32_t shape1 = 0;     // columns; gList index of the dimension run for rank >= 3
    std::int32_t blockSize = 0;  // bytes of the owned block, 0 when none
    std::int32_t count = 0;
    std::int32_t reserved = 0;
    std::uint32_t data = 0;      // heap offset of the first element

    bool unset() const { return rank < 0; }
};
static_assert(sizeof(ValueDescriptor) == 32);

// Types whose elements are whole descriptors; their blocks own further blocks.
inline constexpr bool holdsDescriptors(std::int32_t type) {
    return type == kGeneral || type == kDictionary || type == kTable;
}

// Whether a value keeps its one element in shape words 0 and 1.
inline constexpr bool isInline(std::int32_t type, std::int32_t rank, std::int32_t count) {
    return type <= kTemporal && type != kComplex && type != kGeneral && rank < 2 && rank >= 0 && count == 1;
}
inline bool isInline(const ValueDescriptor& d) { return isInline(d.type, d.rank, d.count); }

// Bytes of a block holding n elements of a type; unknown codes use n bytes.
inline constexpr std::int64_t elementSize(std::int32_t type, std::int64_t n) {
    switch (type) {
        case kBoolean: case kInteger: case kSymbol: return 4 * n;
        case kFloat: case kTemporal: return 8 * n;
        case kChar: return n > 0 ? n + 1 : 0;
        case kComplex: return 16 * n;
        case kGeneral: case kDictionary: case kTable: return 32 * n;
        case kEnumeration: return 4 * n + 8;
        default: return n;
    }
}

// Bytes one element occupies in a block (the stride when walking elements).
inline constexpr int elementStride(std::int32_t type) {
    switch (type) {
        case kFloat: case kTemporal: return 8;
        case kChar: return 1;
        case kComplex: return 16;
        case kGeneral: case kDictionary: case kTable: return 32;
        default: return 4;
    }
}

inline std::int32_t inlineInt(const ValueDescriptor& d) { return d.shape0; }
inline double inlineFloat(const ValueDescriptor& d) {
    double v;
    std::memcpy(&v, &d.shape0, 8);
    return v;
}
inline void setInlineInt(ValueDescriptor& d, std::int32_t v) { d.shape0 = v; d.shape1 = 0; }
inline void setInlineFloat(ValueDescriptor& d, double v) { std::memcpy(&d.shape0, &v, 8); }
// A Temporal element fills both shape words.
inline std::int64_t inlineWord(const ValueDescriptor& d) {
    std::int64_t v;
    std::memcpy(&v, &d.shape0, 8);
    return v;
}
inline void setInlineWord(ValueDescriptor& d, std::int64_t v) { std::memcpy(&d.shape0, &v, 8); }
inline void setInlineChar(ValueDescriptor& d, char c) {
    d.shape0 = 0;
    d.shape1 = 0;
    std::memcpy(&d.shape0, &c, 1);
}

}  // namespace wox
