#include "script_file/tagged_value.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "frontend/name_table.h"
#include "frontend/source_text.h"
#include "values/shaped_result.h"
#include "types/temporal.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::script_file {
namespace {

using frontend::text::isBlank;
using frontend::text::trimBlanks;

struct LetterOfType {
    std::int32_t type;
    char letter;
};
constexpr std::array<LetterOfType, 7> kLetters = {{
    {kBoolean, 'B'}, {kInteger, 'I'}, {kFloat, 'E'}, {kChar, 'C'},
    {kSymbol, 'S'},  {kGeneral, 'L'}, {kTemporal, 'D'},
}};
constexpr char kOtherLetter = 'Q';
constexpr char kDepthMark = '<';
constexpr char kMinus = '_';
constexpr char kContinued = '\\';
constexpr char kQuote = '\'';
constexpr char kSymbolMark = '`';
constexpr char kImaginary = 'j';
constexpr std::string_view kNullText = "0n";
constexpr std::string_view kInfinityText = "0w";

// ---------------------------------------------------------------- writing

std::string textData(std::string_view text) {
    std::string s;
    while (text.size() > kTextPiece) {
        s += quoted(text.substr(0, kTextPiece)) + kContinued + '\n';
        text.remove_prefix(kTextPiece);
    }
    return s + quoted(text) + '\n';
}

std::string header(const Interpreter& in, const ValueDescriptor& d, char letter, int depth) {
    std::string s(static_cast<std::size_t>(depth), kDepthMark);
    s += letter;
    s += ' ' + std::to_string(d.rank) + ' ';
    std::vector<std::int32_t> dims = values::dimensionsOf(in.ws, d);
    for (std::size_t k = 0; k < dims.size(); ++k) { if (k) s += ' '; s += std::to_string(dims[k]); }
    return s + '\n';
}

template <class ItemText>
std::string itemLines(std::int32_t count, ItemText item) {
    std::string s;
    for (std::int32_t i = 0; i < count; ++i) {
        s += item(i);
        s += ' ';
        if ((i + 1) % kItemsPerLine == 0 && i + 1 < count) s += std::string(1, kContinued) + '\n';
    }
    return s + '\n';
}

// ---------------------------------------------------------------- reading

// A value read from its text, before it is built in the workspace.
struct ParsedValue {
    std::int32_t type = kInteger;
    std::vector<std::int32_t> dims;
    std::vector<std::int32_t> words;  // Boolean, Integer, Symbol
    std::vector<types::TemporalWord> moments;  // Temporal
    std::vector<double> reals;        // Float; Complex as pairs
    std::string chars;
    std::vector<ParsedValue> items;
};

bool nextLine(LineCursor& c, std::string_view* line) {
    if (c.next >= c.lines.size()) return false;
    *line = trimBlanks(c.lines[c.next++]);
    return true;
}

// The data of one value: its lines joined where a "\" continues them.
bool dataText(LineCursor& c, std::string* out) {
    std::string_view line;
    for (;;) {
        if (!nextLine(c, &line)) return false;
        if (!line.ends_with(kContinued)) break;
        line.remove_suffix(1);
        *out += line;
        *out += ' ';
    }
    *out += line;
    return true;
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) ++i;
        std::size_t start = i;
        while (i < s.size() && !isBlank(s[i])) ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

// A decimal with "_" (or "-") for minus, a point and an exponent whose sign
// may be "_", "-" or "+"; "0n", "0w" and "_0w" too.
bool readReal(std::string_view w, double* v) {
    bool negative = !w.empty() && (w[0] == kMinus || w[0] == '-');
    std::string_view body = negative ? w.substr(1) : w;
    if (body == kNullText && !negative) {
        *v = std::nan("");
        return true;
    }
    if (body == kInfinityText) {
        *v = negative ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    std::string text;
    bool digits = false, point = false, exponent = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point && !exponent) {
            point = true;
        } else if ((c == 'e' || c == 'E') && digits && !exponent) {
            exponent = true;
            text += 'e';
            if (i + 1 < body.size() && (body[i + 1] == kMinus || body[i + 1] == '-' || body[i + 1] == '+')) {
                text += body[i + 1] == '+' ? '+' : '-';
                ++i;
            }
            if (i + 1 >= body.size()) return false;
            continue;
        } else {
            return false;
        }
        text += c;
    }
    if (!digits) return false;
    // from_chars reads the "C" form whatever the locale.
    double r = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), r);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    *v = negative ? -r : r;
    return true;
}

