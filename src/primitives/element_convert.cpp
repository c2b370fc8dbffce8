#include "primitives/element_convert.h"

#include <cstring>

#include "values/value.h"

namespace wox::primitives {

namespace {

bool isNumber(std::int32_t t) { return t == kBoolean || t == kInteger || t == kFloat || t == kComplex; }

template <class From, class Emit>
void each(const char* src, std::int64_t n, bool repeat, Emit emit) {
    const auto* s = reinterpret_cast<const From*>(src);
    if (repeat) {
        From v;
        std::memcpy(&v, src, sizeof v);
        for (std::int64_t i = 0; i < n; ++i) emit(i, v);
    } else {
        for (std::int64_t i = 0; i < n; ++i) emit(i, s[i]);
    }
}

double asDouble(std::int32_t v) { return v == kIntNull ? __builtin_nan("") : static_cast<double>(v); }

}  // namespace

std::int32_t joinedType(std::int32_t a, bool aEmpty, std::int32_t b, bool bEmpty) {
    if (a == b) return a;
    if (aEmpty && !bEmpty) return b;
    if (bEmpty && !aEmpty) return a;
    if (isNumber(a) && isNumber(b)) return a > b ? a : b;
    if (aEmpty && bEmpty) return a > b ? a : b;
    if (a == kGeneral || b == kGeneral) {
        std::int32_t other = a == kGeneral ? b : a;
        // Complex scalars carry a block of their own, which an item made
        // here could not own.
        if (other <= kTemporal && other != kComplex) return kGeneral;
    }
    return -1;
}

void convertRun(char* out, std::int32_t to, const char* src, std::int32_t from, std::int64_t n, bool repeat) {
    if (n <= 0) return;
    const bool sameWidth = to == from || (elementStride(to) == 4 && elementStride(from) == 4 && to != kGeneral);
    if (sameWidth) {
        const std::size_t w = static_cast<std::size_t>(elementStride(to));
        if (!repeat) {
            std::memcpy(out, src, static_cast<std::size_t>(n) * w);
        } else {
            for (std::int64_t i = 0; i < n; ++i) std::memcpy(out + static_cast<std::size_t>(i) * w, src, w);
        }
        return;
    }
    if (to == kFloat) {
        auto* o = reinterpret_cast<double*>(out);
        each<std::int32_t>(src, n, repeat, [&](std::int64_t i, std::int32_t v) { o[i] = asDouble(v); });
    } else if (to == kComplex) {
        auto* o = reinterpret_cast<double*>(out);
        if (from == kFloat) {
            each<double>(src, n, repeat, [&](std::int64_t i, double v) { o[2 * i] = v; o[2 * i + 1] = 0; });
        } else {
            each<std::int32_t>(src, n, repeat, [&](std::int64_t i, std::int32_t v) { o[2 * i] = asDouble(v); o[2 * i + 1] = 0; });
        }
    } else if (to == kGeneral) {
        const std::size_t w = static_cast<std::size_t>(elementStride(from));
        for (std::int64_t i = 0; i < n; ++i) {
            ValueDescriptor item;
            item.type = from;
            item.count = 1;
            std::memcpy(&item.shape0, src + (repeat ? 0 : static_cast<std::size_t>(i) * w), w);
            std::memcpy(out + 32 * i, &item, 32);
        }
    }
}

}  // namespace wox::primitives
