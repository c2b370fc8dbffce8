#include "display/character_form.h"

#include <cstring>
#include <vector>

#include "display/cell_layout.h"
#include "display/element_text.h"
#include "values/messages.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::display {

namespace {

template <class Elements>
std::int64_t arrayForm(const Elements& e, std::int64_t count, int cols, std::string& out) {
    const std::vector<ColumnWidth> widths = columnWidths(e, count, cols);
    const ColumnWidth* w = widths.data();
    std::int64_t width = cols - 1;
    for (int c = 0; c < cols; ++c) width += w[c].width();
    out.reserve(static_cast<std::size_t>(width * (count / cols)));
    for (std::int64_t i = 0; i < count; i += cols) {
        putCell(out, e, i, w[0]);
        for (int c = 1; c < cols; ++c) {
            out.push_back(' ');
            putCell(out, e, i + c, w[c]);
        }
    }
    return width;
}


}  // namespace

Rc storeCharacters(values::Context& cx, int result, const ValueDescriptor& like, const std::string& text,
                   std::int64_t rowWidth) {
    auto& ws = cx.ws;
    const std::int64_t n = static_cast<std::int64_t>(text.size());
    if (n > INT32_MAX) return kWorkspaceFull;
    const int rank = like.rank >= 2 && n > 0 ? like.rank : 1;
    std::vector<std::int32_t> dims(static_cast<std::size_t>(rank));
    std::int64_t cells = 1;
    for (int k = 0; k + 1 < rank; ++k) cells *= dims[k] = values::dimension(ws, like, k);
    dims[rank - 1] = static_cast<std::int32_t>(rank == 1 ? n : rowWidth);
    // Every row must have come out exactly rowWidth long.
    if (rank >= 2 && cells * rowWidth != n) return kDomainError;
    if (rank >= 3 && ws.gListFill + rank > ws.caps.gList) return kGListFull;

    if (isInline(kChar, rank, static_cast<std::int32_t>(n))) {
        ValueDescriptor& r = ws.var(result);
        r = ValueDescriptor{};
        r.type = kChar;
        r.rank = rank;
        r.count = 1;
        setInlineChar(r, text[0]);
        return kOk;
    }
    if (n > 0) WOX_TRY(ws.allocTemp(result, kChar, n, false));
    ValueDescriptor& r = ws.var(result);
    const std::int32_t blockSize = n > 0 ? r.blockSize : 0;
    const std::uint32_t data = n > 0 ? r.data : 0;
    r = ValueDescriptor{};
    r.type = kChar;
    r.count = static_cast<std::int32_t>(n);
    r.blockSize = blockSize;
    r.data = data;
    if (n > 0) std::memcpy(ws.base() + data, text.data(), static_cast<std::size_t>(n));
    if (rank == 1) {
        r.rank = 1;
        r.shape0 = static_cast<std::int32_t>(n);
        return kOk;
    }
    return values::setDimensions(ws, r, dims.data(), rank);
}

Rc characterForm(const values::Context& cx, const ValueDescriptor& d, std::string& text, std::int64_t& rowWidth) {
    rowWidth = 0;
    if (d.type == kGeneral || d.type > kTemporal || d.type < 0) return kDomainError;
    if (d.count <= 0) return kOk;
    if (d.type == kChar) {
        text.append(cx.ws.elems<char>(d), static_cast<std::size_t>(d.count));
        if (d.rank >= 2) rowWidth = values::dimension(cx.ws, d, d.rank - 1);
        return kOk;
    }
    withElements(cx, d, TextStyle::kFormat, [&](const auto& e) {
        if (d.rank <= 1) {
            appendJoined(text, e, d.count);
        } else {
            rowWidth = arrayForm(e, d.count, values::dimension(cx.ws, d, d.rank - 1), text);
        }
    });
    return kOk;
}

Rc formatMonadic(values::Context& cx, int result, ValueRef arg) {
    const ValueDescriptor d = cx.ws.at(arg);
    if (d.unset()) return cx.fail(kValueError);
    Rc rc;
    if (d.type == kChar) {
        rc = values::copyToTemp(cx.ws, result, arg);
    } else {
        std::string text;
        std::int64_t rowWidth = 0;
        rc = characterForm(cx, d, text, rowWidth);
        if (rc.ok()) rc = storeCharacters(cx, result, d, text, rowWidth);
    }
    if (rc.failed()) return cx.fail(rc.code);
    return kOk;
}

}  // namespace wox::display
