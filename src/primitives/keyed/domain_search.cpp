#include "primitives/keyed/domain_search.h"

#include <cstring>

#include "primitives/search_keys.h"
#include "primitives/work_table.h"
#include "values/messages.h"

namespace wox::primitives {

using types::Domain;

Rc positionsInDomain(const values::Workspace& ws, const Domain& dom, std::int32_t type, const char* elems,
                     std::int64_t n, std::int32_t* out) {
    const std::int32_t domainType = dom.column ? dom.column->type : kGeneral;
    auto searchable = [](std::int32_t t) { return t <= kTemporal && t != kGeneral; };
    if (searchable(domainType) && searchable(type) && dom.length > 0) {
        // Inline elements of a one-row key column sit in its descriptor.
        alignas(8) char one[16];
        const char* de = ws.elems<char>(*dom.column);
        if (dom.length == 1) de = static_cast<const char*>(std::memcpy(one, de, 16));
        WOX_TRY(searchElements(ws.caps, false, domainType, de, dom.length, type, elems, n, out));
        for (std::int64_t j = 0; j < n; ++j)
            if (out[j] == dom.length) out[j] = kNotInDomain;
        return kOk;
    }
    for (std::int64_t j = 0; j < n; ++j) out[j] = kNotInDomain;
    return kOk;
}

Rc positionsOfValue(const values::Workspace& ws, const Domain& dom, const types::EnumerationHeader& own,
                    const ValueDescriptor& v, std::int32_t* out) {
    if (v.count <= 0) return kOk;
    if (v.type != kEnumeration) {
        alignas(8) char one[16];
        const char* e = ws.elems<char>(v);
        if (isInline(v)) e = static_cast<const char*>(std::memcpy(one, &v.shape0, 8));
        return positionsInDomain(ws, dom, v.type, e, v.count, out);
    }
    types::EnumerationHeader h;
    const std::int32_t* p = types::positionsOf(ws, v);
    if (types::readHeader(ws, v, &h) && h.name == own.name && h.domain == own.domain) {
        std::memcpy(out, p, 4 * static_cast<std::size_t>(v.count));
        return kOk;
    }
    // Another domain: its elements, gathered, are searched in this one.
    const Domain theirs = types::currentDomain(ws, v);
    if (!theirs.column) {
        for (std::int32_t j = 0; j < v.count; ++j) out[j] = kNotInDomain;
        return kOk;
    }
    const int stride = elementStride(theirs.column->type);
    WorkTable<char> gathered;
    WOX_TRY(gathered.allocate(ws.caps, static_cast<std::uint64_t>(v.count) * static_cast<std::uint64_t>(stride)));
    alignas(8) char one[16];
    const char* de = ws.elems<char>(*theirs.column);
    if (theirs.length == 1) de = static_cast<const char*>(std::memcpy(one, de, 16));
    for (std::int32_t j = 0; j < v.count; ++j) {
        const auto at = static_cast<std::uint32_t>(p[j]) < static_cast<std::uint32_t>(theirs.length) ? p[j] : 0;
        std::memcpy(gathered.data() + std::int64_t{j} * stride, de + std::int64_t{at} * stride,
                    static_cast<std::size_t>(stride));
    }
    WOX_TRY(positionsInDomain(ws, dom, theirs.column->type, gathered.data(), v.count, out));
    for (std::int32_t j = 0; j < v.count; ++j)
        if (static_cast<std::uint32_t>(p[j]) >= static_cast<std::uint32_t>(theirs.length)) out[j] = kNotInDomain;
    return kOk;
}

}  // namespace wox::primitives
