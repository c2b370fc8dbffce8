#include "engine/csv_functions.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <new>
#include <unordered_set>
#include <vector>

#include "csv_file/csv_fields.h"
#include "csv_file/csv_records.h"
#include "primitives/keyed/keyed_layout.h"
#include "primitives/single_scalars.h"
#include "values/file_replacement.h"
#include "values/keyed_value.h"
#include "values/messages.h"
#include "values/shaped_result.h"
#include "vocabulary/vocabulary.h"

namespace wox::engine {

namespace {

using csv_file::ColumnKind;
using values::elementsOf;

constexpr int kReadCode = vocabulary::systemCodeOf("[]CSVR");
constexpr int kWriteCode = vocabulary::systemCodeOf("[]CSVW");
constexpr const char* kCsvTempPrefix = ".wox-csv-";
constexpr std::string_view kExtension = ".csv";
constexpr std::string_view kDictionaryNames[] = {"key", "value"};
// Options of []CSVR besides separators and type letters.
constexpr char kNoHeader = '-';

// ---- Writing ----------------------------------------------------------------

struct OutColumn {
    std::string_view name;
    const ValueDescriptor* d;
};

// One cell's text; chosen once per column.
using CellWriter = Rc (*)(const Interpreter&, const ValueDescriptor&, std::int64_t, std::string&);

template <class T>
T elementAt(const Interpreter& in, const ValueDescriptor& d, std::int64_t i) {
    T v;
    std::memcpy(&v, elementsOf(in.ws, d) + static_cast<std::size_t>(i) * sizeof(T), sizeof v);
    return v;
}

Rc writeInteger(const Interpreter& in, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    csv_file::appendInteger(out, elementAt<std::int32_t>(in, d, i));
    return kOk;
}
Rc writeFloat(const Interpreter& in, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    csv_file::appendFloat(out, elementAt<double>(in, d, i));
    return kOk;
}
Rc writeTemporal(const Interpreter& in, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    csv_file::appendTemporal(out, elementAt<types::TemporalWord>(in, d, i));
    return kOk;
}
Rc writeSymbol(const Interpreter& in, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    csv_file::appendField(out, in.symbols.name(elementAt<std::int32_t>(in, d, i)), ',');
    return kOk;
}
Rc writeCharacter(const Interpreter& in, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    csv_file::appendField(out, std::string_view(elementsOf(in.ws, d) + i, 1), ',');
    return kOk;
}
// A row of a character matrix, without its trailing blanks.
Rc writeRow(const Interpreter& in, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    const auto width = static_cast<std::size_t>(d.shape1);
    std::string_view row(elementsOf(in.ws, d) + static_cast<std::size_t>(i) * width, width);
    while (!row.empty() && row.back() == ' ') row.remove_suffix(1);
    csv_file::appendField(out, row, ',');
    return kOk;
}
// An item of a General column: a text, or one simple element.
Rc writeItem(const Interpreter& in, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    const ValueDescriptor& item = in.ws.elems<ValueDescriptor>(d)[i];
    if (item.type == kChar && item.rank <= 1) {
        csv_file::appendField(out, std::string_view(elementsOf(in.ws, item), static_cast<std::size_t>(item.count)), ',');
        return kOk;
    }
    if (item.rank > 1) return kCsvColumn;
    if (item.count == 0 && item.type <= kTemporal && item.type != kGeneral) return kOk;
    if (item.count != 1) return kCsvColumn;
    switch (item.type) {
        case kBoolean:
        case kInteger: return writeInteger(in, item, 0, out);
        case kFloat: return writeFloat(in, item, 0, out);
        case kSymbol: return writeSymbol(in, item, 0, out);
        case kTemporal: return writeTemporal(in, item, 0, out);
        default: return kCsvColumn;
    }
}

CellWriter writerOf(const ValueDescriptor& d) {
    if (d.type == kChar && d.rank == 2) return writeRow;
    if (d.rank != 1) return nullptr;
    switch (d.type) {
        case kBoolean:
        case kInteger: return writeInteger;
        case kFloat: return writeFloat;
        case kChar: return writeCharacter;
        case kSymbol: return writeSymbol;
        case kTemporal: return writeTemporal;
        case kGeneral: return writeItem;
        default: return nullptr;
    }
}

}  // namespace

Rc csvText(const Interpreter& in, const ValueDescriptor& v, std::string& text) {
    const values::Workspace& ws = in.ws;
    std::vector<OutColumn> columns;
    std::int64_t rows = 0;
    if (isTable(v) || isKeyedTable(v)) {
        std::vector<primitives::ColumnSource> sources;
        primitives::columnSources(ws, v, sources);
        for (const primitives::ColumnSource& s : sources) columns.push_back({in.symbols.name(s.name), s.column});
        rows = tableRows(ws, v);
    } else if (isPlainDictionary(v)) {
        const ValueDescriptor* parts = partsOf(ws, v);
        columns.push_back({kDictionaryNames[0], &parts[0]});
        columns.push_back({kDictionaryNames[1], &parts[1]});
        rows = parts[0].count;
    } else {
        return kCsvWriteArgument;
    }
    std::vector<CellWriter> writers;
    for (const OutColumn& c : columns) {
        CellWriter w = writerOf(*c.d);
        if (!w) return kCsvColumn;
        writers.push_back(w);
    }
    text.clear();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) text += ',';
        csv_file::appendField(text, columns[c].name, ',');
    }
    text += '\n';
    for (std::int64_t r = 0; r < rows; ++r) {
        const std::size_t start = text.size();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) text += ',';
            WOX_TRY(writers[c](in, *columns[c].d, r, text));
        }
        // A record of one empty field is written as "", so that no line is blank.
        if (text.size() == start) text += "\"\"";
        text += '\n';
    }
    return kOk;
}

