#pragma once
// Reading and building dictionaries, tables and keyed tables (their layout
// is in values/keyed_value.h).
//
// New values are built deep on the stack in one go: the builder first makes
// room for everything it will write (compacting at most once), and from then
// on nothing moves, so descriptors read before the building stay valid.
#include <cstdint>
#include <string>
#include <vector>

#include "values/context.h"
#include "values/keyed_value.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

// A column of strings: a character matrix, one string per row.
inline bool isStringColumn(const ValueDescriptor& c) { return c.type == kChar && c.rank == 2; }

// Bytes in front of an enumeration's indices: the symbol of its domain's
// name and a reference to the domain's value.
inline constexpr int kEnumerationHead = 8;

// Position of the column named `name`, or -1.
int findColumn(const values::Workspace& ws, const ValueDescriptor& t, std::int32_t name);

// Rows of a column: a character matrix has one row per string, any other
// column one per element.
std::int32_t columnLength(const values::Workspace& ws, const ValueDescriptor& c);

// Appends to `out` a text that equals another row's exactly when the rows
// are equal: numbers by value whatever their type, temporal values by their
// fields, items of General columns by their contents.
void rowKey(const values::Workspace& ws, const ValueDescriptor& column, std::int64_t row, std::string& out);
// The same text for a whole value, as rowKey gives for an item of a General
// column that equals it.
void valueKey(const values::Workspace& ws, const ValueDescriptor& value, std::string& out);
// Whether a table has two equal rows.
bool hasDuplicateRows(const values::Workspace& ws, const ValueDescriptor& table);

// Builds a value deep on the stack. Every source descriptor handed to it
// must have been read after reserve().
class StackBuilder {
public:
    explicit StackBuilder(values::Workspace& ws) : ws_(ws) {}

    // Counts what copying a value takes; call before reserve().
    void need(const ValueDescriptor& d);
    void needBytes(std::uint64_t bytes) { bytes_ += bytes + 16; }
    // Makes room for everything counted (compacting once); 6 or 9 when
    // there is none.
    Rc reserve();

    // A zeroed stack block for n elements of a type.
    std::uint32_t block(std::int32_t type, std::int64_t n);
    // A deep copy of d on the stack.
    ValueDescriptor copy(const ValueDescriptor& d);
    // A vector of n elements of a type with its block; its elements follow.
    ValueDescriptor vector(std::int32_t type, std::int32_t n);
    // A Symbol vector of names[0..n).
    ValueDescriptor symbols(const std::int32_t* names, int n);
    // A dictionary or keyed table of two parts already on the stack.
    ValueDescriptor pair(std::int32_t type, std::int32_t subKind, const ValueDescriptor& first,
                         const ValueDescriptor& second);
    // A table of column names and columns already on the stack.
    ValueDescriptor table(const ValueDescriptor& names, const std::vector<ValueDescriptor>& columns,
                          std::int32_t rows);

    values::Workspace& ws() { return ws_; }

private:
    values::Workspace& ws_;
    std::uint64_t bytes_ = 0;
    std::int64_t glist_ = 0;
};

// A column of a table being built: its name and the column it copies.
struct ColumnSource {
    std::int32_t name;
    const ValueDescriptor* column;
};
// The columns of table t (of a keyed table: its key columns, then its value
// columns) as sources.
void columnSources(const values::Workspace& ws, const ValueDescriptor& t, std::vector<ColumnSource>& out);
// A table of deep copies of the sources, all of `rows` rows.
ValueDescriptor tableOf(StackBuilder& b, const std::vector<ColumnSource>& sources, std::int32_t rows);
// Counts what tableOf takes.
void needTable(StackBuilder& b, const std::vector<ColumnSource>& sources);

// The empty Integer vector that the keyword functions answer for an
// argument they do not describe.
inline void setEmptyVector(ValueDescriptor& d) {
    d = ValueDescriptor{};
    d.type = kInteger;
    d.rank = 1;
}

// What a table takes on the stack beyond its columns.
inline std::uint64_t tableFrame(std::size_t columns) { return 32 * 2 + 4 * columns + 32 * columns + 64; }

}  // namespace wox::primitives
