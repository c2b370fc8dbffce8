// Indexed assignment into dictionaries, tables and keyed tables. Every
// form works out first which rows of which columns receive which new cells
// and what type each column becomes. When no row is added and every column
// keeps its type, the cells are written where they stand; otherwise the
// whole new value is built on the stack beside the old one and stored over
// the variable. Any failure comes before either, so the variable stays as
// it was.
#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "primitives/element_convert.h"
#include "primitives/indexing.h"
#include "primitives/keyed/domain_search.h"
#include "primitives/keyed/keyed.h"
#include "primitives/keyed/keyed_layout.h"
#include "primitives/keyed/table_columns.h"
#include "primitives/keyed/table_rows.h"
#include "primitives/temporal_kinds.h"
#include "values/messages.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

using values::Workspace;

// Where the cells for a column lie: the assigned value (or an index), a
// part of it (a dictionary's values, a table's column list), or an item of
// either. Found again after the builder has made room, as blocks may move.
struct Locator {
    ValueRef ref = 0;
    int part = -1;           // -1: the value itself; 0 or 1: that part
    std::int32_t item = -1;  // -1: the whole; else that item of a General value
};

const ValueDescriptor& locate(const Workspace& ws, const Locator& l) {
    const ValueDescriptor* d = &ws.at(l.ref);
    if (l.part >= 0) d = &partsOf(ws, *d)[l.part];
    if (l.item >= 0) d = &ws.elems<ValueDescriptor>(*d)[l.item];
    return *d;
}

// The new cells of one column. With whole, every cell is the value itself
// (one string of a string column, the item of a General column); otherwise
// cell k is element (or item, or row of a character matrix) start + k*step,
// and step 0 repeats one.
struct Piece {
    Locator at;
    bool whole = false;
    std::int64_t start = 0;
    std::int64_t step = 1;
};

// One column's store: cell cells[j] goes to row rows[j] (from 0; a row at or
// past the old length is a new one).
struct ColumnStore {
    int column = -1;  // its place among the columns it belongs to
    Piece piece;
    std::vector<std::int32_t> rows;
    std::vector<std::int32_t> cells;
    std::int32_t type = 0;   // of the column after the store
    std::int32_t width = 0;  // of a string column after the store
    std::vector<std::int32_t> positions;  // in an enumerated column's domain
};

bool isSingle(const ValueDescriptor& v) { return v.count == 1 && v.rank <= 1; }

// Which element of the piece's value cell k is.
std::int64_t cellAt(const Piece& p, std::int64_t k) { return p.whole ? 0 : p.start + k * p.step; }

// The piece that the value at `loc` gives n cells of a column: the value
// itself for one cell named by a scalar index; else one element repeated,
// or n of them in order. A string column takes one string for every cell,
// or a character matrix of n rows.
Rc pieceFor(const Workspace& ws, const Locator& loc, bool oneCell, std::int64_t n, bool strings, Piece* p) {
    const ValueDescriptor& v = locate(ws, loc);
    if (v.unset()) return kValueError;
    p->at = loc;
    if (oneCell || (strings && v.type == kChar && v.rank <= 1)) {
        p->whole = true;
        return kOk;
    }
    if (isSingle(v)) {
        p->step = 0;
        return kOk;
    }
    if (strings && v.type == kChar && v.rank == 2) return values::dimension(ws, v, 0) == n ? Rc(kOk) : Rc(kLengthError);
    if (v.rank > 1) return kRankError;
    return v.count == n ? Rc(kOk) : Rc(kLengthError);
}

// Characters of one new cell of a string column, and their count.
const char* stringCell(const Workspace& ws, const Piece& p, std::int64_t k, std::int32_t* n) {
    const ValueDescriptor& v = locate(ws, p.at);
    if (p.whole) {
        *n = v.count;
        return ws.elems<char>(v);
    }
    const std::int64_t at = cellAt(p, k);
    if (v.rank == 2) {
        *n = values::dimension(ws, v, 1);
        return ws.elems<char>(v) + at * *n;
    }
    *n = 1;
    return ws.elems<char>(v) + at;
}

// One new cell of a column that is or becomes General: the value itself
// for a whole piece (an enclosed one gives its item), else an item, or an
// element as a scalar.
ValueDescriptor itemCell(const Workspace& ws, const Piece& p, std::int64_t k) {
    const ValueDescriptor& v = locate(ws, p.at);
    if (p.whole && !(v.type == kGeneral && v.rank == 0 && v.count == 1)) return v;
    const std::int64_t at = cellAt(p, k);
    if (v.type == kGeneral) return ws.elems<ValueDescriptor>(v)[at];
    return scalarItem(ws, v, at);
}

