#include "primitives/keyed/keyed_layout.h"

#include <cmath>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "values/messages.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

// Room beyond what a builder counted, against a count that falls short by
// a block's padding somewhere.
constexpr std::uint64_t kSpareBytes = 256;

// Items of General values nest; beyond this depth their keys stop
// distinguishing (such keys are not worth telling apart).
constexpr int kMaxKeyDepth = 64;

void put(std::string& out, char tag, const void* bytes, std::size_t n) {
    out.push_back(tag);
    out.append(static_cast<const char*>(bytes), n);
}

void numberKey(std::string& out, double v) {
    if (std::isnan(v)) v = NAN;
    if (v == 0) v = 0;  // one key for both zeros
    put(out, 'n', &v, sizeof v);
}

void nestedKey(const values::Workspace& ws, const ValueDescriptor& d, std::string& out, int depth);

void elementKey(const values::Workspace& ws, const ValueDescriptor& d, std::int64_t i, std::string& out,
                int depth) {
    switch (d.type) {
        case kBoolean:
        case kInteger: {
            const std::int32_t v = ws.elems<std::int32_t>(d)[i];
            numberKey(out, v == kIntNull ? NAN : static_cast<double>(v));
            break;
        }
        case kFloat:
            numberKey(out, ws.elems<double>(d)[i]);
            break;
        case kComplex:
            put(out, 'z', ws.elems<double>(d) + 2 * i, 16);
            break;
        case kChar:
            put(out, 'c', ws.elems<char>(d) + i, 1);
            break;
        case kSymbol:
            put(out, 's', ws.elems<std::int32_t>(d) + i, 4);
            break;
        case kTemporal:
            put(out, 't', ws.elems<std::int64_t>(d) + i, 8);
            break;
        case kEnumeration:
            put(out, 'e', ws.elems<std::int32_t>(d) + 2 + i, 4);
            break;
        case kGeneral:
        case kDictionary:
        case kTable:
            if (depth < kMaxKeyDepth) nestedKey(ws, ws.elems<ValueDescriptor>(d)[i], out, depth + 1);
            break;
        default:
            break;
    }
}

void nestedKey(const values::Workspace& ws, const ValueDescriptor& d, std::string& out, int depth) {
    const std::int32_t head[3] = {d.type == kBoolean ? kInteger : d.type, d.rank, d.count};
    put(out, 'v', head, sizeof head);
    for (std::int64_t i = 0; i < d.count; ++i) elementKey(ws, d, i, out, depth);
}

}  // namespace

int findColumn(const values::Workspace& ws, const ValueDescriptor& t, std::int32_t name) {
    const std::int32_t* names = ws.elems<std::int32_t>(tableNames(ws, t));
    for (int c = 0; c < tableWidth(ws, t); ++c)
        if (names[c] == name) return c;
    return -1;
}

std::int32_t columnLength(const values::Workspace& ws, const ValueDescriptor& c) {
    if (c.rank >= 2) return values::dimension(ws, c, 0);
    return c.count;
}

void rowKey(const values::Workspace& ws, const ValueDescriptor& column, std::int64_t row, std::string& out) {
    if (column.type == kChar && column.rank >= 2) {
        const std::int64_t cols = values::dimension(ws, column, column.rank - 1);
        put(out, 'm', ws.elems<char>(column) + row * cols, static_cast<std::size_t>(cols));
        return;
    }
    elementKey(ws, column, row, out, 0);
}

void valueKey(const values::Workspace& ws, const ValueDescriptor& value, std::string& out) {
    nestedKey(ws, value, out, 1);
}

bool hasDuplicateRows(const values::Workspace& ws, const ValueDescriptor& table) {
    const std::int32_t rows = tableRows(ws, table);
    const ValueDescriptor* cols = tableColumns(ws, table);
    const int width = tableWidth(ws, table);
    std::unordered_set<std::string> seen;
    seen.reserve(static_cast<std::size_t>(rows));
    std::string key;
    for (std::int32_t r = 0; r < rows; ++r) {
        key.clear();
        for (int c = 0; c < width; ++c) rowKey(ws, cols[c], r, key);
        if (!seen.insert(key).second) return true;
    }
    return false;
}

