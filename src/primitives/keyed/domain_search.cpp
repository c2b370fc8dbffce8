#include "primitives/keyed/domain_search.h"

#include <array>
#include <cstring>
#include <map>
#include <new>

#include "primitives/search_keys.h"
#include "primitives/work_table.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

using types::Domain;

// Temporal elements are record slots; equal dates may sit in different
// records, so they are found by the records' fields.
using RecordKey = std::array<std::int32_t, 8>;

bool recordKey(const values::Workspace& ws, std::int32_t slot, RecordKey* key) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= ws.temporals.size()) return false;
    std::memcpy(key->data(), &ws.temporals[static_cast<std::size_t>(slot)], sizeof *key);
    return true;
}

Rc temporalPositions(const values::Workspace& ws, const Domain& dom, const char* elems, std::int64_t n,
                     std::int32_t* out) {
    try {
        std::map<RecordKey, std::int32_t> first;
        const auto* d = ws.elems<std::int32_t>(*dom.column);
        for (std::int32_t i = dom.length; i-- > 0;) {
            RecordKey k;
            if (recordKey(ws, d[i], &k)) first[k] = i;
        }
        for (std::int64_t j = 0; j < n; ++j) {
            std::int32_t slot;
            std::memcpy(&slot, elems + 4 * j, 4);
            RecordKey k;
            auto it = recordKey(ws, slot, &k) ? first.find(k) : first.end();
            out[j] = it == first.end() ? kNotInDomain : it->second;
        }
    } catch (const std::bad_alloc&) {
        return kWorkspaceFull;
    }
    return kOk;
}

}  // namespace

Rc positionsInDomain(const values::Workspace& ws, const Domain& dom, std::int32_t type, const char* elems,
                     std::int64_t n, std::int32_t* out) {
    const std::int32_t domainType = dom.column ? dom.column->type : kGeneral;
    if (domainType <= kSymbol && type <= kSymbol && dom.length > 0) {
        // Inline elements of a one-row key column sit in its descriptor.
        alignas(8) char one[16];
        const char* de = ws.elems<char>(*dom.column);
        if (dom.length == 1) de = static_cast<const char*>(std::memcpy(one, de, 16));
        WOX_TRY(searchElements(ws.caps, false, domainType, de, dom.length, type, elems, n, out));
        for (std::int64_t j = 0; j < n; ++j)
            if (out[j] == dom.length) out[j] = kNotInDomain;
        return kOk;
    }
    if (domainType == kTemporal && type == kTemporal) return temporalPositions(ws, dom, elems, n, out);
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
