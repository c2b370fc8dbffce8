#include "script_file/rebuild_statement.h"

#include <algorithm>
#include <cstring>

#include "frontend/builtin_names.h"
#include "frontend/source_text.h"
#include "vocabulary/char_class.h"
#include "values/shaped_result.h"
#include "vocabulary/vocabulary.h"
#include "script_file/tagged_value.h"
#include "types/enumeration.h"
#include "types/temporal.h"
#include "values/keyed_value.h"
#include "values/narrowing.h"

namespace wox::script_file {
namespace {

namespace code = vocabulary::code;

// The written forms a statement is made of, each bound to its use.
constexpr std::string_view kAssign = "<-";
constexpr std::string_view kRavel = ",";
constexpr std::string_view kReshape = "#";
constexpr std::string_view kEnclose = "<.";
constexpr std::string_view kTake = "^.";  // monadic: the first item
constexpr std::string_view kDrop = "!.";
constexpr std::string_view kInterval = "!";
constexpr std::string_view kEqual = "=";
constexpr std::string_view kColon = ":";
static_assert(vocabulary::monadicCodeOf(kAssign) == code::kAssign);
static_assert(vocabulary::monadicCodeOf(kRavel) == code::kRavel);
static_assert(vocabulary::dyadicCodeOf(kReshape) == code::kReshape);
static_assert(vocabulary::monadicCodeOf(kEnclose) == code::kEnclose);
static_assert(vocabulary::monadicCodeOf(kTake) == code::kFirst && vocabulary::dyadicCodeOf(kTake) == code::kTake);
static_assert(vocabulary::dyadicCodeOf(kDrop) == code::kDrop);
static_assert(vocabulary::monadicCodeOf(kInterval) == code::kInterval);
static_assert(vocabulary::dyadicCodeOf(kEqual) == code::kEqual);
static_assert(vocabulary::dyadicCodeOf(kColon) == code::kMakeDictionary);
const std::string kTakeNone = "0" + std::string(kTake);
const std::string kEmptyIntegers = std::string(kInterval) + "0";
constexpr std::string_view kKeyWord = [] {
    for (const frontend::BuiltinName& b : frontend::kBuiltins)
        if (b.kind == frontend::kFunctionName && b.slot == frontend::kXkeyFunction) return b.name;
    return std::string_view();
}();
static_assert(!kKeyWord.empty());
constexpr char kSymbolMark = '`';
constexpr std::string_view kNull = "0n";

std::string parenthesised(const std::string& s) { return "(" + s + ")"; }

ValueDescriptor itemAt(const char* e, std::int64_t i) {
    ValueDescriptor item;
    std::memcpy(&item, e + sizeof(ValueDescriptor) * static_cast<std::size_t>(i), sizeof item);
    return item;
}

std::int32_t wordAt(const char* e, std::int64_t i) {
    std::int32_t w;
    std::memcpy(&w, e + 4 * static_cast<std::size_t>(i), 4);
    return w;
}

double realAt(const char* e, std::int64_t i) {
    double r;
    std::memcpy(&r, e + 8 * static_cast<std::size_t>(i), 8);
    return r;
}

class Writer {
public:
    explicit Writer(const Interpreter& in) : in_(in) {}

    std::string problem;

    // An expression that gives back d; false when none can.
    bool expression(const ValueDescriptor& d, std::string* out) {
        if (isTable(d)) return table(d, out);
        if (isKeyedTable(d)) return keyedTable(d, out);
        if (isPlainDictionary(d)) return dictionary(d, out);
        if (d.type == kEnumeration) return enumeration(d, out);
        if (d.type == kGeneral) return general(d, out);
        const char* e = values::elementsOf(in_.ws, d);
        return shaped(d.type, values::dimensionsOf(in_.ws, d), d.rank, d.count,
                      [&](std::int64_t i, std::string* item) { return simpleItem(d.type, e, i, item); }, out,
                      narrows(d.type, e, d.count));
    }

private:
    const Interpreter& in_;

    bool symbolText(std::int32_t index, std::string* out) {
        std::string_view name = in_.symbols.name(index);
        if (!std::all_of(name.begin(), name.end(), vocabulary::isNameChar)) {
            problem = "the symbol `" + std::string(name) + " is no name, which a script cannot write";
            return false;
        }
        *out = std::string(1, kSymbolMark) + std::string(name);
        return true;
    }

    bool simpleItem(std::int32_t type, const char* e, std::int64_t i, std::string* out) {
        switch (type) {
            case kBoolean: case kInteger: {
                std::int32_t v = wordAt(e, i);
                *out = v == kIntNull ? std::string(kNull) : integerText(v);
                return true;
            }
            case kFloat: *out = realText(realAt(e, i)); return true;
            case kComplex: *out = complexText(realAt(e, 2 * i), realAt(e, 2 * i + 1)); return true;
            case kChar: {
                char c = e[i];
                if (c == '\n' || c == '\r') {
                    problem = "a text holds a line end, which a script line cannot carry";
                    return false;
                }
                *out = std::string(1, c);
                return true;
            }
            case kSymbol: return symbolText(wordAt(e, i), out);
            case kTemporal: {
                types::TemporalWord w;
                std::memcpy(&w, e + sizeof w * static_cast<std::size_t>(i), sizeof w);
                if (!types::validTemporalWord(w)) break;
                char buf[types::kTemporalTextLength + 1];
                int n = types::writeTemporal(w, buf);
                *out = std::string(buf, static_cast<std::size_t>(n));
                return true;
            }
            default: break;
        }
        problem = "a value of type " + std::to_string(type) + " has no written form";
        return false;
    }