void columnSources(const values::Workspace& ws, const ValueDescriptor& t, std::vector<ColumnSource>& out) {
    if (isKeyedTable(t)) {
        columnSources(ws, partsOf(ws, t)[0], out);
        columnSources(ws, partsOf(ws, t)[1], out);
        return;
    }
    if (!isTable(t)) return;
    const ValueDescriptor* cols = tableColumns(ws, t);
    for (int c = 0; c < tableWidth(ws, t); ++c) out.push_back({columnName(ws, t, c), &cols[c]});
}

void needTable(StackBuilder& b, const std::vector<ColumnSource>& sources) {
    for (const ColumnSource& s : sources) b.need(*s.column);
    b.needBytes(tableFrame(sources.size()));
}

ValueDescriptor tableOf(StackBuilder& b, const std::vector<ColumnSource>& sources, std::int32_t rows) {
    std::vector<ValueDescriptor> columns;
    std::vector<std::int32_t> names;
    for (const ColumnSource& s : sources) {
        columns.push_back(b.copy(*s.column));
        names.push_back(s.name);
    }
    return b.table(b.symbols(names.data(), static_cast<int>(names.size())), columns, rows);
}

void StackBuilder::need(const ValueDescriptor& d) {
    values::TreeNeeds n;
    values::measureTree(ws_, d, n);
    bytes_ += n.stack + 64;
    glist_ += n.glist;
}

Rc StackBuilder::reserve() {
    bytes_ += kSpareBytes;
    if (ws_.gListFill + glist_ > ws_.caps.gList) return kGListFull;
    if (bytes_ >= ws_.freeBytes()) {
        ws_.compact();
        if (bytes_ >= ws_.freeBytes()) return kWorkspaceFull;
    }
    return kOk;
}

std::uint32_t StackBuilder::block(std::int32_t type, std::int64_t n) {
    const auto size = static_cast<std::uint32_t>(elementSize(type, n));
    const std::uint32_t at = ws_.stackTop;
    std::memset(ws_.base() + at, 0, size);
    ws_.stackTop += static_cast<std::uint32_t>(values::padded(size));
    return at;
}

ValueDescriptor StackBuilder::copy(const ValueDescriptor& d) {
    ValueDescriptor c = d;
    values::copyTreeInto(ws_, &c, 0, true);
    return c;
}

ValueDescriptor StackBuilder::vector(std::int32_t type, std::int32_t n) {
    ValueDescriptor v;
    v.type = type;
    v.rank = 1;
    v.count = n;
    if (isInline(v) || n == 0) return v;
    v.shape0 = n;
    v.data = block(type, n);
    v.blockSize = static_cast<std::int32_t>(elementSize(type, n));
    return v;
}

ValueDescriptor StackBuilder::symbols(const std::int32_t* names, int n) {
    ValueDescriptor v = vector(kSymbol, n);
    if (n > 0) std::memcpy(ws_.elems<std::int32_t>(v), names, 4 * static_cast<std::size_t>(n));
    return v;
}

ValueDescriptor StackBuilder::pair(std::int32_t type, std::int32_t subKind, const ValueDescriptor& first,
                                   const ValueDescriptor& second) {
    ValueDescriptor v = vector(type, 2);
    v.shape0 = subKind;
    auto* parts = reinterpret_cast<ValueDescriptor*>(ws_.base() + v.data);
    parts[0] = first;
    parts[1] = second;
    return v;
}

ValueDescriptor StackBuilder::table(const ValueDescriptor& names, const std::vector<ValueDescriptor>& columns,
                                    std::int32_t rows) {
    ValueDescriptor list = vector(kGeneral, static_cast<std::int32_t>(columns.size()));
    list.shape0 = rows;
    if (!columns.empty())
        std::memcpy(ws_.base() + list.data, columns.data(), columns.size() * sizeof(ValueDescriptor));
    return pair(kTable, 2, names, list);
}

}  // namespace wox::primitives