// An enumerated column takes values found in its domain (plain ones, or
// enumerations), stored as their positions there.
Rc enumerationCells(const Workspace& ws, const ValueDescriptor& column, ColumnStore& s) {
    const ValueDescriptor& v = locate(ws, s.piece.at);
    types::EnumerationHeader h;
    if (!types::readHeader(ws, column, &h)) return kDomainError;  // an empty one names no domain
    if (v.type == kGeneral || (v.type > kTemporal && v.type != kEnumeration)) return kDomainError;
    if (s.piece.whole && !isSingle(v)) return kLengthError;
    s.positions.assign(static_cast<std::size_t>(v.count), kNotInDomain);
    WOX_TRY(positionsOfValue(ws, types::currentDomain(ws, column), h, v, s.positions.data()));
    for (std::int32_t k : s.cells)
        if (s.positions[static_cast<std::size_t>(cellAt(s.piece, k))] == kNotInDomain) return kDomainError;
    s.type = kEnumeration;
    return kOk;
}

// The type of `column` after its store, and a string column's width:
// numbers widen, characters, symbols and temporal values (of one kind) take
// only their own type, anything goes into a General column.
Rc settleType(const Workspace& ws, const ValueDescriptor& column, ColumnStore& s) {
    const ValueDescriptor& v = locate(ws, s.piece.at);
    const bool empty = columnLength(ws, column) == 0;
    if (isStringColumn(column)) {
        if (v.type != kChar) return kDomainError;
        s.type = kChar;
        s.width = values::dimension(ws, column, 1);
        for (std::size_t j = 0; j < s.cells.size(); ++j) {
            std::int32_t n = 0;
            (void)stringCell(ws, s.piece, s.cells[j], &n);
            s.width = std::max(s.width, n);
        }
        return kOk;
    }
    if (column.type == kEnumeration) return enumerationCells(ws, column, s);
    if (column.type == kGeneral) {
        s.type = kGeneral;
        return kOk;
    }
    if (s.piece.whole && !isSingle(v)) return kLengthError;
    if (v.type > kTemporal) return kDomainError;
    if (v.type == kGeneral) {
        // A simple column becomes General; a single list's one item is the
        // cell, as a simple vector's one element would be.
        s.type = kGeneral;
        s.piece.whole = false;
        if (isSingle(v)) s.piece.step = 0;
        return kOk;
    }
    s.type = joinedType(column.type, empty, v.type, false);
    if (s.type < 0 || s.type == kGeneral) return kDomainError;
    if (s.type == kTemporal) WOX_TRY(sameKind(firstKind(ws, column), kindOfValue(ws, v)));
    return kOk;
}

void needStore(StackBuilder& b, const ValueDescriptor& column, std::int32_t length, const ColumnStore& s) {
    if (isStringColumn(column)) {
        b.needBytes(static_cast<std::uint64_t>(length) * static_cast<std::uint64_t>(s.width) + 1);
        return;
    }
    b.needBytes(static_cast<std::uint64_t>(elementSize(s.type, length)));
    if (s.type != kGeneral) return;
    b.need(column);
    if (column.type == kComplex) b.needBytes(16 * static_cast<std::uint64_t>(column.count));
    for (std::int32_t k : s.cells) b.need(itemCell(b.ws(), s.piece, k));
}

template <class T>
void placeCells(char* out, const char* src, std::int64_t start, std::int64_t step, const std::vector<std::int32_t>& rows,
                const std::vector<std::int32_t>& cells) {
    auto* to = reinterpret_cast<T*>(out);
    const auto* from = reinterpret_cast<const T*>(src) + start;
    if (step == 0) {
        const T one = from[0];
        for (std::int32_t r : rows) to[r] = one;
        return;
    }
    for (std::size_t j = 0; j < rows.size(); ++j) to[rows[j]] = from[cells[j] * step];
}

