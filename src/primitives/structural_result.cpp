#include "primitives/structural_result.h"

#include <cstring>

#include "primitives/temporal_kinds.h"
#include "values/messages.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::primitives {

Arg::Arg(const values::Workspace& ws, ValueRef r) : ref(r), d(ws.at(r)) {
    offset = d.data;
}

std::int32_t Arg::dim(const values::Workspace& ws, int k) const { return values::dimension(ws, d, k); }

SmallDims Arg::dims(const values::Workspace& ws) const {
    SmallDims out(d.rank);
    for (int k = 0; k < d.rank; ++k) out[k] = dim(ws, k);
    return out;
}

void Arg::refresh(const values::Workspace& ws, int result) {
    if (ref != varRef(result)) offset = ws.at(ref).data;
}

const char* Arg::bytes(const values::Workspace& ws) const {
    if (isInline(d)) return reinterpret_cast<const char*>(&d.shape0);
    return ws.base() + offset;
}

Rc countOnes(const values::Workspace& ws, const Arg& b, std::int64_t* ones) {
    const std::int32_t* bs = b.as<std::int32_t>(ws);
    std::int64_t n = 0;
    for (std::int32_t i = 0; i < b.d.count; ++i) {
        if (bs[i] != 0 && bs[i] != 1) return kDomainError;
        n += bs[i];
    }
    *ones = n;
    return kOk;
}

Rc ownItems(values::Workspace& ws, int result, const std::function<void()>& fill) {
    return values::ownTempItems(ws, result, fill);
}

Fill fillOf(const values::Workspace& ws, const Arg& y) {
    Fill f;
    f.type = y.d.type;
    if (y.d.type == kTemporal) f.word = temporalFillWord(firstKind(ws, y.d));
    return f;
}

void writeFill(const Fill& fill, char* out, std::int64_t n) {
    if (n <= 0) return;
    const std::int32_t type = fill.type;
    if (type == kTemporal) {
        for (std::int64_t i = 0; i < n; ++i) std::memcpy(out + 8 * i, &fill.word, 8);
    } else if (type == kChar) {
        std::memset(out, ' ', static_cast<std::size_t>(n));
    } else if (type == kGeneral) {
        ValueDescriptor empty;
        empty.type = kInteger;
        empty.rank = 1;
        for (std::int64_t i = 0; i < n; ++i) std::memcpy(out + 32 * i, &empty, 32);
    } else {
        std::memset(out, 0, static_cast<std::size_t>(n) * static_cast<std::size_t>(elementStride(type)));
    }
}

void writeFill(std::int32_t type, char* out, std::int64_t n) {
    writeFill(Fill{type, temporalFillWord(kNoKind)}, out, n);
}

}  // namespace wox::primitives
