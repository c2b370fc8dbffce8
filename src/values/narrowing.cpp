#include "values/narrowing.h"

#include <cstring>

namespace wox::values {

std::int32_t toIntegerElement(double x) {
    if (x != x) return kIntNull;
    auto t = static_cast<std::int32_t>(x);
    double f = x - t;
    if (x > 0 && f > 0.999) return t + 1;
    if (x < 0 && -f > 0.999) return t - 1;
    return t;
}

static void complexToFloat(Workspace& ws, ValueDescriptor& d) {
    if (d.type != kComplex || d.count < 1) return;
    double* e = ws.elems<double>(d);
    for (std::int32_t i = 0; i < d.count; ++i)
        if (e[2 * i + 1] != 0.0) return;
    for (std::int32_t i = 0; i < d.count; ++i) e[i] = e[2 * i];
    d.type = kFloat;
    if (isInline(d)) {
        double v = e[0];
        setInlineFloat(d, v);
    }
}

static void floatToInteger(Workspace& ws, ValueDescriptor& d) {
    if (d.type != kFloat) return;
    if (d.count < 1) {
        d.type = kInteger;
        return;
    }
    if (isInline(d)) {
        double v = inlineFloat(d);
        if (!fitsInteger(v)) return;
        setInlineInt(d, toIntegerElement(v));
        d.type = kInteger;
        return;
    }
    const double* e = ws.elems<double>(d);
    for (std::int32_t i = 0; i < d.count; ++i)
        if (!fitsInteger(e[i])) return;
    auto* out = reinterpret_cast<std::int32_t*>(ws.base() + d.data);
    // Writing 4-byte results over the front of 8-byte sources is safe in order.
    for (std::int32_t i = 0; i < d.count; ++i) {
        double v;
        std::memcpy(&v, ws.base() + d.data + 8 * static_cast<std::size_t>(i), 8);
        out[i] = toIntegerElement(v);
    }
    d.type = kInteger;
}

void narrowToBoolean(Workspace& ws, ValueDescriptor& d) {
    if (d.type != kInteger) return;
    const std::int32_t* e = ws.elems<std::int32_t>(d);
    for (std::int32_t i = 0; i < d.count; ++i)
        if (static_cast<std::uint32_t>(e[i]) > 1u) return;
    d.type = kBoolean;
}

void narrow(Workspace& ws, ValueDescriptor& d, bool toBoolean) {
    complexToFloat(ws, d);
    floatToInteger(ws, d);
    if (toBoolean) narrowToBoolean(ws, d);
}

}  // namespace wox::values