// Writes the store's cells into the elements at `out` of a column of the
// store's type (not General): the rows of a string column, the positions of
// an enumeration (past its head), or elements of the cells' own type or
// brought to the column's.
void writeCells(const Workspace& ws, char* out, const ColumnStore& s, bool strings) {
    if (strings) {
        for (std::size_t j = 0; j < s.rows.size(); ++j) {
            char* row = out + static_cast<std::int64_t>(s.rows[j]) * s.width;
            std::memset(row, ' ', static_cast<std::size_t>(s.width));
            std::int32_t n = 0;
            const char* text = stringCell(ws, s.piece, s.cells[j], &n);
            if (n > 0) std::memcpy(row, text, static_cast<std::size_t>(n));
        }
        return;
    }
    if (s.type == kEnumeration) {
        auto* positions = reinterpret_cast<std::int32_t*>(out + kEnumerationHead);
        for (std::size_t j = 0; j < s.rows.size(); ++j)
            positions[s.rows[j]] = s.positions[static_cast<std::size_t>(cellAt(s.piece, s.cells[j]))];
        return;
    }
    const ValueDescriptor& v = locate(ws, s.piece.at);
    const char* src = ws.elems<char>(v);
    const std::int64_t step = s.piece.whole ? 0 : s.piece.step;
    const std::int64_t start = s.piece.whole ? 0 : s.piece.start;
    const int stride = elementStride(s.type);
    if (v.type == s.type || (stride == 4 && elementStride(v.type) == 4)) {
        struct Wide {
            double re, im;
        };
        switch (stride) {
            case 1: placeCells<std::uint8_t>(out, src, start, step, s.rows, s.cells); break;
            case 4: placeCells<std::uint32_t>(out, src, start, step, s.rows, s.cells); break;
            case 8: placeCells<std::uint64_t>(out, src, start, step, s.rows, s.cells); break;
            default: placeCells<Wide>(out, src, start, step, s.rows, s.cells); break;
        }
        return;
    }
    // Numbers widened: one cell at a time.
    const int from = elementStride(v.type);
    for (std::size_t j = 0; j < s.rows.size(); ++j)
        convertRun(out + static_cast<std::int64_t>(s.rows[j]) * stride, s.type,
                   src + (start + s.cells[j] * step) * from, v.type, 1, false);
}

// `column` made `length` rows long, of the store's type, with its cells
// written. Room was made beforehand.
ValueDescriptor rewrite(StackBuilder& b, const ValueDescriptor& column, std::int32_t length, const ColumnStore& s) {
    Workspace& ws = b.ws();
    const std::int32_t old = columnLength(ws, column);
    if (isStringColumn(column)) {
        ValueDescriptor m;
        m.type = kChar;
        m.rank = 2;
        m.count = length * s.width;
        m.shape0 = length;
        m.shape1 = s.width;
        if (m.count == 0) return m;
        m.data = b.block(kChar, m.count);
        m.blockSize = static_cast<std::int32_t>(elementSize(kChar, m.count));
        char* out = ws.base() + m.data;
        std::memset(out, ' ', static_cast<std::size_t>(m.count));
        const std::int32_t w = values::dimension(ws, column, 1);
        const char* in = ws.elems<char>(column);
        for (std::int32_t r = 0; r < old && w > 0; ++r)
            std::memcpy(out + static_cast<std::int64_t>(r) * s.width, in + static_cast<std::int64_t>(r) * w,
                        static_cast<std::size_t>(w));
        writeCells(ws, out, s, true);
        return m;
    }
    ValueDescriptor g = b.vector(s.type, length);
    if (length == 0) return g;
    if (s.type == kGeneral) {
        auto* items = reinterpret_cast<ValueDescriptor*>(ws.base() + g.data);
        for (std::int32_t r = 0; r < old; ++r)
            items[r] = column.type == kGeneral ? ws.elems<ValueDescriptor>(column)[r] : scalarItem(ws, column, r);
        for (std::size_t j = 0; j < s.rows.size(); ++j) items[s.rows[j]] = itemCell(ws, s.piece, s.cells[j]);
        for (std::int32_t r = 0; r < length; ++r)
            values::copyTreeInto(ws, reinterpret_cast<ValueDescriptor*>(ws.base() + g.data + 32u * r), 0, true);
        return g;
    }
    char* out = ws.elems<char>(g);
    if (s.type == kEnumeration) {
        std::memcpy(out, ws.elems<char>(column), kEnumerationHead + 4 * static_cast<std::size_t>(old));
    } else if (old > 0) {
        convertRun(out, s.type, ws.elems<char>(column), column.type, old, false);
    }
    writeCells(ws, out, s, false);
    return g;
}

