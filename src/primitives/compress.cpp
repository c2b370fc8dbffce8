// Each item along the axis is repeated as often as its element of x says (0
// drops it); a single x repeats every item. Items are moved as raw element
// runs of the type's width, so every simple type goes through one loop.
// Nested (General) and enumerated right arguments are not handled yet.
#include "primitives/compress.h"

#include <cstring>
#include <vector>

#include "primitives/small_dims.h"
#include "primitives/vocabulary.h"
#include "values/messages.h"
#include "values/shape.h"

namespace wox::primitives {

namespace {


constexpr int kFirstAxisCode = code::kCompressFirst;
constexpr std::int64_t kMaxCount = 0x7fffffff;

}  // namespace

Rc compress(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor x = ws.at(left);
    const ValueDescriptor y = ws.at(right);
    if (x.unset() || y.unset()) return kValueError;
    if (x.type != kBoolean && x.type != kInteger) return kDomainError;
    if (x.rank > 1) return kRankError;
    if (y.type == kDictionary || y.type == kTable) return kDomainError;
    if (y.type == kGeneral || y.type == kEnumeration) return kNotImplemented;

    {
        const std::int32_t* r = ws.elems<std::int32_t>(x);
        for (std::int32_t i = 0; i < x.count; ++i)
            if (r[i] < 0) return kDomainError;
    }

    // A scalar y stands for a vector as long as x.
    int rank = y.rank == 0 ? 1 : y.rank;
    SmallDims dims(rank);
    if (y.rank == 0) dims[0] = x.count;
    for (int k = 0; y.rank > 0 && k < rank; ++k) dims[static_cast<std::size_t>(k)] = values::dimension(ws, y, k);
    int axis = code == kFirstAxisCode ? 0 : rank - 1;
    std::int64_t axisLen = dims[static_cast<std::size_t>(axis)];
    bool single = x.count == 1;
    if (!single && x.count != axisLen) return kLengthError;

    std::int64_t outer = 1, inner = 1, total = 0;
    for (int k = 0; k < axis; ++k) outer *= dims[static_cast<std::size_t>(k)];
    for (int k = axis + 1; k < rank; ++k) inner *= dims[static_cast<std::size_t>(k)];
    const std::int32_t* reps = ws.elems<std::int32_t>(x);
    for (std::int64_t j = 0; j < axisLen; ++j) total += single ? reps[0] : reps[j];
    std::int64_t count = outer * total * inner;
    if (total > kMaxCount || count > kMaxCount) return kWorkspaceFull;
    dims[static_cast<std::size_t>(axis)] = static_cast<std::int32_t>(total);

    const int width = elementStride(y.type);
    const bool scalarY = y.rank == 0;
    ValueDescriptor& d = ws.var(result);
    d = ValueDescriptor{};
    d.type = y.type;
    d.count = static_cast<std::int32_t>(count);
    WOX_TRY(values::setDimensions(ws, d, dims.data(), rank));
    char* out;
    if (isInline(d)) {
        out = reinterpret_cast<char*>(&d.shape0);
    } else {
        WOX_TRY(ws.allocTemp(result, y.type, count, false));
        out = ws.base() + ws.var(result).data;
    }
    if (rank == 1) ws.var(result).shape0 = static_cast<std::int32_t>(count);
    if (count == 0) return kOk;
    // Re-read both: the allocation may have compacted the heap.
    const ValueDescriptor y2 = ws.at(right);
    const char* src = ws.elems<char>(y2);
    reps = ws.elems<std::int32_t>(ws.at(left));
    const std::size_t run = static_cast<std::size_t>(inner) * static_cast<std::size_t>(width);
    for (std::int64_t o = 0; o < outer; ++o) {
        for (std::int64_t j = 0; j < axisLen; ++j) {
            std::int32_t r = single ? reps[0] : reps[j];
            const char* item = scalarY ? src : src + (o * axisLen + j) * static_cast<std::int64_t>(run);
            for (std::int32_t k = 0; k < r; ++k) {
                std::memcpy(out, item, run);
                out += run;
            }
        }
    }
    return kOk;
}

}  // namespace wox::primitives
