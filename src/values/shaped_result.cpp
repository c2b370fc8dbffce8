#include "values/shaped_result.h"

#include "values/messages.h"
#include "values/shape.h"

namespace wox::values {

std::vector<std::int32_t> dimensionsOf(const values::Workspace& ws, const ValueDescriptor& d) {
    std::vector<std::int32_t> dims(static_cast<std::size_t>(d.rank > 0 ? d.rank : 0));
    for (int k = 0; k < d.rank; ++k) dims[static_cast<std::size_t>(k)] = values::dimension(ws, d, k);
    return dims;
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

Rc shapedResult(values::Context& cx, int result, std::int32_t type, const std::vector<std::int32_t>& dims) {
    auto rank = static_cast<int>(dims.size());
    if (elementCount(dims.data(), rank) == 0) type = kInteger;
    char* elements = nullptr;
    if (Rc rc = makeResult(cx.ws, result, type, dims.data(), rank, &elements); rc.failed()) return cx.fail(rc.code);
    return kOk;
}

char* resultElements(values::Context& cx, int result) {
    ValueDescriptor& d = cx.ws.var(result);
    if (isInline(d)) return reinterpret_cast<char*>(&d.shape0);
    return cx.ws.base() + d.data;
}

}  // namespace wox::values