// Whether a store can write into the column where it stands: no row is
// added, the column keeps its type (a string column its width), and its
// cells own no blocks. Nothing can fail then, so the store needs no copy.
bool fitsInPlace(const Workspace& ws, const ValueDescriptor& column, std::int32_t length, const ColumnStore& s) {
    if (length != columnLength(ws, column) || s.type != column.type || s.type == kGeneral) return false;
    return !isStringColumn(column) || s.width == values::dimension(ws, column, 1);
}

bool allInPlace(const Workspace& ws, const ValueDescriptor* columns, std::int32_t length,
                const std::vector<ColumnStore>& stores) {
    return std::all_of(stores.begin(), stores.end(),
                       [&](const ColumnStore& s) { return fitsInPlace(ws, columns[s.column], length, s); });
}

// The stores written into the columns of the variable where they stand.
// The columns lie in the variable's own blocks, which the stores own.
void writeInPlace(Workspace& ws, const ValueDescriptor* columns, const std::vector<ColumnStore>& stores) {
    for (const ColumnStore& s : stores) {
        auto& column = const_cast<ValueDescriptor&>(columns[s.column]);
        writeCells(ws, ws.elems<char>(column), s, isStringColumn(column));
    }
}

// Which rows the keys of an index name: found ones, and past the old rows
// one new row for each distinct new key. rows[j] is key j's row.
struct KeyRows {
    std::vector<std::int32_t> rows;
    std::vector<std::int32_t> fresh;      // the new rows, in order
    std::vector<std::int32_t> freshKeys;  // the key that gave each
    std::int32_t length = 0;              // rows after the store
};

// More rows than a count holds is workspace full.
Rc keyRows(const Workspace& ws, const ValueDescriptor* columns, int width, std::int32_t old,
           const std::vector<std::string>& keys, KeyRows& k) {
    if (static_cast<std::int64_t>(old) + static_cast<std::int64_t>(keys.size()) > 0x7fffffff) return kWorkspaceFull;
    const RowIndex found(ws, columns, width, old);
    std::unordered_map<std::string, std::int32_t> added;
    for (std::size_t j = 0; j < keys.size(); ++j) {
        std::int32_t r = found.find(keys[j]);
        if (r < 0) {
            auto [it, isNew] = added.emplace(keys[j], old + static_cast<std::int32_t>(added.size()));
            r = it->second;
            if (isNew) {
                k.fresh.push_back(r);
                k.freshKeys.push_back(static_cast<std::int32_t>(j));
            }
        }
        k.rows.push_back(r);
    }
    k.length = old + static_cast<std::int32_t>(k.fresh.size());
    return kOk;
}

template <class T = std::int32_t>
std::vector<T> upTo(std::size_t n) {
    std::vector<T> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<T>(i);
    return v;
}

// The part of a key index that feeds key column c of `width`, as the
// lookup reads it: the index itself for one column (or its one item when
// it is a list), else its item c.
Locator keyPart(const Workspace& ws, const ValueDescriptor& column, int width, ValueRef index, int c) {
    const ValueDescriptor& k = ws.at(index);
    if (width == 1 && (column.type == kGeneral || !(k.type == kGeneral && k.rank == 1))) return Locator{index};
    return Locator{index, -1, c};
}

// Stores that append the new keys' rows to key columns[0..width).
Rc keyStores(const Workspace& ws, const ValueDescriptor* columns, int width, ValueRef index, bool single,
             std::int64_t n, const KeyRows& k, std::vector<ColumnStore>& out) {
    for (int c = 0; c < width; ++c) {
        ColumnStore s;
        s.column = c;
        WOX_TRY(pieceFor(ws, keyPart(ws, columns[c], width, index, c), single, n, isStringColumn(columns[c]), &s.piece));
        s.rows = k.fresh;
        s.cells = k.freshKeys;
        WOX_TRY(settleType(ws, columns[c], s));
        out.push_back(std::move(s));
    }
    return kOk;
}

// The value descriptor ready for the variable, then stored.
Rc store(Workspace& ws, int target, int scratch, const ValueDescriptor& built) {
    ws.var(scratch) = built;
    return values::assignValue(ws, target, varRef(scratch));
}

// ---- dictionaries ----------------------------------------------------------