Rc writeCsvFile(const Interpreter& in, const ValueDescriptor& v, const std::string& path) {
    std::string text;
    try {
        WOX_TRY(csvText(in, v, text));
    } catch (const std::bad_alloc&) {
        return kWorkspaceFull;
    }
    std::string problem;
    return values::replaceFile(path, text, kCsvTempPrefix, &problem) ? kOk : Rc{kCsvNotWritten};
}

std::string csvPath(const Interpreter& in, std::string_view name) {
    std::string path = name.find('/') == std::string_view::npos ? in.workspaceFolder + std::string(name)
                                                                 : std::string(name);
    const std::size_t slash = path.rfind('/');
    if (path.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos) path += kExtension;
    return path;
}

namespace {

// ---- Reading ----------------------------------------------------------------

struct ReadOptions {
    char separator = ',';
    bool header = true;
    std::string letters;  // one per column, or none to infer
};

Rc textArgument(const Interpreter& in, const ValueDescriptor& d, std::string& text) {
    if (d.type != kChar || d.rank > 1 || d.count < 1) return kCsvArgument;
    text.assign(elementsOf(in.ws, d), static_cast<std::size_t>(d.count));
    return kOk;
}

Rc optionsArgument(const Interpreter& in, const ValueDescriptor& d, ReadOptions& o) {
    if (d.count == 0 && d.rank == 1) return kOk;
    if (d.type != kChar || d.rank > 1) return kCsvArgument;
    std::string_view text(elementsOf(in.ws, d), static_cast<std::size_t>(d.count));
    for (char c : text) {
        ColumnKind kind;
        if (csv_file::isSeparator(c)) o.separator = c;
        else if (c == kNoHeader) o.header = false;
        else if (csv_file::kindOfLetter(c, &kind)) o.letters += c;
        else return kCsvArgument;
    }
    return kOk;
}

// A column read from the fields.
struct InColumn {
    std::int32_t position = 0;  // in the file
    std::int32_t name = 0;
    ColumnKind kind = ColumnKind::Text;
    std::int32_t temporalKind = 0;
    std::vector<std::int32_t> ints;  // Boolean, Integer, Symbol
    std::vector<double> floats;
    std::vector<types::TemporalWord> words;
};

// Tells where a read failed: the file, the line and the column.
void reportPlace(Interpreter& in, const std::string& path, const csv_file::Fault& f) {
    std::string place = path;
    if (f.line > 0) place.append(": line ").append(std::to_string(f.line));
    if (f.column > 0) place.append(", column ").append(std::to_string(f.column));
    in.link().diagnostic(place);
}

// Converts every field of a column, or names the one that does not read.
Rc convertColumn(Interpreter& in, const csv_file::Records& r, std::int64_t first, InColumn& c,
                 csv_file::Fault& fault) {
    const std::int64_t rows = r.count() - first;
    auto fail = [&](std::int64_t i) {
        fault = csv_file::Fault{kCsvField, r.lines[static_cast<std::size_t>(i)], c.position + 1};
        return Rc{kCsvField};
    };
    switch (c.kind) {
        case ColumnKind::Boolean:
        case ColumnKind::Integer: {
            const bool booleans = c.kind == ColumnKind::Boolean;
            c.ints.resize(static_cast<std::size_t>(rows));
            for (std::int64_t i = first; i < r.count(); ++i) {
                std::string_view f = r.field(i, c.position);
                std::int32_t& v = c.ints[static_cast<std::size_t>(i - first)];
                // A Boolean column has no null: an empty field is 0.
                if (f.empty()) v = booleans ? 0 : kIntNull;
                else if (!(booleans ? csv_file::readBoolean(f, &v) : csv_file::readInteger(f, &v))) return fail(i);
            }
            return kOk;
        }
        case ColumnKind::Float: {
            c.floats.resize(static_cast<std::size_t>(rows));
            for (std::int64_t i = first; i < r.count(); ++i) {
                std::string_view f = r.field(i, c.position);
                double& v = c.floats[static_cast<std::size_t>(i - first)];
                if (f.empty()) v = std::numeric_limits<double>::quiet_NaN();
                else if (!csv_file::readFloat(f, &v)) return fail(i);
            }
            return kOk;
        }
        case ColumnKind::Temporal: {
            c.words.resize(static_cast<std::size_t>(rows));
            for (std::int64_t i = first; i < r.count(); ++i) {
                std::string_view f = r.field(i, c.position);
                if (f.empty()) continue;
                types::TemporalWord w;
                if (!csv_file::readTemporal(f, &w)) return fail(i);
                // The first value sets the kind; every other must share it.
                if (c.temporalKind == 0) c.temporalKind = types::temporalKind(w);
                if (types::temporalKind(w) != c.temporalKind) return fail(i);
                c.words[static_cast<std::size_t>(i - first)] = w;
            }
            if (c.temporalKind == 0) c.temporalKind = types::kDateKind;
            for (std::int64_t i = first; i < r.count(); ++i)
                if (r.field(i, c.position).empty()) c.words[static_cast<std::size_t>(i - first)] = csv_file::temporalNull(c.temporalKind);
            return kOk;
        }
        case ColumnKind::Symbol: {
            c.ints.resize(static_cast<std::size_t>(rows));
            for (std::int64_t i = first; i < r.count(); ++i) {
                std::string_view f = r.field(i, c.position);
                if (f.size() > static_cast<std::size_t>(types::kMaxSymbolLength)) return fail(i);
                WOX_TRY(in.symbols.intern(f, &c.ints[static_cast<std::size_t>(i - first)]));
            }
            return kOk;
        }
        default: return kOk;
    }
}

// Puts a column's elements into a vector made by the builder.
template <class T>
void fill(values::Workspace& ws, ValueDescriptor& v, const std::vector<T>& from) {
    char* out = isInline(v) ? reinterpret_cast<char*>(&v.shape0) : ws.base() + v.data;
    if (!from.empty()) std::memcpy(out, from.data(), from.size() * sizeof(T));
}

ValueDescriptor buildColumn(primitives::StackBuilder& b, const csv_file::Records& r, std::int64_t first,
                            const InColumn& c, std::int32_t rows) {
    values::Workspace& ws = b.ws();
    ValueDescriptor v;
    switch (c.kind) {
        case ColumnKind::Boolean: v = b.vector(kBoolean, rows); fill(ws, v, c.ints); return v;
        case ColumnKind::Integer: v = b.vector(kInteger, rows); fill(ws, v, c.ints); return v;
        case ColumnKind::Symbol: v = b.vector(kSymbol, rows); fill(ws, v, c.ints); return v;
        case ColumnKind::Float: v = b.vector(kFloat, rows); fill(ws, v, c.floats); return v;
        case ColumnKind::Temporal: v = b.vector(kTemporal, rows); fill(ws, v, c.words); return v;
        default: break;
    }
    // Text: a General column of character vectors.
    v = b.vector(kGeneral, rows);
    for (std::int32_t i = 0; i < rows; ++i) {
        std::string_view f = r.field(first + i, c.position);
        ValueDescriptor item = b.vector(kChar, static_cast<std::int32_t>(f.size()));
        if (isInline(item)) setInlineChar(item, f[0]);
        else if (!f.empty()) std::memcpy(ws.base() + item.data, f.data(), f.size());
        ws.elems<ValueDescriptor>(v)[i] = item;
    }
    return v;
}

std::uint64_t columnBytes(const csv_file::Records& r, std::int64_t first, const InColumn& c, std::int64_t rows) {
    const auto n = static_cast<std::uint64_t>(rows);
    switch (c.kind) {
        case ColumnKind::Float:
        case ColumnKind::Temporal: return 8 * n;
        case ColumnKind::Text: {
            std::uint64_t bytes = 32 * n;
            for (std::int64_t i = first; i < r.count(); ++i) bytes += values::padded(r.field(i, c.position).size() + 1);
            return bytes;
        }
        default: return 4 * n;
    }
}

Rc readCsv(Interpreter& in, int result, const ReadOptions& o, const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        in.link().diagnostic(path);
        return kCsvNotRead;
    }
    // The values take at least as many bytes as the text: a file larger than
    // the heap cannot fit.
    if (static_cast<std::uint64_t>(st.st_size) >= in.ws.region.size()) return kWorkspaceFull;
    std::string bytes;
    {
        std::ifstream file(path, std::ios::binary);
        if (!file) return kCsvNotRead;
        bytes.resize(static_cast<std::size_t>(st.st_size));
        if (!file.read(bytes.data(), st.st_size)) return kCsvNotRead;
    }
    csv_file::Records r;
    csv_file::Fault fault;
    if (!csv_file::splitRecords(std::move(bytes), o.separator, r, fault)) {
        reportPlace(in, path, fault);
        return fault.message;
    }
    const std::int64_t first = o.header ? 1 : 0;
    const std::int64_t rows = r.count() - first;
    if (rows > values::kMaxElements) return kWorkspaceFull;
    if (!o.letters.empty() && static_cast<std::int32_t>(o.letters.size()) != r.width) {
        in.link().diagnostic(path + ": " + std::to_string(o.letters.size()) + " type letters for " +
                             std::to_string(r.width) + " columns");
        return kCsvArgument;
    }
    std::vector<InColumn> columns;
    std::unordered_set<std::int32_t> names;
    for (std::int32_t p = 0; p < r.width; ++p) {
        InColumn c;
        c.position = p;
        if (o.letters.empty()) c.kind = csv_file::inferKind(r, p, first, &c.temporalKind);
        else csv_file::kindOfLetter(o.letters[static_cast<std::size_t>(p)], &c.kind);
        if (c.kind == ColumnKind::Skip) continue;
        std::string name = o.header ? std::string(r.field(0, p)) : std::string();
        if (name.empty()) name.append(1, 'c').append(std::to_string(p + 1));
        if (Rc rc = in.symbols.intern(name, &c.name); rc.failed()) {
            reportPlace(in, path, csv_file::Fault{rc.code, 1, p + 1});
            return rc;
        }
        if (!names.insert(c.name).second) {
            reportPlace(in, path, csv_file::Fault{kCsvHeader, 1, p + 1});
            return kCsvHeader;
        }
        if (Rc rc = convertColumn(in, r, first, c, fault); rc.failed()) {
            if (fault.message != 0) reportPlace(in, path, fault);
            return rc;
        }
        columns.push_back(std::move(c));
    }
    const auto n = static_cast<std::int32_t>(rows);
    primitives::StackBuilder b(in.ws);
    for (const InColumn& c : columns) b.needBytes(columnBytes(r, first, c, rows));
    b.needBytes(primitives::tableFrame(columns.size()));
    WOX_TRY(b.reserve());
    std::vector<ValueDescriptor> built;
    std::vector<std::int32_t> nameList;
    for (const InColumn& c : columns) {
        built.push_back(buildColumn(b, r, first, c, n));
        nameList.push_back(c.name);
    }
    const ValueDescriptor nameVector = b.symbols(nameList.data(), static_cast<int>(nameList.size()));
    in.ws.var(result) = b.table(nameVector, built, n);
    return kOk;
}

Rc read(Interpreter& in, int result, const ValueDescriptor* left, ValueRef right) {
    ReadOptions o;
    if (left) WOX_TRY(optionsArgument(in, *left, o));
    std::string name;
    WOX_TRY(textArgument(in, in.ws.at(right), name));
    try {
        return readCsv(in, result, o, csvPath(in, name));
    } catch (const std::bad_alloc&) {
        return kWorkspaceFull;
    }
}

}  // namespace

Rc csvMonadic(Interpreter& in, int code, int result, ValueRef right) {
    if (code != kReadCode) return kValenceMismatch;
    return read(in, result, nullptr, right);
}

Rc csvDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    const ValueDescriptor l = in.ws.at(left);
    if (code == kReadCode) return read(in, result, &l, right);
    if (code != kWriteCode) return kNotImplemented;
    std::string name;
    if (textArgument(in, in.ws.at(right), name).failed()) return kCsvWriteArgument;
    WOX_TRY(writeCsvFile(in, l, csvPath(in, name)));
    primitives::writeSingleInt(in.ws, result, kInteger, 0, 0);
    return kOk;
}

}  // namespace wox::engine