    // The one item of each type that `0^.` takes nothing from, giving an
    // empty vector of that type.
    static std::string_view prototype(std::int32_t type) {
        switch (type) {
            case kBoolean: return "1=1";  // 1 equal to 1
            case kFloat: return "0.5";
            case kComplex: return "0j1";
            case kSymbol: return "`";
            case kTemporal: return "2000.01.01";
            default: return "0";
        }
    }

    // Whether numbers written as they are would read back as a narrower
    // type: reals that are all whole (or null) read as integers, complex
    // numbers without imaginary parts as reals.
    static bool narrows(std::int32_t type, const char* e, std::int64_t count) {
        for (std::int64_t i = 0; i < count; ++i) {
            if (type == kFloat && !values::fitsInteger(realAt(e, i))) return false;
            if (type == kComplex && realAt(e, 2 * i + 1) != 0) return false;
        }
        return type == kFloat || type == kComplex;
    }

    // Items joined into a vector (characters into one quoted text), then
    // given the value's shape: a scalar stays one item, a one-item vector
    // is a ravel, higher ranks are a reshape. Numbers that would narrow
    // follow one item of their own type that a drop takes off again, and
    // booleans are compared with 1, so every type reads back as itself.
    template <class Item>
    bool shaped(std::int32_t type, const std::vector<std::int32_t>& dims, std::int32_t rank, std::int64_t count,
                Item item, std::string* out, bool keepType = false) {
        std::string items;
        std::string one;
        for (std::int64_t i = 0; i < count; ++i) {
            if (!item(i, &one)) return false;
            if (type == kChar) {
                items += one;
            } else {
                if (i) items += ' ';
                items += one;
            }
        }
        if (count == 0) {
            items = type == kChar      ? "''"
                    : type == kInteger ? std::string(kEmptyIntegers)
                                       : std::string(kTakeNone) + std::string(prototype(type));
        } else if (keepType) {
            items = "1" + std::string(kDrop) + std::string(prototype(type)) + " " + items;
            if (rank == 0) items = std::string(kTake) + items;
        } else {
            if (type == kChar) items = quoted(items);
            if (type == kBoolean) items += std::string(kEqual) + "1";
            if (count == 1 && rank >= 1) items = std::string(kRavel) + items;
        }
        if (rank <= 1) {
            *out = items;
            return true;
        }
        std::string shape;
        for (std::size_t k = 0; k < dims.size(); ++k) { if (k) shape += ' '; shape += std::to_string(dims[k]); }
        *out = shape + std::string(kReshape) + parenthesised(items);
        return true;
    }

    bool general(const ValueDescriptor& d, std::string* out) {
        const char* e = values::elementsOf(in_.ws, d);
        std::string items;
        for (std::int32_t i = 0; i < d.count; ++i) {
            std::string one;
            if (!expression(itemAt(e, i), &one)) return false;
            if (i) items += ';';
            items += parenthesised(one);
        }
        if (d.count == 0) {
            items = std::string(kTakeNone) + std::string(kEnclose) + std::string(kEmptyIntegers);
        } else if (d.count == 1) {
            items = (d.rank >= 1 ? std::string(kRavel) : std::string()) + std::string(kEnclose) + items;
        } else {
            items = parenthesised(items);
        }
        if (d.rank <= 1) {
            *out = items;
            return true;
        }
        std::vector<std::int32_t> dims = values::dimensionsOf(in_.ws, d);
        std::string shape;
        for (std::size_t k = 0; k < dims.size(); ++k) { if (k) shape += ' '; shape += std::to_string(dims[k]); }
        *out = shape + std::string(kReshape) + parenthesised(items);
        return true;
    }

    bool enumeration(const ValueDescriptor& d, std::string* out) {
        types::EnumerationHeader h;
        const std::int32_t* positions = types::positionsOf(in_.ws, d);
        std::vector<std::int32_t> dims = values::dimensionsOf(in_.ws, d);
        types::Domain domain = types::currentDomain(in_.ws, d);
        if (!types::readHeader(in_.ws, d, &h) || !positions || !domain.column ||
            !types::allWithin(in_.ws, d, domain.length)) {
            // Positions past the domain's end name nothing in it: they are
            // kept as the plain positions, which is what `value` gives too.
            const char* e = reinterpret_cast<const char*>(positions);
            return shaped(kInteger, dims, d.rank, positions ? d.count : 0,
                          [&](std::int64_t i, std::string* item) { return simpleItem(kInteger, e, i, item); }, out);
        }
        const ValueDescriptor& column = *domain.column;
        const char* e = values::elementsOf(in_.ws, column);
        std::string values;
        if (!shaped(column.type, dims, d.rank, d.count,
                    [&](std::int64_t i, std::string* item) { return simpleItem(column.type, e, positions[i], item); },
                    &values))
            return false;
        std::string name;
        if (!symbolText(h.name, &name)) return false;
        *out = parenthesised(parenthesised(name) + std::string(kColon) + parenthesised(values));
        return true;
    }

