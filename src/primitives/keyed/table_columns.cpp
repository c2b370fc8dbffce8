#include "primitives/keyed/table_columns.h"

#include <cstring>
#include <unordered_set>

#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

bool isSingle(const ValueDescriptor& v) { return v.rank <= 1 && v.count == 1; }

}  // namespace

Rc columnRows(const values::Workspace& ws, const ValueDescriptor* values, int n, std::int32_t* rows) {
    std::int32_t found = -1;
    for (int i = 0; i < n; ++i) {
        const ValueDescriptor& v = values[i];
        if (v.type == kDictionary || v.type == kTable) return kDomainError;
        if (v.rank >= 2 && !isStringColumn(v)) return kDomainError;
        if (isSingle(v) && !isStringColumn(v)) continue;
        const std::int32_t len = columnLength(ws, v);
        if (found < 0) {
            found = len;
        } else if (len != found) {
            return kMismatch;
        }
    }
    *rows = found < 0 ? 1 : found;
    return kOk;
}

void needColumn(StackBuilder& b, const ValueDescriptor& v, std::int32_t rows) {
    if (!isSingle(v) || isStringColumn(v)) {
        b.need(v);
        return;
    }
    b.needBytes(static_cast<std::uint64_t>(elementSize(v.type, rows)));
    if (v.type == kGeneral) {
        const ValueDescriptor& item = b.ws().elems<ValueDescriptor>(v)[0];
        for (std::int32_t r = 0; r < rows; ++r) b.need(item);
    }
}

ValueDescriptor buildColumn(StackBuilder& b, const ValueDescriptor& v, std::int32_t rows) {
    values::Workspace& ws = b.ws();
    if (!isSingle(v) || isStringColumn(v)) {
        ValueDescriptor c = b.copy(v);
        if (c.rank == 0) c.rank = 1;
        if (c.rank == 1 && !isInline(c)) c.shape0 = c.count;
        return c;
    }
    ValueDescriptor c = b.vector(v.type, rows);
    if (rows == 0) return c;
    char* out = isInline(c) ? reinterpret_cast<char*>(&c.shape0) : ws.base() + c.data;
    const char* one = isInline(v) ? reinterpret_cast<const char*>(&v.shape0) : ws.base() + v.data;
    if (v.type == kEnumeration) {
        std::memcpy(out, one, kEnumerationHead);
        out += kEnumerationHead;
        one += kEnumerationHead;
    }
    const int stride = elementStride(v.type);
    for (std::int32_t r = 0; r < rows; ++r) std::memcpy(out + static_cast<std::int64_t>(r) * stride, one, stride);
    if (v.type == kGeneral) {
        for (std::int32_t r = 0; r < rows; ++r)
            values::copyTreeInto(ws, reinterpret_cast<ValueDescriptor*>(ws.base() + c.data + 32u * r), 0, true);
    }
    return c;
}

std::vector<ValueDescriptor> valuesAsColumns(const values::Workspace& ws, const ValueDescriptor& values) {
    // An enumeration's elements cannot stand alone without their domain.
    if (values.type == kEnumeration) return {};
    std::vector<ValueDescriptor> out(static_cast<std::size_t>(values.count));
    if (values.type == kGeneral) {
        const ValueDescriptor* items = ws.elems<ValueDescriptor>(values);
        for (std::int32_t i = 0; i < values.count; ++i) out[static_cast<std::size_t>(i)] = items[i];
        return out;
    }
    const char* bytes = ws.elems<char>(values);
    const int stride = elementStride(values.type);
    for (std::int32_t i = 0; i < values.count; ++i) {
        ValueDescriptor& e = out[static_cast<std::size_t>(i)];
        e.type = values.type;
        e.count = 1;
        if (isInline(e)) {
            std::memcpy(&e.shape0, bytes + static_cast<std::int64_t>(i) * stride, static_cast<std::size_t>(stride));
        } else {  // a complex element: its bytes stay where they are until copied
            e.data = values.data + static_cast<std::uint32_t>(i * stride);
            e.blockSize = stride;
        }
    }
    return out;
}

bool repeatsName(const std::int32_t* names, int n) {
    std::unordered_set<std::int32_t> seen;
    for (int i = 0; i < n; ++i)
        if (!seen.insert(names[i]).second) return true;
    return false;
}

}  // namespace wox::primitives
