// Decode x>.y and encode x<.y: values from digits in mixed radices, and the
// digits of values. Both compute in doubles and narrow the result, so
// Integer arguments give Integer results whenever every value fits. Each
// step follows the scalar functions' rules for nulls and infinities: a
// null gives the null, infinities follow IEEE arithmetic, and where that
// leaves no value (0w-0w, 0*0w) the step gives 0w, as residue does.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "primitives/scalar_ops.h"
#include "primitives/search.h"
#include "values/shaped_result.h"
#include "primitives/structural_result.h"
#include "values/messages.h"
#include "values/narrowing.h"

namespace wox::primitives {

namespace {

bool isReal(std::int32_t type) { return type == kBoolean || type == kInteger || type == kFloat; }

// Both arguments set (else a value error) and real (else a domain error).
Rc realArguments(const Arg& x, const Arg& y) {
    if (x.d.unset() || y.d.unset()) return kValueError;
    return isReal(x.d.type) && isReal(y.d.type) ? kOk : Rc{kDomainError};
}

// Element i of a real argument as a double; the integer null is the float
// null. Read bytewise: a single element lives in shape words that need not
// be aligned for a double.
double realAt(const Arg& a, const values::Workspace& ws, std::int64_t i) {
    if (a.d.type == kFloat) {
        double v;
        std::memcpy(&v, a.bytes(ws) + 8 * i, sizeof v);
        return v;
    }
    std::int32_t v = a.as<std::int32_t>(ws)[i];
    return v == kIntNull ? std::nan("") : static_cast<double>(v);
}

}  // namespace

Rc decode(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    WOX_TRY(realArguments(x, y));
    SmallDims xd = x.dims(ws);
    SmallDims yd = y.dims(ws);
    const std::int64_t xLast = x.d.rank == 0 ? 1 : xd[x.d.rank - 1];
    const std::int64_t yFirst = y.d.rank == 0 ? 1 : yd[0];
    // A single side stretches to the other's length of digits.
    std::int64_t n;
    if (x.single()) {
        n = yFirst;
    } else if (y.single()) {
        n = xLast;
    } else {
        if (xLast != yFirst) return kLengthError;
        n = xLast;
    }
    std::vector<std::int32_t> dims;
    for (int k = 0; k + 1 < x.d.rank; ++k) dims.push_back(xd[k]);
    for (int k = 1; k < y.d.rank; ++k) dims.push_back(yd[k]);
    const std::int64_t rows = x.d.rank <= 1 ? 1 : values::elementCount(xd.data(), x.d.rank - 1);
    const std::int64_t cols = y.d.rank <= 1 ? 1 : values::elementCount(yd.data() + 1, y.d.rank - 1);
    if (values::elementCount(dims.data(), static_cast<int>(dims.size())) < 0) return kWorkspaceFull;
    char* bytes;
    WOX_TRY(values::makeResult(ws, result, kFloat, dims.data(), static_cast<int>(dims.size()), &bytes));
    if (rows * cols == 0) {
        ws.var(result).type = kInteger;
        return kOk;
    }
    x.refresh(ws, result);
    y.refresh(ws, result);
    auto* out = reinterpret_cast<double*>(bytes);
    const bool xs = x.single();
    const bool ys = y.single();
    for (std::int64_t r = 0; r < rows; ++r) {
        for (std::int64_t c = 0; c < cols; ++c) {
            double v = 0;
            for (std::int64_t i = 0; i < n; ++i) {
                double radix = realAt(x, ws, xs ? 0 : r * n + i);
                double digit = realAt(y, ws, ys ? 0 : i * cols + c);
                v = i == 0 ? digit : ops::Plus::apply(ops::Times::apply(v, radix), digit);
            }
            out[r * cols + c] = v;
        }
    }
    values::narrow(ws, ws.var(result));
    return kOk;
}

Rc encode(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    WOX_TRY(realArguments(x, y));
    SmallDims xd = x.dims(ws);
    SmallDims yd = y.dims(ws);
    std::vector<std::int32_t> dims;
    for (int k = 0; k < x.d.rank; ++k) dims.push_back(xd[k]);
    for (int k = 0; k < y.d.rank; ++k) dims.push_back(yd[k]);
    if (values::elementCount(dims.data(), static_cast<int>(dims.size())) < 0) return kWorkspaceFull;
    // The digits run along x's first axis; each cell across the rest of x is
    // one list of radices.
    const std::int64_t digits = x.d.rank == 0 ? 1 : xd[0];
    const std::int64_t radixLists = digits == 0 ? 0 : x.d.count / digits;
    const std::int64_t values = y.d.count;
    char* bytes;
    WOX_TRY(values::makeResult(ws, result, kFloat, dims.data(), static_cast<int>(dims.size()), &bytes));
    if (x.d.count == 0 || values == 0) {
        ws.var(result).type = kInteger;
        return kOk;
    }
    x.refresh(ws, result);
    y.refresh(ws, result);
    auto* out = reinterpret_cast<double*>(bytes);
    for (std::int64_t list = 0; list < radixLists; ++list) {
        for (std::int64_t j = 0; j < values; ++j) {
            double v = realAt(y, ws, j);
            for (std::int64_t i = digits - 1; i >= 0; --i) {
                double r = realAt(x, ws, i * radixLists + list);
                double digit = ops::Residue::apply(r, v);
                v = r == 0 ? 0 : ops::settle((v - digit) / r, v, r);
                out[(i * radixLists + list) * values + j] = digit;
            }
        }
    }
    values::narrow(ws, ws.var(result));
    return kOk;
}

}  // namespace wox::primitives