bool readInteger(std::string_view w, std::int32_t* v) {
    double r = 0;
    if (!readReal(w, &r) || !(r >= INT32_MIN && r <= INT32_MAX) || r != std::floor(r)) return false;
    *v = static_cast<std::int32_t>(r);
    return true;
}

bool readComplex(std::string_view w, double* re, double* im) {
    std::size_t j = w.find(kImaginary);
    return j != std::string_view::npos && readReal(w.substr(0, j), re) && readReal(w.substr(j + 1), im);
}

// The characters of the quoted pieces of a text, each after the first on
// a line of its own.
bool readText(LineCursor& c, std::string* out) {
    for (;;) {
        std::string_view line;
        if (!nextLine(c, &line) || line.empty() || line[0] != kQuote) return false;
        bool closed = false;
        std::size_t end = frontend::text::skipQuoted(line, 0, &closed);
        if (!closed) return false;
        for (std::size_t i = 1; i + 1 < end; ++i) {
            *out += line[i];
            if (line[i] == kQuote) ++i;
        }
        std::string_view rest = trimBlanks(line.substr(end));
        if (rest.empty()) return true;
        if (rest.size() != 1 || rest[0] != kContinued) return false;
    }
}

std::int32_t typeOfLetter(char letter) {
    for (const LetterOfType& l : kLetters)
        if (l.letter == letter) return l.type;
    return letter == kOtherLetter ? kComplex : -1;
}

Rc parseValue(LineCursor& c, std::string_view head, int depth, ParsedValue& v);

Rc parseHeader(std::string_view head, int depth, ParsedValue& v, std::int64_t* count) {
    for (int k = 0; k < depth; ++k) {
        if (head.empty() || head[0] != kDepthMark) return kGetVariableError;
        head.remove_prefix(1);
    }
    if (head.empty()) return kGetVariableError;
    v.type = typeOfLetter(head[0]);
    if (v.type < 0) return kGetVariableError;
    std::vector<std::string_view> w = words(head.substr(1));
    std::int32_t rank = 0;
    if (w.empty() || !readInteger(w[0], &rank) || rank < 0 || static_cast<std::size_t>(rank) != w.size() - 1)
        return kGetVariableError;
    *count = 1;
    for (std::size_t k = 1; k < w.size(); ++k) {
        std::int32_t n = 0;
        if (!readInteger(w[k], &n) || n < 0) return kGetVariableError;
        v.dims.push_back(n);
        *count *= n;
        if (*count > values::kMaxElements) return kWorkspaceFull;
    }
    return kOk;
}

Rc parseValue(LineCursor& c, std::string_view head, int depth, ParsedValue& v) {
    if (depth > kMaxDepth) return kGetVariableError;
    std::int64_t count = 0;
    WOX_TRY(parseHeader(head, depth, v, &count));
    if (v.type == kGeneral) {
        // Every item takes a line at least: a count beyond the lines left
        // is refused before anything is made for it.
        if (count > static_cast<std::int64_t>(c.lines.size() - c.next)) return kGetVariableError;
        v.items.resize(static_cast<std::size_t>(count));
        for (ParsedValue& item : v.items) {
            std::string_view line;
            if (!nextLine(c, &line)) return kGetVariableError;
            WOX_TRY(parseValue(c, line, depth + 1, item));
        }
        return kOk;
    }
    if (v.type == kChar) {
        if (!readText(c, &v.chars) || static_cast<std::int64_t>(v.chars.size()) != count) return kGetVariableError;
        return kOk;
    }
    std::string data;
    if (!dataText(c, &data)) return kGetVariableError;
    std::vector<std::string_view> items = words(data);
    if (static_cast<std::int64_t>(items.size()) != count) return kGetVariableError;
    if (v.type == kTemporal) {
        // The temporal reader takes the whole line when the value is built.
        v.chars = data;
        return kOk;
    }
    for (std::string_view w : items) {
        std::int32_t n = 0;
        double re = 0, im = 0;
        switch (v.type) {
            case kBoolean:
                if (w != "0" && w != "1") return kGetVariableError;
                v.words.push_back(w == "1");
                break;
            case kInteger:
                if (!readInteger(w, &n)) return kGetVariableError;
                v.words.push_back(n);
                break;
            case kFloat:
                if (!readReal(w, &re)) return kGetVariableError;
                v.reals.push_back(re);
                break;
            case kComplex:
                if (!readComplex(w, &re, &im)) return kGetVariableError;
                v.reals.push_back(re);
                v.reals.push_back(im);
                break;
            case kSymbol:
                if (w[0] != kSymbolMark) return kGetVariableError;
                v.chars.append(w.substr(1));
                v.chars += '\0';
                break;
        }
    }
    return kOk;
}

