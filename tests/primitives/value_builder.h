#pragma once
// Building argument values directly in an interpreter's variable table, and
// reading results back, for tests of the primitive families.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/interpreter.h"
#include "values/shape.h"
#include "values/value.h"

namespace wox::testing {

// A value in variable slot `slot`: an owned block for a variable slot, a
// stack block for a temporary one. `dims` empty makes a scalar; elements are
// given as doubles and stored in the type's own form (Complex: real parts;
// Temporal: the words, exact below 2^53).
inline ValueRef put(Interpreter& in, int slot, std::int32_t type, std::vector<std::int32_t> dims,
                    std::vector<double> elems) {
    values::Workspace& ws = in.ws;
    auto count = static_cast<std::int32_t>(elems.size());
    auto rank = static_cast<int>(dims.size());
    ValueDescriptor& d = ws.var(slot);
    d = ValueDescriptor{};
    if (!isInline(type, rank, count) && count > 0) {
        Rc rc = ws.isTempSlot(slot) ? ws.allocTemp(slot, type, count) : ws.allocOwned(slot, type, count);
        if (rc.failed()) return varRef(slot);
    }
    d.type = type;
    d.count = count;
    if (rank >= 2) {
        (void)values::setDimensions(ws, d, dims.data(), rank);
    } else {
        d.rank = rank;
        if (rank == 1 && count != 1) d.shape0 = count;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        double v = elems[i];
        switch (type) {
            case kFloat: ws.elems<double>(d)[i] = v; break;
            case kComplex: ws.elems<double>(d)[2 * i] = v; ws.elems<double>(d)[2 * i + 1] = 0; break;
            case kChar: ws.elems<char>(d)[i] = static_cast<char>(v); break;
            case kTemporal: ws.elems<std::int64_t>(d)[i] = static_cast<std::int64_t>(v); break;
            default: ws.elems<std::int32_t>(d)[i] = std::isnan(v) ? kIntNull : static_cast<std::int32_t>(v); break;
        }
    }
    return varRef(slot);
}

inline ValueRef scalar(Interpreter& in, int slot, std::int32_t type, double v) { return put(in, slot, type, {}, {v}); }

inline ValueRef vec(Interpreter& in, int slot, std::int32_t type, std::vector<double> v) {
    auto n = static_cast<std::int32_t>(v.size());
    return put(in, slot, type, {n}, std::move(v));
}

inline ValueRef chars(Interpreter& in, int slot, std::string_view s) {
    std::vector<double> v;
    for (char c : s) v.push_back(static_cast<unsigned char>(c));
    if (s.size() == 1) return put(in, slot, kChar, {}, v);
    return vec(in, slot, kChar, v);
}

// A value read back: its descriptor fields and elements as doubles (the
// Integer null reads as NaN; Complex gives real and imaginary parts in turn;
// Temporal its words).
struct Read {
    std::int32_t type = 0;
    std::int32_t rank = 0;
    std::int32_t count = 0;
    std::vector<std::int32_t> dims;
    std::vector<double> v;
    double at(std::size_t i) const { return v.at(i); }
};

inline Read read(Interpreter& in, ValueRef r) {
    values::Workspace& ws = in.ws;
    const ValueDescriptor& d = ws.at(r);
    Read out;
    out.type = d.type;
    out.rank = d.rank;
    out.count = d.count;
    for (int k = 0; k < d.rank; ++k) out.dims.push_back(values::dimension(ws, d, k));
    for (std::int32_t i = 0; i < d.count; ++i) {
        switch (d.type) {
            case kFloat: out.v.push_back(ws.elems<double>(d)[i]); break;
            case kComplex:
                out.v.push_back(ws.elems<double>(d)[2 * i]);
                out.v.push_back(ws.elems<double>(d)[2 * i + 1]);
                break;
            case kChar: out.v.push_back(static_cast<unsigned char>(ws.elems<char>(d)[i])); break;
            case kTemporal: out.v.push_back(static_cast<double>(ws.elems<std::int64_t>(d)[i])); break;
            default: {
                std::int32_t e = ws.elems<std::int32_t>(d)[i];
                out.v.push_back(e == kIntNull ? std::nan("") : static_cast<double>(e));
            }
        }
    }
    return out;
}

}  // namespace wox::testing
