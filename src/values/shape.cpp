#include "values/shape.h"

#include <cstring>

#include "values/messages.h"

namespace wox::values {

std::int32_t dimension(const Workspace& ws, const ValueDescriptor& d, int k) {
    if (d.rank <= 0) return 1;
    if (d.rank == 1) return d.count;
    if (k == 0) return d.shape0;
    if (d.rank == 2) return d.shape1;
    return ws.gList[d.shape1 + k - 1];
}

Rc setDimensions(Workspace& ws, ValueDescriptor& d, const std::int32_t* dims, int rank) {
    d.rank = rank;
    if (rank < 2) return kOk;
    d.shape0 = dims[0];
    if (rank == 2) {
        d.shape1 = dims[1];
        return kOk;
    }
    int at = ws.appendDimRun(dims, rank);
    if (at < 0) return kGListFull;
    d.shape1 = at;
    return kOk;
}

Rc copyShape(Workspace& ws, ValueDescriptor& dst, const ValueDescriptor& src) {
    dst.rank = src.rank;
    dst.count = src.count;
    if (src.rank >= 2) dst.shape0 = src.shape0;
    if (src.rank == 2) dst.shape1 = src.shape1;
    if (src.rank >= 3) {
        int at = ws.copyDimRun(src.shape1, src.rank);
        if (at < 0) return kGListFull;
        dst.shape1 = at;
    }
    return kOk;
}

void setShape(Workspace& ws, int slot, int rank, std::int32_t count, std::int32_t rows, std::int32_t cols) {
    ValueDescriptor& d = ws.var(slot);
    d.rank = rank;
    d.count = count;
    if (rank == 0 || (rank == 1 && count == 1 && isInline(d.type, rank, count))) return;
    d.shape0 = rank == 1 ? count : rows;
    if (rank > 1) d.shape1 = cols;
    d.data = ws.curAlloc;
}

void copyElement(Workspace& ws, ValueDescriptor& dst, std::int64_t di, const ValueDescriptor& src, std::int64_t si) {
    const char* s = ws.elems<char>(src);
    char* d = ws.elems<char>(dst);
    int w = elementStride(src.type);
    std::memcpy(d + di * w, s + si * w, w);
}

}  // namespace wox::values