// The temporary `depth` places after temporary `first`, in the order the
// evaluator hands them out (4 to 17, then the second series).
int tempAtDepth(int first, int depth) {
    constexpr int kFirstSeries = kLastFirstSeriesTemp - kFirstTemp + 1;
    const int place = (first <= kLastFirstSeriesTemp ? first - kFirstTemp : kFirstSeries + first - kSecondSeriesTemp) + depth;
    return place < kFirstSeries ? kFirstTemp + place : kSecondSeriesTemp + place - kFirstSeries;
}

// Builds v into the temporary of its depth, items into the deeper ones.
Rc buildValue(Interpreter& in, ParsedValue& v, int first, int depth) {
    values::Workspace& ws = in.ws;
    const int tmp = tempAtDepth(first, depth);
    if (v.type == kSymbol) {
        std::string_view names = v.chars;
        while (!names.empty()) {
            std::size_t end = names.find('\0');
            std::int32_t index = 0;
            if (in.symbols.intern(names.substr(0, end), &index).failed()) return kGetVariableError;
            v.words.push_back(index);
            names.remove_prefix(end + 1);
        }
    }
    if (v.type == kTemporal) {
        std::size_t pos = 0;
        std::string_view text = v.chars;
        while (pos < text.size() && isBlank(text[pos])) ++pos;
        if (pos < text.size() &&
            (types::readTemporalLiteral(text, &pos, v.moments) != types::kTemporalOk || pos != text.size()))
            return kGetVariableError;
        if (static_cast<std::int64_t>(v.moments.size()) != values::elementCount(v.dims.data(), static_cast<int>(v.dims.size())))
            return kGetVariableError;
    }
    char* out = nullptr;
    WOX_TRY(values::makeResult(ws, tmp, v.type, v.dims.data(), static_cast<int>(v.dims.size()), &out));
    switch (v.type) {
        case kBoolean: case kInteger: case kSymbol:
            if (!v.words.empty()) std::memcpy(out, v.words.data(), v.words.size() * sizeof(std::int32_t));
            break;
        case kTemporal:
            if (!v.moments.empty()) std::memcpy(out, v.moments.data(), v.moments.size() * sizeof(types::TemporalWord));
            break;
        case kFloat: case kComplex:
            if (!v.reals.empty()) std::memcpy(out, v.reals.data(), v.reals.size() * sizeof(double));
            break;
        case kChar:
            if (!v.chars.empty()) std::memcpy(out, v.chars.data(), v.chars.size());
            break;
        case kGeneral:
            for (std::size_t i = 0; i < v.items.size(); ++i) {
                WOX_TRY(buildValue(in, v.items[i], first, depth + 1));
                std::uint32_t at = ws.var(tmp).data + static_cast<std::uint32_t>(sizeof(ValueDescriptor) * i);
                WOX_TRY(values::copyIntoTempItem(ws, at, varRef(tempAtDepth(first, depth + 1))));
            }
            break;
    }
    return kOk;
}

}  // namespace

std::string integerText(std::int64_t v) {
    std::string s = v < 0 ? std::string(1, kMinus) : std::string();
    return s + std::to_string(v < 0 ? -v : v);
}

// 17 significant digits read back as the same double.
std::string realText(double v) {
    if (std::isnan(v)) return std::string(kNullText);
    std::string s = std::signbit(v) && v != 0 ? std::string(1, kMinus) : std::string();
    if (std::isinf(v)) return s + std::string(kInfinityText);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", std::fabs(v));
    return s + buf;
}

std::string complexText(double re, double im) {
    std::string s = realText(re) + kImaginary + realText(im);
    for (char& c : s)
        if (c == '-') c = kMinus;
    return s;
}