    bool dictionary(const ValueDescriptor& d, std::string* out) {
        const ValueDescriptor* parts = partsOf(in_.ws, d);
        std::string keys, values;
        if (!expression(parts[0], &keys) || !expression(parts[1], &values)) return false;
        *out = parenthesised(parenthesised(keys) + std::string(kColon) + parenthesised(values));
        return true;
    }

    // "a:(…);b:(…)", the columns of table t as literal items.
    bool columns(const ValueDescriptor& t, std::string* out) {
        const ValueDescriptor* cols = tableColumns(in_.ws, t);
        for (std::int32_t c = 0; c < tableWidth(in_.ws, t); ++c) {
            std::string name, column;
            if (!symbolText(columnName(in_.ws, t, c), &name)) return false;
            if (!frontend::text::isValidName(name.substr(1))) {
                problem = "the column name " + name + " is no name, which a table literal cannot write";
                return false;
            }
            if (!expression(cols[c], &column)) return false;
            if (c) *out += ';';
            *out += name.substr(1) + std::string(kColon) + parenthesised(column);
        }
        return true;
    }

    bool table(const ValueDescriptor& t, std::string* out) {
        if (tableWidth(in_.ws, t) == 0) {
            problem = "a table without columns has no written form";
            return false;
        }
        std::string items;
        if (!columns(t, &items)) return false;
        *out = "([]" + items + ")";
        return true;
    }

    bool keyedTable(const ValueDescriptor& d, std::string* out) {
        const ValueDescriptor* parts = partsOf(in_.ws, d);
        if (tableWidth(in_.ws, parts[1]) == 0) {
            // The literal has no form for a keyed table without value
            // columns; keying the plain table of its key columns makes it.
            std::string keys, names;
            if (!table(parts[0], &keys)) return false;
            for (std::int32_t c = 0; c < tableWidth(in_.ws, parts[0]); ++c) {
                std::string name;
                if (!symbolText(columnName(in_.ws, parts[0], c), &name)) return false;
                if (c) names += ' ';
                names += name;
            }
            if (tableWidth(in_.ws, parts[0]) == 1) names = std::string(kRavel) + names;
            *out = parenthesised(parenthesised(names) + " " + std::string(kKeyWord) + " " + keys);
            return true;
        }
        std::string keys, values;
        if (!columns(parts[0], &keys) || !columns(parts[1], &values)) return false;
        *out = "([" + keys + "] " + values + ")";
        return true;
    }
};

void collectDomains(const Interpreter& in, const ValueDescriptor& d, std::vector<std::string>* names) {
    if (isTable(d) || isDictionary(d)) {
        const ValueDescriptor* parts = partsOf(in.ws, d);
        collectDomains(in, parts[0], names);
        collectDomains(in, parts[1], names);
    } else if (d.type == kGeneral) {
        const char* e = values::elementsOf(in.ws, d);
        for (std::int32_t i = 0; i < d.count; ++i) collectDomains(in, itemAt(e, i), names);
    } else if (d.type == kEnumeration) {
        types::EnumerationHeader h;
        if (!types::readHeader(in.ws, d, &h)) return;
        std::string name(in.symbols.name(h.name));
        if (std::find(names->begin(), names->end(), name) == names->end()) names->push_back(name);
    }
}

// Whether d is, or holds anywhere within it, a value that has no tagged
// text of its own.
bool needsStatement(const Interpreter& in, const ValueDescriptor& d) {
    if (isTable(d) || isDictionary(d) || d.type == kEnumeration) return true;
    if (d.type != kGeneral) return false;
    const char* e = values::elementsOf(in.ws, d);
    for (std::int32_t i = 0; i < d.count; ++i)
        if (needsStatement(in, itemAt(e, i))) return true;
    return false;
}

}  // namespace

bool rebuildStatement(const Interpreter& in, std::string_view name, const ValueDescriptor& d,
                      std::string* statement, std::string* problem) {
    statement->clear();
    if (!needsStatement(in, d)) return true;
    Writer w(in);
    std::string value;
    if (!w.expression(d, &value)) {
        *problem = std::string(name) + ": " + w.problem;
        return false;
    }
    *statement = std::string(name) + std::string(kAssign) + value;
    return true;
}

std::vector<std::string> domainNames(const Interpreter& in, const ValueDescriptor& d) {
    std::vector<std::string> names;
    collectDomains(in, d, &names);
    return names;
}

}  // namespace wox::script_file
