#include "types/enumeration.h"

#include <cstring>

#include "values/messages.h"

namespace wox::types {

namespace {

bool isSimpleVector(const ValueDescriptor& c) {
    return c.type >= kBoolean && c.type <= kTemporal && c.type != kGeneral && c.rank <= 1 && c.count >= 0;
}

}  // namespace

Rc domainOf(const values::Workspace& ws, const ValueDescriptor& v, Domain* out) {
    *out = Domain{};
    if (v.unset()) return kTypeError;
    if (v.type == kSymbol && v.rank == 1 && v.count > 1) {
        out->column = &v;
        out->length = v.count;
        return kOk;
    }
    if (v.type != kDictionary || v.shape0 != kKeyedTable) return kTypeError;
    const ValueDescriptor* kv = descriptorPair(ws, v);
    if (!kv || kv[0].type != kTable) return kTypeError;
    const ValueDescriptor* keyTable = descriptorPair(ws, kv[0]);
    if (!keyTable || keyTable[1].type != kGeneral || keyTable[1].count != 1) return kTypeError;
    const ValueDescriptor& columns = keyTable[1];
    if (columns.blockSize < static_cast<std::int32_t>(sizeof(ValueDescriptor)) ||
        static_cast<std::uint64_t>(columns.data) + sizeof(ValueDescriptor) > ws.region.size())
        return kTypeError;
    const auto* column = reinterpret_cast<const ValueDescriptor*>(ws.base() + columns.data);
    if (!isSimpleVector(*column)) return kTypeError;
    out->column = column;
    out->length = column->count;
    return kOk;
}

int domainSlot(const values::Workspace& ws, const EnumerationHeader& h) {
    if (isConstRef(h.domain)) return -1;
    const std::int64_t slot = -static_cast<std::int64_t>(h.domain);
    // Only slots that hold variables now: a global in use, or a local of an
    // active call.
    const bool global = slot >= kFirstGlobalSlot && slot <= ws.lastGlobalSlot;
    const bool local = slot >= ws.lowestLocalSlot && slot < kLocalRegionEnd;
    // A local slot of a call that has returned may hold another call's
    // local by now: the domain is that slot only under its own name.
    if (local && !ws.link().localNamed(static_cast<int>(slot), h.name)) return -1;
    return global || local ? static_cast<int>(slot) : -1;
}

Domain domainInSlot(const values::Workspace& ws, int slot) {
    Domain d;
    if (slot < 0) return d;
    if (domainOf(ws, ws.vars[static_cast<std::size_t>(slot)], &d).failed()) return Domain{};
    return d;
}

bool readHeader(const values::Workspace& ws, const ValueDescriptor& e, EnumerationHeader* h) {
    if (e.type != kEnumeration || e.count <= 0 || e.blockSize < static_cast<std::int32_t>(kEnumerationHeaderBytes))
        return false;
    std::memcpy(h, ws.base() + e.data, sizeof *h);
    return true;
}

Domain currentDomain(const values::Workspace& ws, const ValueDescriptor& e) {
    EnumerationHeader h;
    if (!readHeader(ws, e, &h)) return Domain{};
    return domainInSlot(ws, domainSlot(ws, h));
}

const std::int32_t* positionsOf(const values::Workspace& ws, const ValueDescriptor& e) {
    if (e.count <= 0) return nullptr;
    return reinterpret_cast<const std::int32_t*>(ws.base() + e.data + kEnumerationHeaderBytes);
}

std::int32_t* positionsOf(values::Workspace& ws, ValueDescriptor& e) {
    if (e.count <= 0) return nullptr;
    return reinterpret_cast<std::int32_t*>(ws.base() + e.data + kEnumerationHeaderBytes);
}

bool allWithin(const values::Workspace& ws, const ValueDescriptor& e, std::int32_t length) {
    const std::int32_t* p = positionsOf(ws, e);
    bool outside = false;
    for (std::int32_t i = 0; i < e.count; ++i) outside |= static_cast<std::uint32_t>(p[i]) >= static_cast<std::uint32_t>(length);
    return !outside;
}

}  // namespace wox::types