std::string quoted(std::string_view piece) {
    std::string s(1, kQuote);
    for (char c : piece) {
        s += c;
        if (c == kQuote) s += kQuote;
    }
    return s + kQuote;
}

char typeLetter(std::int32_t type) {
    for (const LetterOfType& l : kLetters)
        if (l.type == type) return l.letter;
    return kOtherLetter;
}

std::string taggedValueText(const Interpreter& in, const ValueDescriptor& d, int depth) {
    const char letter = typeLetter(d.type);
    std::string s = header(in, d, letter, depth);
    const char* e = values::elementsOf(in.ws, d);
    auto word = [e](std::int32_t i) {
        std::int32_t w;
        std::memcpy(&w, e + 4 * static_cast<std::size_t>(i), 4);
        return w;
    };
    auto real = [e](std::int64_t i) {
        double r;
        std::memcpy(&r, e + 8 * static_cast<std::size_t>(i), 8);
        return r;
    };
    switch (d.type) {
        case kBoolean: case kInteger:
            return s + itemLines(d.count, [&](std::int32_t i) { return integerText(word(i)); });
        case kFloat:
            return s + itemLines(d.count, [&](std::int32_t i) { return realText(real(i)); });
        case kComplex:
            return s + itemLines(d.count, [&](std::int32_t i) { return complexText(real(2 * i), real(2 * i + 1)); });
        case kChar:
            return s + textData(std::string_view(e ? e : "", static_cast<std::size_t>(d.count)));
        case kSymbol:
            return s + itemLines(d.count, [&](std::int32_t i) {
                return std::string(1, kSymbolMark).append(in.symbols.name(word(i)));
            });
        case kTemporal:
            return s + itemLines(d.count, [&](std::int32_t i) {
                types::TemporalWord w;
                std::memcpy(&w, e + sizeof w * static_cast<std::size_t>(i), sizeof w);
                char buf[types::kTemporalTextLength + 1];
                return std::string(buf, static_cast<std::size_t>(types::writeTemporal(w, buf)));
            });
        case kGeneral:
            for (std::int32_t i = 0; i < d.count; ++i) {
                ValueDescriptor item;
                std::memcpy(&item, e + sizeof(ValueDescriptor) * static_cast<std::size_t>(i), sizeof item);
                s += taggedValueText(in, item, depth + 1);
            }
            return s;
        default:
            // No data line: such a value is written as a statement instead.
            return s;
    }
}

Rc readTaggedValue(Interpreter& in, std::string_view name, std::string_view header, std::string_view closing,
                   LineCursor& cursor, int firstTemp) {
    if (!frontend::text::isValidName(name)) return kGetVariableError;
    if (firstTemp < kFirstTemp || (firstTemp > kLastFirstSeriesTemp && firstTemp < kSecondSeriesTemp) ||
        tempAtDepth(firstTemp, kMaxDepth + 1) > kLastTemp)
        return kGetVariableError;  // no room for the deepest value
    int entry = frontend::findGlobal(in.front, name);
    if (entry >= 0 && in.front.globals[static_cast<std::size_t>(entry)].kind != frontend::kVariableName)
        return kGetVariableError;
    ParsedValue v;
    WOX_TRY(parseValue(cursor, trimBlanks(header), 0, v));
    std::string_view last;
    if (!nextLine(cursor, &last) || last != closing) return kGetVariableError;

    values::Workspace& ws = in.ws;
    const std::uint32_t mark = ws.stackTop;
    auto done = [&](Rc rc) {
        // The temporaries held only stack blocks, which the mark gives back.
        for (int depth = 0; depth <= kMaxDepth + 1; ++depth) {
            ValueDescriptor& t = ws.var(tempAtDepth(firstTemp, depth));
            t = ValueDescriptor{};
            t.rank = -1;
        }
        ws.stackTop = mark;
        return rc;
    };
    if (Rc rc = buildValue(in, v, firstTemp, 0); rc.failed()) return done(rc.code == kWorkspaceFull ? rc : Rc(kGetVariableError));
    if (entry < 0) {
        if (Rc rc = frontend::newGlobalVariable(in.front, ws, name, &entry); rc.failed()) return done(rc);
    }
    Rc rc = values::assignValue(ws, in.front.globals[static_cast<std::size_t>(entry)].slot, varRef(tempAtDepth(firstTemp, 0)));
    ws.releasePending();
    return done(rc);
}

}  // namespace wox::script_file
