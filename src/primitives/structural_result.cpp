#include "primitives/structural_result.h"

#include <cstring>

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

std::int64_t elementCount(const std::int32_t* dims, int rank) {
    std::int64_t n = 1;
    for (int k = 0; k < rank; ++k)
        if (dims[k] == 0) return 0;
    for (int k = 0; k < rank; ++k) {
        n *= dims[k];
        if (n > kMaxElements) return -1;
    }
    return n;
}

Rc makeResult(values::Workspace& ws, int result, std::int32_t type, const std::int32_t* dims, int rank,
              char** out) {
    std::int64_t n = elementCount(dims, rank);
    if (n < 0) return kWorkspaceFull;
    ValueDescriptor fresh;
    fresh.type = type;
    fresh.count = static_cast<std::int32_t>(n);
    WOX_TRY(values::setDimensions(ws, fresh, dims, rank));
    if (rank == 1) fresh.shape0 = fresh.count;
    if (isInline(fresh)) {
        fresh.shape0 = fresh.shape1 = 0;
        ValueDescriptor& d = ws.var(result);
        d = fresh;
        *out = reinterpret_cast<char*>(&d.shape0);
        return kOk;
    }
    if (n == 0) {
        ws.var(result) = fresh;
        *out = nullptr;
        return kOk;
    }
    // The slot may still name an argument: its descriptor changes only once
    // the block is there.
    WOX_TRY(ws.allocTemp(result, type, n, false));
    ValueDescriptor& d = ws.var(result);
    fresh.data = d.data;
    fresh.blockSize = d.blockSize;
    d = fresh;
    *out = ws.base() + d.data;
    return kOk;
}

Rc ownItems(values::Workspace& ws, int result, const std::function<void()>& fill) {
    return values::ownTempItems(ws, result, fill);
}

void writeFill(std::int32_t type, char* out, std::int64_t n) {
    if (n <= 0) return;
    if (type == kChar) {
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

}  // namespace wox::primitives