Rc assignDictionary(values::Context& cx, int target, int scratch, ValueRef v, std::span<const ValueRef> indices) {
    Workspace& ws = cx.ws;
    if (indices.size() != 1 || indices[0] == kOmittedIndex) return kRankError;
    auto parts = [&] { return partsOf(ws, ws.var(target)); };
    std::vector<std::string> keys;
    bool single = false;
    WOX_TRY(lookupKeys(ws, &parts()[0], 1, indices[0], keys, &single));
    KeyRows k;
    WOX_TRY(keyRows(ws, &parts()[0], 1, parts()[0].count, keys, k));
    const auto n = static_cast<std::int64_t>(keys.size());
    std::vector<ColumnStore> keyStore;
    if (!k.fresh.empty()) WOX_TRY(keyStores(ws, &parts()[0], 1, indices[0], single, n, k, keyStore));
    ColumnStore values;
    values.column = 0;
    WOX_TRY(pieceFor(ws, Locator{v}, single, n, false, &values.piece));
    values.rows = k.rows;
    values.cells = upTo(keys.size());
    WOX_TRY(settleType(ws, parts()[1], values));
    if (n == 0) return kOk;
    if (keyStore.empty() && fitsInPlace(ws, parts()[1], k.length, values)) {
        writeInPlace(ws, &parts()[1], {values});
        return kOk;
    }
    StackBuilder b(ws);
    if (keyStore.empty()) {
        b.need(parts()[0]);
    } else {
        needStore(b, parts()[0], k.length, keyStore[0]);
    }
    needStore(b, parts()[1], k.length, values);
    b.needBytes(64);
    WOX_TRY(b.reserve());
    const ValueDescriptor newKeys =
        keyStore.empty() ? b.copy(parts()[0]) : rewrite(b, parts()[0], k.length, keyStore[0]);
    const ValueDescriptor newValues = rewrite(b, parts()[1], k.length, values);
    return store(ws, target, scratch, b.pair(kDictionary, kPlainDictionary, newKeys, newValues));
}

// ---- tables ----------------------------------------------------------------

// The place of each name among a table's columns; a name that is not a
// column is -1.
void columnPlaces(const Workspace& ws, const ValueDescriptor& t, const ValueDescriptor& names, std::vector<int>& out) {
    for (std::int32_t i = 0; i < names.count; ++i) out.push_back(findColumn(ws, t, ws.elems<std::int32_t>(names)[i]));
}

// The pieces that v gives several columns (places[c] among `columns`) of n
// rows each: a dictionary by column name (a name that is no column is a
// domain error; with `complete`, every column must be named), a table by
// column name, a list with one item (or element) per column, a matrix of n
// rows and one column per column, or one value for every cell.
Rc columnPieces(const Workspace& ws, ValueRef v, const ValueDescriptor& t, const std::vector<int>& places,
                bool oneRow, std::int64_t n, bool complete, std::vector<ColumnStore>& out) {
    const ValueDescriptor& vd = ws.at(v);
    if (vd.unset()) return kValueError;
    const ValueDescriptor* columns = tableColumns(ws, t);
    const auto m = static_cast<std::int32_t>(places.size());
    auto add = [&](int c, const Piece& p) {
        ColumnStore s;
        s.column = places[static_cast<std::size_t>(c)];
        s.piece = p;
        out.push_back(std::move(s));
    };
    if (isPlainDictionary(vd) || isTable(vd)) {
        // Names to the places of their cells in v.
        const ValueDescriptor& names = partsOf(ws, vd)[0];
        if (names.type != kSymbol) return kDomainError;
        const ValueDescriptor& cells = partsOf(ws, vd)[1];
        std::vector<bool> named(places.size(), false);
        for (std::int32_t i = 0; i < names.count; ++i) {
            const int c = findColumn(ws, t, ws.elems<std::int32_t>(names)[i]);
            const auto at = std::find(places.begin(), places.end(), c);
            if (c < 0 || at == places.end()) return kDomainError;
            const auto j = static_cast<std::size_t>(at - places.begin());
            if (named[j]) return kNoSameColumnName;
            named[j] = true;
            Piece p;
            if (isTable(vd)) {
                if (columnLength(ws, ws.elems<ValueDescriptor>(cells)[i]) != (oneRow ? 1 : n)) return kLengthError;
                WOX_TRY(pieceFor(ws, Locator{v, 1, i}, false, n, isStringColumn(columns[c]), &p));
            } else if (cells.type == kGeneral) {
                WOX_TRY(pieceFor(ws, Locator{v, 1, i}, oneRow, n, isStringColumn(columns[c]), &p));
            } else {
                p = Piece{Locator{v, 1}, false, i, 0};
            }
            add(static_cast<int>(j), p);
        }
        if (complete && std::find(named.begin(), named.end(), false) != named.end()) return kLengthError;
        return kOk;
    }
    // No column takes a value: only an empty list says so.
    if (m == 0) return vd.count == 0 && vd.rank == 1 ? Rc(kOk) : Rc(kLengthError);
    if (vd.type == kGeneral && vd.rank == 1) {
        if (vd.count != m) return kLengthError;
        for (int c = 0; c < m; ++c) {
            Piece p;
            WOX_TRY(pieceFor(ws, Locator{v, -1, c}, oneRow, n, isStringColumn(columns[places[static_cast<std::size_t>(c)]]), &p));
            add(c, p);
        }
        return kOk;
    }
    if (vd.rank == 2) {
        if (values::dimension(ws, vd, 0) != (oneRow ? 1 : n) || values::dimension(ws, vd, 1) != m) return kLengthError;
        for (int c = 0; c < m; ++c) {
            if (isStringColumn(columns[places[static_cast<std::size_t>(c)]])) return kDomainError;
            add(c, Piece{Locator{v}, false, c, m});
        }
        return kOk;
    }
    if (vd.rank > 2) return kRankError;
    if (isSingle(vd)) {
        for (int c = 0; c < m; ++c) add(c, Piece{Locator{v}, false, 0, 0});
        return kOk;
    }
    if (vd.count != m) return kLengthError;
    for (int c = 0; c < m; ++c) add(c, Piece{Locator{v}, false, c, 0});
    return kOk;
}

