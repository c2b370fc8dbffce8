#pragma once
// Builds values directly in an interpreter's tables for display tests.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/interpreter.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::display::testing {

class Values {
public:
    explicit Values(Interpreter& in) : in_(in) {}

    // A simple value in a global variable slot; dims empty for a scalar.
    ValueRef make(std::int32_t type, std::vector<std::int32_t> dims, const void* elems, std::int64_t n) {
        auto& ws = in_.ws;
        const int slot = nextVar_++;
        const int rank = static_cast<int>(dims.size());
        ValueDescriptor& d = ws.var(slot);
        d = ValueDescriptor{};
        d.type = type;
        d.count = static_cast<std::int32_t>(n);
        const std::size_t bytes = static_cast<std::size_t>(n) * elementStride(type);
        if (isInline(type, rank, d.count)) {
            std::memcpy(&d.shape0, elems, bytes);
        } else if (n > 0) {
            if (ws.allocOwned(slot, type, n).failed()) return 0;
            std::memcpy(ws.base() + ws.var(slot).data, elems, bytes);
        }
        ValueDescriptor& r = ws.var(slot);
        if (rank == 1 && !isInline(r)) r.shape0 = r.count;
        if (values::setDimensions(ws, r, dims.data(), rank).failed()) return 0;
        return varRef(slot);
    }
    ValueRef ints(std::vector<std::int32_t> v, std::vector<std::int32_t> dims = {-1}) {
        if (!dims.empty() && dims[0] == -1) dims = {static_cast<std::int32_t>(v.size())};
        return make(kInteger, dims, v.data(), static_cast<std::int64_t>(v.size()));
    }
    ValueRef floats(std::vector<double> v, std::vector<std::int32_t> dims = {-1}) {
        if (!dims.empty() && dims[0] == -1) dims = {static_cast<std::int32_t>(v.size())};
        return make(kFloat, dims, v.data(), static_cast<std::int64_t>(v.size()));
    }
    ValueRef chars(const std::string& s, std::vector<std::int32_t> dims = {-1}) {
        if (!dims.empty() && dims[0] == -1) dims = {static_cast<std::int32_t>(s.size())};
        return make(kChar, dims, s.data(), static_cast<std::int64_t>(s.size()));
    }
    // Pairs of real and imaginary parts.
    ValueRef complex(std::vector<double> parts, std::vector<std::int32_t> dims = {-1}) {
        const auto n = static_cast<std::int32_t>(parts.size() / 2);
        if (!dims.empty() && dims[0] == -1) dims = {n};
        return make(kComplex, dims, parts.data(), n);
    }
    // A general vector (or, with dims, array) of the given items, on the stack.
    ValueRef general(std::vector<ValueRef> items, std::vector<std::int32_t> dims = {-1}) {
        auto& ws = in_.ws;
        const int slot = nextTemp_++;
        const auto n = static_cast<std::int32_t>(items.size());
        if (!dims.empty() && dims[0] == -1) dims = {n};
        if (n > 0 && ws.allocTemp(slot, kGeneral, n).failed()) return 0;
        ValueDescriptor& d = ws.var(slot);
        d.type = kGeneral;
        d.count = n;
        if (dims.size() == 1) d.shape0 = n;
        if (values::setDimensions(ws, d, dims.data(), static_cast<int>(dims.size())).failed()) return 0;
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint32_t at = ws.var(slot).data + 32u * static_cast<std::uint32_t>(i);
            if (values::copyIntoTempItem(ws, at, items[i]).failed()) return 0;
        }
        return varRef(slot);
    }

private:
    Interpreter& in_;
    int nextVar_ = kFirstGlobalSlot;
    int nextTemp_ = kSecondSeriesTemp;
};

}  // namespace wox::display::testing
