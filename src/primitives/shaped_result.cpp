#include "primitives/shaped_result.h"

#include "values/messages.h"
#include "values/shape.h"

namespace wox::primitives {

std::vector<std::int32_t> dimensionsOf(const values::Workspace& ws, const ValueDescriptor& d) {
    std::vector<std::int32_t> dims(static_cast<std::size_t>(d.rank > 0 ? d.rank : 0));
    for (int k = 0; k < d.rank; ++k) dims[static_cast<std::size_t>(k)] = values::dimension(ws, d, k);
    return dims;
}

Rc shapedResult(values::Context& cx, int result, std::int32_t type, const std::vector<std::int32_t>& dims) {
    std::int64_t count = 1;
    for (std::int32_t n : dims) {
        count *= n;
        if (count > kMaxElements) return cx.fail(kWorkspaceFull);
    }
    if (count == 0) type = kInteger;
    auto rank = static_cast<int>(dims.size());
    ValueDescriptor& d = cx.ws.var(result);
    d = ValueDescriptor{};
    d.type = type;
    d.count = static_cast<std::int32_t>(count);
    if (Rc rc = values::setDimensions(cx.ws, d, dims.data(), rank); rc.failed()) return cx.fail(rc.code);
    if (rank == 1 && count != 1) d.shape0 = static_cast<std::int32_t>(count);
    if (count == 0 || isInline(d)) return kOk;
    if (Rc rc = cx.ws.allocTemp(result, type, count, /*zero*/ false); rc.failed()) return cx.fail(rc.code);
    return kOk;
}

char* resultElements(values::Context& cx, int result) {
    ValueDescriptor& d = cx.ws.var(result);
    if (isInline(d)) return reinterpret_cast<char*>(&d.shape0);
    return cx.ws.base() + d.data;
}

}  // namespace wox::primitives