// Builds table t again with the stores made into its columns (each
// `length` rows long); the columns without a store are copied.
void needTableStores(StackBuilder& b, const ValueDescriptor& t, std::int32_t length,
                   const std::vector<ColumnStore>& stores) {
    const Workspace& ws = b.ws();
    const ValueDescriptor* cols = tableColumns(ws, t);
    const int width = tableWidth(ws, t);
    for (int c = 0; c < width; ++c) {
        const auto s = std::find_if(stores.begin(), stores.end(), [c](const ColumnStore& x) { return x.column == c; });
        if (s == stores.end()) {
            b.need(cols[c]);
        } else {
            needStore(b, cols[c], length, *s);
        }
    }
    b.need(tableNames(ws, t));
    b.needBytes(tableFrame(static_cast<std::size_t>(width)));
}

ValueDescriptor tableWithStores(StackBuilder& b, const ValueDescriptor& t, std::int32_t length,
                                const std::vector<ColumnStore>& stores) {
    Workspace& ws = b.ws();
    const ValueDescriptor* cols = tableColumns(ws, t);
    std::vector<ValueDescriptor> columns;
    for (int c = 0; c < tableWidth(ws, t); ++c) {
        const auto s = std::find_if(stores.begin(), stores.end(), [c](const ColumnStore& x) { return x.column == c; });
        columns.push_back(s == stores.end() ? b.copy(cols[c]) : rewrite(b, cols[c], length, *s));
    }
    return b.table(b.copy(tableNames(ws, t)), columns, length);
}

// t[`c]<-v, t[`c1`c2]<-(v1;v2): whole columns replaced, or added at the
// end, each of the table's rows (a single value fills them).
Rc replaceColumns(values::Context& cx, int target, int scratch, ValueRef v, ValueRef nameRef) {
    Workspace& ws = cx.ws;
    const ValueDescriptor& names = ws.at(nameRef);
    if (names.rank > 1) return kRankError;
    if (repeatsName(ws.elems<std::int32_t>(names), names.count)) return kNoSameColumnName;
    const bool one = names.rank == 0;
    auto newValues = [&]() -> std::vector<ValueDescriptor> {
        if (one) return {ws.at(v)};
        return valuesAsColumns(ws, ws.at(v));
    };
    if (ws.at(v).unset()) return kValueError;
    std::vector<ValueDescriptor> given = newValues();
    if (static_cast<std::int32_t>(given.size()) != names.count) return kLengthError;
    const std::int32_t rows = tableRows(ws, ws.var(target));
    for (const ValueDescriptor& c : given) {
        if (c.unset()) return kValueError;
        if (c.type == kDictionary || c.type == kTable) return kDomainError;
        if (c.rank >= 2 && !isStringColumn(c)) return kRankError;
        if ((!isSingle(c) || isStringColumn(c)) && columnLength(ws, c) != rows) return kLengthError;
    }
    std::vector<int> places;
    columnPlaces(ws, ws.var(target), names, places);
    StackBuilder b(ws);
    const int width = tableWidth(ws, ws.var(target));
    for (int c = 0; c < width; ++c) {
        if (std::find(places.begin(), places.end(), c) == places.end()) b.need(tableColumns(ws, ws.var(target))[c]);
    }
    for (const ValueDescriptor& c : given) needColumn(b, c, rows);
    b.need(tableNames(ws, ws.var(target)));
    b.needBytes(4 * static_cast<std::uint64_t>(names.count) + tableFrame(static_cast<std::size_t>(width + names.count)));
    WOX_TRY(b.reserve());
    given = newValues();
    const ValueDescriptor& t = ws.var(target);
    std::vector<ValueDescriptor> columns;
    std::vector<std::int32_t> allNames;
    for (int c = 0; c < width; ++c) {
        columns.push_back(ValueDescriptor{});
        allNames.push_back(columnName(ws, t, c));
    }
    for (std::size_t i = 0; i < given.size(); ++i) {
        const ValueDescriptor column = buildColumn(b, given[i], rows);
        if (places[i] >= 0) {
            columns[static_cast<std::size_t>(places[i])] = column;
        } else {
            columns.push_back(column);
            allNames.push_back(ws.elems<std::int32_t>(ws.at(nameRef))[i]);
        }
    }
    for (int c = 0; c < width; ++c)
        if (std::find(places.begin(), places.end(), c) == places.end())
            columns[static_cast<std::size_t>(c)] = b.copy(tableColumns(ws, t)[c]);
    return store(ws, target, scratch,
                 b.table(b.symbols(allNames.data(), static_cast<int>(allNames.size())), columns, rows));
}

// t[i;c]<-v: cells of existing rows and columns.
Rc assignTable(values::Context& cx, int target, int scratch, ValueRef v, std::span<const ValueRef> indices, int io) {
    Workspace& ws = cx.ws;
    if (indices.size() > 2) return kRankError;
    const ValueRef rowIndex = indices[0];
    const ValueRef columnIndex = indices.size() == 2 ? indices[1] : kOmittedIndex;
    if (indices.size() == 1 && rowIndex != kOmittedIndex && ws.at(rowIndex).type == kSymbol)
        return replaceColumns(cx, target, scratch, v, rowIndex);
    auto table = [&]() -> const ValueDescriptor& { return ws.var(target); };
    const std::int32_t height = tableRows(ws, table());
    std::vector<std::int32_t> rows;
    bool oneRow = false;
    WOX_TRY(rowPositions(ws, rowIndex, height, io, rows, &oneRow));
    if (rowIndex == kOmittedIndex) rows = upTo(static_cast<std::size_t>(height));
    std::vector<int> places;
    bool oneColumn = false;
    if (columnIndex == kOmittedIndex) {
        places = upTo<int>(static_cast<std::size_t>(tableWidth(ws, table())));
    } else {
        const ValueDescriptor& names = ws.at(columnIndex);
        if (names.unset()) return kValueError;
        if (names.type != kSymbol) return kTypeError;
        if (names.rank > 1) return kRankError;
        if (repeatsName(ws.elems<std::int32_t>(names), names.count)) return kNoSameColumnName;
        oneColumn = names.rank == 0;
        columnPlaces(ws, table(), names, places);
        if (std::find(places.begin(), places.end(), -1) != places.end()) return kDomainError;
    }
    const auto n = static_cast<std::int64_t>(rows.size());
    std::vector<ColumnStore> stores;
    if (oneColumn) {
        ColumnStore s;
        s.column = places[0];
        WOX_TRY(pieceFor(ws, Locator{v}, oneRow, n, isStringColumn(tableColumns(ws, table())[s.column]), &s.piece));
        stores.push_back(std::move(s));
    } else {
        WOX_TRY(columnPieces(ws, v, table(), places, oneRow, n, false, stores));
    }
    for (ColumnStore& s : stores) {
        s.rows = rows;
        s.cells = upTo(rows.size());
        WOX_TRY(settleType(ws, tableColumns(ws, table())[s.column], s));
    }
    if (n == 0 || stores.empty()) return kOk;
    if (allInPlace(ws, tableColumns(ws, table()), height, stores)) {
        writeInPlace(ws, tableColumns(ws, table()), stores);
        return kOk;
    }
    StackBuilder b(ws);
    needTableStores(b, table(), height, stores);
    WOX_TRY(b.reserve());
    return store(ws, target, scratch, tableWithStores(b, table(), height, stores));
}

// ---- keyed tables ----------------------------------------------------------

// kt[k]<-v: the value row of each key replaced, a new key's row appended.
Rc assignKeyedTable(values::Context& cx, int target, int scratch, ValueRef v, std::span<const ValueRef> indices) {
    Workspace& ws = cx.ws;
    if (indices.size() != 1 || indices[0] == kOmittedIndex) return kRankError;
    auto keyTable = [&]() -> const ValueDescriptor& { return partsOf(ws, ws.var(target))[0]; };
    auto valueTable = [&]() -> const ValueDescriptor& { return partsOf(ws, ws.var(target))[1]; };
    const int keyWidth = tableWidth(ws, keyTable());
    const std::int32_t old = tableRows(ws, keyTable());
    // The lookup finds no plain key in an enumerated key column, so a store
    // there would append a key that is present already.
    for (int c = 0; c < keyWidth; ++c)
        if (tableColumns(ws, keyTable())[c].type == kEnumeration) return kDomainError;
    std::vector<std::string> keys;
    bool single = false;
    WOX_TRY(lookupKeys(ws, tableColumns(ws, keyTable()), keyWidth, indices[0], keys, &single));
    KeyRows k;
    WOX_TRY(keyRows(ws, tableColumns(ws, keyTable()), keyWidth, old, keys, k));
    const auto n = static_cast<std::int64_t>(keys.size());
    std::vector<ColumnStore> keyStore;
    if (!k.fresh.empty())
        WOX_TRY(keyStores(ws, tableColumns(ws, keyTable()), keyWidth, indices[0], single, n, k, keyStore));
    const int width = tableWidth(ws, valueTable());
    std::vector<ColumnStore> stores;
    const ValueDescriptor& vd = ws.at(v);
    if (vd.unset()) return kValueError;
    const bool byName = isPlainDictionary(vd) || isTable(vd);
    if (width == 1 && !byName && !(vd.type == kGeneral && vd.rank == 1 && vd.count == 1)) {
        ColumnStore s;
        s.column = 0;
        WOX_TRY(pieceFor(ws, Locator{v}, single, n, isStringColumn(tableColumns(ws, valueTable())[0]), &s.piece));
        stores.push_back(std::move(s));
    } else {
        WOX_TRY(columnPieces(ws, v, valueTable(), upTo<int>(static_cast<std::size_t>(width)), single, n,
                             !k.fresh.empty(), stores));
    }
    for (ColumnStore& s : stores) {
        s.rows = k.rows;
        s.cells = upTo(keys.size());
        WOX_TRY(settleType(ws, tableColumns(ws, valueTable())[s.column], s));
    }
    if (n == 0) return kOk;
    if (keyStore.empty() && allInPlace(ws, tableColumns(ws, valueTable()), k.length, stores)) {
        writeInPlace(ws, tableColumns(ws, valueTable()), stores);
        return kOk;
    }
    StackBuilder b(ws);
    if (keyStore.empty()) {
        b.need(keyTable());
    } else {
        needTableStores(b, keyTable(), k.length, keyStore);
    }
    needTableStores(b, valueTable(), k.length, stores);
    b.needBytes(64);
    WOX_TRY(b.reserve());
    const ValueDescriptor newKeys =
        keyStore.empty() ? b.copy(keyTable()) : tableWithStores(b, keyTable(), k.length, keyStore);
    const ValueDescriptor newValues = tableWithStores(b, valueTable(), k.length, stores);
    return store(ws, target, scratch, b.pair(kDictionary, kKeyedTable, newKeys, newValues));
}

}  // namespace

Rc assignKeyed(values::Context& cx, int target, int scratch, ValueRef v, std::span<const ValueRef> indices, int io) {
    const ValueDescriptor& x = cx.ws.var(target);
    if (indices.empty()) return kRankError;
    if (cx.ws.at(v).unset()) return kValueError;
    if (isTable(x)) return assignTable(cx, target, scratch, v, indices, io);
    if (isKeyedTable(x)) return assignKeyedTable(cx, target, scratch, v, indices);
    if (isDictionary(x)) return assignDictionary(cx, target, scratch, v, indices);
    return kDomainError;
}

}  // namespace wox::primitives
