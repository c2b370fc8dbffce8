#include "primitives/primitive_table.h"

#include <array>
#include <cmath>

#include "primitives/char_class.h"
#include "values/messages.h"

namespace wox::primitives {
namespace {

using namespace types;

constexpr TypeSet kOrdered = kN | kChar | kSymbol | kTemporal;
constexpr TypeSet kEquality = kOrdered | kComplex | kEnumeration;
constexpr TypeSet kSimpleOrGeneral = kSimple | kGeneral;
constexpr TypeSet kScalarArg = kN | kComplex;
constexpr TypeSet kScalarDyadic = kN | kComplex | kDictionary;
constexpr TypeSet kTemporalArith = kScalarDyadic | kTemporal;
constexpr TypeSet kSearchable = kSimple | kEnumeration | kDictionary | kTable;
constexpr TypeSet kDictionaryPart = kSimple | kGeneral | kTable;
constexpr TypeSet kKeyed = kDictionary | kTable;

// clang-format off
constexpr std::array kPrimitives{
//            text    tok tokL  mon   dya   monadic arg    dyadic left  dyadic right
    Primitive{"<-",    0,  0,    0,   -1,   kAny,          kNone,       kNone,            "assignment", ""},
    Primitive{"->",    1,  1,   -1,   -1,   kNone,         kNone,       kNone,            "branch", ""},
    Primitive{"[",     2,  2,    1,   -1,   kAny,          kNone,       kNone,            "indexing x[i;j]; indexed assignment x[i]<-v", ""},
    Primitive{";",     3,  3,    2,   -1,   kAny,          kNone,       kNone,            "separates indices and the items of a list", ""},
    Primitive{"[)",   53, 53,   -1,   -1,   kNone,         kNone,       kNone,            "output name that keeps the line open", ""},
    Primitive{"[]",   54, 54,   -1,   -1,   kNone,         kNone,       kNone,            "system name prefix; output name", ""},
    Primitive{"^.",   63,  4,  706,    3,   kAny,          kI,          kSimpleOrGeneral, "first element", "take"},
    Primitive{"!.",   23,  5,   22,    4,   kChar|kSymbol, kI,          kSimpleOrGeneral, "execute a character vector or a symbol", "drop"},
    Primitive{"/",     6,  6,   -1,    5,   kNone,         kI,          kSimpleOrGeneral, "", "compress along the last axis (reduce after a function)"},
    Primitive{"/.",    7,  7,   -1,    6,   kNone,         kI,          kSimpleOrGeneral, "", "compress along the first axis (reduce after a function)"},
    Primitive{"\\",    8,  8,   -1,    7,   kNone,         kBoolean,    kSimple,          "", "expand along the last axis (scan after a function)"},
    Primitive{"\\.",   9,  9,   -1,    8,   kNone,         kBoolean,    kSimple,          "", "expand along the first axis (scan after a function)"},
    Primitive{"?",    66, 10,  708,    9,   kBoolean,      kSimple,     kSimple,          "where: indices of the 1s", "membership"},
    Primitive{"?.",   27, 27,   26,   27,   kI,            kI,          kI,               "roll", "deal"},
    Primitive{">.",   68, 11,  709,   10,   kN|kChar|kSymbol, kN,       kN,               "group: positions of equal items", "decode"},
    Primitive{"<.",   56, 12,  702,   11,   kAny,          kN,          kN,               "enclose", "encode"},
    Primitive{"&",    13, 13,   -1,   12,   kNone,         kI,          kI,               "", "or"},
    Primitive{"^",    61, 14,  705,   13,   kAny,          kI,          kI,               "count", "and"},
    Primitive{"<",    25, 17,   24,   16,   kN|kChar,      kOrdered,    kOrdered,         "grade up", "less"},
    Primitive{"<=",   18, 18,   -1,   17,   kNone,         kOrdered,    kOrdered,         "", "less or equal"},
    Primitive{">=",   19, 19,   -1,   18,   kNone,         kOrdered,    kOrdered,         "", "greater or equal"},
    Primitive{">",    24, 20,   23,   19,   kN|kChar,      kOrdered,    kOrdered,         "grade down", "greater"},
    Primitive{"~=",   21, 21,   -1,   20,   kNone,         kEquality,   kEquality,        "", "not equal"},
    Primitive{"=",    58, 22,  704,   21,   kN|kChar|kSymbol, kEquality, kEquality,       "unique", "equal"},
    Primitive{"~",    26, 71,   25,  755,   kI,            kAny,        kAny,             "not", "match"},
    Primitive{"#",    28, 28,   28,   29,   kAny,          kI,          kSimpleOrGeneral, "shape", "reshape"},
    Primitive{",",    29, 29,   30,   31,   kSimpleOrGeneral, kSimpleOrGeneral, kSimpleOrGeneral, "ravel", "catenate along the last axis"},
    Primitive{"!",    30, 30,   32,   33,   kI,            kSearchable, kSearchable,      "interval", "index of"},
    Primitive{"$",    31, 31,   34,   35,   kSimpleOrGeneral, kI,       kSimple,          "reverse along the last axis", "rotate along the last axis"},
    Primitive{"&.",   32, 32,   36,   37,   kSimple|kKeyed, kI,         kSimple,          "transpose; flip of a dictionary or table", "transpose by an axis list"},
    Primitive{"$.",   33, 33,   38,   39,   kSimpleOrGeneral, kI,       kSimple,          "reverse along the first axis", "rotate along the first axis"},
    Primitive{"+.",   34, 34,   40,   41,   kAny,          kNone,       kNone,            "format", "not implemented"},
    Primitive{"#.",   35, 35,   42,   43,   kN,            kN,          kN,               "matrix inverse", "matrix divide"},
    Primitive{"+",    36, 36,   44,   45,   kScalarArg,    kTemporalArith, kTemporalArith, "identity; conjugate", "plus"},
    Primitive{"-",    37, 37,   46,   47,   kScalarArg,    kTemporalArith, kTemporalArith, "negate", "minus"},
    Primitive{"*",    38, 38,   48,   49,   kScalarArg,    kScalarDyadic, kScalarDyadic, "signum", "times"},
    Primitive{"%",    39, 39,   50,   51,   kScalarArg,    kScalarDyadic, kScalarDyadic, "reciprocal", "divide"},
    Primitive{"~.",   40, 40,   52,   53,   kScalarArg,    kScalarDyadic, kScalarDyadic, "ceiling", "maximum"},
    Primitive{"_.",   41, 41,   54,   55,   kScalarArg,    kScalarDyadic, kScalarDyadic, "floor", "minimum"},
    Primitive{"*.",   42, 42,   56,   57,   kScalarArg,    kScalarDyadic, kScalarDyadic, "exponential", "power"},
    Primitive{"%.",   43, 43,   58,   59,   kScalarArg,    kScalarDyadic, kScalarDyadic, "natural logarithm", "logarithm to the left base"},
    Primitive{"|",    44, 44,   60,   61,   kScalarArg,    kScalarDyadic, kScalarDyadic, "magnitude", "residue"},
    Primitive{"|.",   45, 45,   62,   63,   kN,            kScalarDyadic, kScalarDyadic, "factorial", "binomial"},
    Primitive{"@",    46, 46,   64,   65,   kScalarArg,    kScalarDyadic, kScalarDyadic, "pi times", "circle functions"},
    Primitive{",.",   67, 47,  707,   66,   kGeneral,      kSimpleOrGeneral, kSimpleOrGeneral, "raze", "catenate along the first axis"},
    Primitive{"||",   60, 59,  710,  751,   kBoolean,      kI,          kSimple,          "partition lengths", "partition"},
    Primitive{":",    62, 69,  703,  753,   kAny,          kDictionaryPart, kDictionaryPart, "type code", "dictionary from keys and values"},
    Primitive{"\"",   65, 65,  752,  752,   kGeneral,      kAny,        kAny,             "each", "each"},
    Primitive{".",    -1, 70,   -1,  754,   kNone,         kKeyed,      kSymbol,          "", "member of a dictionary or table"},
};
// clang-format on

// ---- Function codes: the base code of every token ----------------------

constexpr int kTokenLimit = 73;

constexpr std::array<int, kTokenLimit> makeBaseCodes() {
    std::array<int, kTokenLimit> base{};
    for (int& b : base) b = -1;
    base[0] = 0;
    for (int t = 2; t <= 27; ++t) base[t] = t - 1;
    for (int t = 28; t <= 47; ++t) base[t] = 28 + 2 * (t - 28);
    constexpr int k56[] = {702, 701, 704, 751, 710, 705, 703, 706};
    for (int i = 0; i < 8; ++i) base[56 + i] = k56[i];
    constexpr int k65[] = {752, 708, 707, 709, 753, 754, 755, 711};
    for (int i = 0; i < 8; ++i) base[65 + i] = k65[i];
    return base;
}
constexpr std::array<int, kTokenLimit> kBaseCodes = makeBaseCodes();

constexpr int kRazeToken = 47;  // ",." with a left value: its dyadic code stays 66

constexpr int baseOf(int token) {
    return token >= 0 && token < kTokenLimit ? kBaseCodes[token] : -1;
}
constexpr int dyadicOf(int token) {
    int b = baseOf(token);
    return b >= 26 && b <= 100 && token != kRazeToken ? b + 1 : b;
}

constexpr const Primitive* rowOfToken(int token) {
    if (token < 0) return nullptr;
    for (const Primitive& p : kPrimitives)
        if (p.token == token || p.tokenLeft == token) return &p;
    return nullptr;
}

// The same glyph in its left-value reading, so that operands of products may
// be given in either reading.
constexpr int leftReading(int token) {
    const Primitive* p = rowOfToken(token);
    return p ? p->tokenLeft : -1;
}

// Tokens 13..22 and 36..46 (left-value readings) are the dyadic scalar
// primitives, the only operands of outer and inner products.
constexpr bool isDyadicScalar(int token) {
    int t = leftReading(token);
    return (t >= 13 && t <= 22) || (t >= 36 && t <= 46);
}

// ---- Consistency of the vocabulary -------------------------------------

constexpr bool textsUnique() {
    for (std::size_t i = 0; i < kPrimitives.size(); ++i)
        for (std::size_t j = i + 1; j < kPrimitives.size(); ++j)
            if (kPrimitives[i].text == kPrimitives[j].text) return false;
    return true;
}
static_assert(textsUnique(), "a written form appears twice");

// A token number names one written form only.
constexpr bool tokensUnique() {
    for (std::size_t i = 0; i < kPrimitives.size(); ++i)
        for (std::size_t j = i + 1; j < kPrimitives.size(); ++j) {
            const Primitive& a = kPrimitives[i];
            const Primitive& b = kPrimitives[j];
            for (int ta : {a.token, a.tokenLeft})
                if (ta >= 0 && (ta == b.token || ta == b.tokenLeft)) return false;
        }
    return true;
}
static_assert(tokensUnique(), "a token number is claimed by two written forms");

constexpr bool codesUnique() {
    for (std::size_t i = 0; i < kPrimitives.size(); ++i)
        for (std::size_t j = i + 1; j < kPrimitives.size(); ++j) {
            const Primitive& a = kPrimitives[i];
            const Primitive& b = kPrimitives[j];
            if (a.monadicCode >= 0 && a.monadicCode == b.monadicCode) return false;
            if (a.dyadicCode >= 0 && a.dyadicCode == b.dyadicCode) return false;
        }
    return true;
}
static_assert(codesUnique(), "two written forms share a monadic or a dyadic code");

// The codes written in the vocabulary must be the ones the token rule gives.
constexpr bool codesFollowTokens() {
    for (const Primitive& p : kPrimitives) {
        if (p.token >= kTokenLimit || p.tokenLeft >= kTokenLimit) return false;
        if (p.monadicCode >= 0 && p.monadicCode != baseOf(p.token)) return false;
        if (p.dyadicCode >= 0 && p.dyadicCode != dyadicOf(p.tokenLeft)) return false;
        if (p.text.empty() || p.text.size() > 2) return false;
    }
    return true;
}
static_assert(codesFollowTokens(), "a code disagrees with the token's function code");

// ---- Dispatch ----------------------------------------------------------

struct CodeRange {
    int first;
    int last;
    int step;
    Family family;
};

// Only codes below this are looked up in the dense tables; dyadic codes of 901
// and above are inner products, everything else has no routine.
constexpr int kDenseCodes = 800;
constexpr int kFirstInnerProduct = 901;

constexpr std::array kMonadicRanges{
    CodeRange{22, 22, 1, Family::Execute},
    CodeRange{23, 24, 1, Family::Grade},
    CodeRange{25, 25, 1, Family::Logical},
    CodeRange{26, 26, 1, Family::Roll},
    CodeRange{28, 28, 1, Family::Shape},
    CodeRange{30, 30, 1, Family::Ravel},
    CodeRange{32, 32, 1, Family::Interval},
    CodeRange{34, 34, 1, Family::Reverse},
    CodeRange{36, 36, 1, Family::Transpose},
    CodeRange{38, 38, 1, Family::Reverse},
    CodeRange{40, 40, 1, Family::Format},
    CodeRange{42, 42, 1, Family::MatrixInverse},
    CodeRange{44, 64, 2, Family::ScalarMonadic},
    CodeRange{90, 93, 1, Family::Reverse},
    CodeRange{101, 199, 1, Family::Reduce},
    CodeRange{201, 299, 1, Family::Scan},
    CodeRange{301, 399, 1, Family::Reduce},
    CodeRange{401, 499, 1, Family::Scan},
    CodeRange{601, 602, 1, Family::SystemFunction},
    CodeRange{603, 604, 1, Family::SpreadsheetLink},
    CodeRange{605, 609, 1, Family::SystemFunction},
    CodeRange{610, 611, 1, Family::NiladicSystemFunction},
    CodeRange{612, 650, 1, Family::SystemFunction},
    CodeRange{702, 702, 1, Family::Enclose},
    CodeRange{703, 703, 1, Family::Type},
    CodeRange{704, 704, 1, Family::Unique},
    CodeRange{705, 705, 1, Family::Count},
    CodeRange{706, 706, 1, Family::First},
    CodeRange{707, 707, 1, Family::Raze},
    CodeRange{708, 708, 1, Family::Where},
    CodeRange{709, 709, 1, Family::Group},
    CodeRange{710, 710, 1, Family::PartitionLengths},
    CodeRange{752, 752, 1, Family::Each},
};

// Outer products reach at most 500 + 65, so 501-599 leaves the system
// function codes 601-650 out of the outer-product routine.
constexpr std::array kDyadicRanges{
    CodeRange{3, 3, 1, Family::Take},
    CodeRange{4, 4, 1, Family::Drop},
    CodeRange{5, 6, 1, Family::Compress},
    CodeRange{7, 8, 1, Family::Expand},
    CodeRange{9, 9, 1, Family::Membership},
    CodeRange{10, 10, 1, Family::Decode},
    CodeRange{11, 11, 1, Family::Encode},
    CodeRange{12, 15, 1, Family::Logical},
    CodeRange{16, 21, 1, Family::Comparison},
    CodeRange{27, 27, 1, Family::Deal},
    CodeRange{29, 29, 1, Family::Reshape},
    CodeRange{31, 31, 1, Family::Catenate},
    CodeRange{33, 33, 1, Family::IndexOf},
    CodeRange{35, 35, 1, Family::Rotate},
    CodeRange{37, 37, 1, Family::DyadicTranspose},
    CodeRange{39, 39, 1, Family::Rotate},
    CodeRange{43, 43, 1, Family::MatrixDivide},
    CodeRange{45, 65, 2, Family::ScalarDyadic},
    CodeRange{66, 71, 1, Family::Catenate},
    CodeRange{82, 88, 1, Family::Laminate},
    CodeRange{94, 98, 1, Family::Rotate},
    CodeRange{501, 599, 1, Family::OuterProduct},
    CodeRange{651, 651, 1, Family::DyadicSystemFunction},
    CodeRange{652, 657, 1, Family::SpreadsheetLink},
    CodeRange{658, 699, 1, Family::DyadicSystemFunction},
    CodeRange{751, 751, 1, Family::Partition},
    CodeRange{752, 752, 1, Family::Each},
    CodeRange{753, 753, 1, Family::MakeDictionary},
    CodeRange{754, 754, 1, Family::Member},
    CodeRange{755, 755, 1, Family::Match},
    CodeRange{756, 799, 1, Family::Invalid},
};

template <std::size_t N>
constexpr bool rangesOrdered(const std::array<CodeRange, N>& ranges) {
    int previous = -1;
    for (const CodeRange& r : ranges) {
        if (r.first <= previous || r.last < r.first || r.last >= kDenseCodes || r.step < 1)
            return false;
        previous = r.last;
    }
    return true;
}
static_assert(rangesOrdered(kMonadicRanges), "monadic dispatch ranges overlap or are unsorted");
static_assert(rangesOrdered(kDyadicRanges), "dyadic dispatch ranges overlap or are unsorted");

template <std::size_t N>
constexpr std::array<Family, kDenseCodes> denseFamilies(const std::array<CodeRange, N>& ranges) {
    std::array<Family, kDenseCodes> table{};
    for (Family& f : table) f = Family::NotImplemented;
    for (const CodeRange& r : ranges)
        for (int c = r.first; c <= r.last; c += r.step) table[c] = r.family;
    return table;
}
constexpr std::array<Family, kDenseCodes> kMonadicFamily = denseFamilies(kMonadicRanges);
constexpr std::array<Family, kDenseCodes> kDyadicFamily = denseFamilies(kDyadicRanges);

constexpr Family monadicFamilyOf(int code) {
    return code >= 0 && code < kDenseCodes ? kMonadicFamily[code] : Family::NotImplemented;
}
constexpr Family dyadicFamilyOf(int code) {
    if (code >= kFirstInnerProduct) return Family::InnerProduct;
    return code >= 0 && code < kDenseCodes ? kDyadicFamily[code] : Family::NotImplemented;
}

// Every code of the vocabulary reaches a routine, except the structural codes
// the evaluator handles itself (0-2) and the dyadic "+.", which has none.
constexpr bool vocabularyDispatched() {
    for (const Primitive& p : kPrimitives) {
        if (p.monadicCode > 2 && monadicFamilyOf(p.monadicCode) == Family::NotImplemented)
            return false;
        if (p.dyadicCode > 2 && p.dyadicCode != 41 &&
            dyadicFamilyOf(p.dyadicCode) == Family::NotImplemented)
            return false;
    }
    return true;
}
static_assert(vocabularyDispatched(), "a primitive's code has no dispatch family");

// A monadic code must not land in a dyadic-only family, nor the reverse.
constexpr bool familiesOnTheirSide() {
    for (const CodeRange& r : kMonadicRanges)
        if (r.family >= Family::Take) return false;
    for (const CodeRange& r : kDyadicRanges)
        if (r.family >= Family::Execute && r.family < Family::Logical && r.family != Family::Each)
            return false;
    return true;
}
static_assert(familiesOnTheirSide(), "a dispatch range names a family of the other valence");

}  // namespace

std::span<const Primitive> primitiveTable() { return kPrimitives; }

const Primitive* findPrimitive(std::string_view text) {
    for (const Primitive& p : kPrimitives)
        if (p.text == text) return &p;
    return nullptr;
}

const Primitive* primitiveOfToken(int token) { return rowOfToken(token); }

TokenMatch matchToken(std::string_view text, std::size_t pos, bool leftValue) {
    if (pos >= text.size()) return {-1, 0};
    const Primitive* best = nullptr;
    for (const Primitive& p : kPrimitives) {
        if (text.compare(pos, p.text.size(), p.text) != 0) continue;
        if (best == nullptr || p.text.size() > best->text.size()) best = &p;
    }
    if (best == nullptr) return {-1, 0};
    // A "." is member access only when a name follows; otherwise it belongs to
    // a number or to the outer-product prefix ".:".
    if (best->text == "." && (pos + 1 >= text.size() || !isLetter(text[pos + 1]))) return {-1, 0};
    int token = leftValue ? best->tokenLeft : best->token;
    if (token < 0) return {-1, 0};
    return {token, static_cast<int>(best->text.size())};
}

int baseCode(int token) { return baseOf(token); }

int monadicCode(int token) { return baseOf(token); }

int dyadicCode(int token) { return dyadicOf(token); }

bool needsLeftArgument(int token) {
    const Primitive* p = rowOfToken(token);
    return p != nullptr && p->token == token && p->monadicCode < 0 && p->dyadicCode >= 0;
}

Rc reduceScanCode(int token, bool slash, bool dot, int& code) {
    int operand;
    switch (token) {
        // Read without a left value these glyphs carry their monadic code;
        // as operands they mean their dyadic functions.
        case 25: operand = 16; break;  // "<"
        case 24: operand = 19; break;  // ">"
        case 61: operand = 13; break;  // "^"
        case 58: operand = 21; break;  // "="
        default: {
            int base = baseOf(token);
            // Assignment, brackets and ";" are no functions; codes of 701 and
            // above exist only monadically.
            if (base < 3 || base >= 701) return kSyntaxError;
            operand = dyadicOf(token);
        }
    }
    int s = slash ? 1 : 0;
    int d = dot ? 1 : 0;
    code = operand + 100 * (2 + 2 * d - s);
    return kOk;
}

Rc outerProductCode(int token, int& code) {
    if (!isDyadicScalar(token)) return kOuterProductNotDyadic;
    code = 500 + dyadicOf(leftReading(token));
    return kOk;
}

bool innerLeftOk(int token) { return isDyadicScalar(token); }

bool innerRightOk(int token) { return leftReading(token) == 10 || isDyadicScalar(token); }

int innerProductCode(int ftoken, int gtoken) {
    if (!innerLeftOk(ftoken) || !innerRightOk(gtoken)) return -1;
    // Every operand here is dyadic-only or ambivalent, so c(t) is its dyadic code.
    return 100 * dyadicOf(leftReading(ftoken)) + dyadicOf(leftReading(gtoken));
}

Rc axisCode(int token, bool leftValue, double k, int io, int& code) {
    constexpr int kCompress = 6, kExpand = 8, kCatenate = 29, kRotate = 31;
    if (token != kCompress && token != kExpand && token != kCatenate && token != kRotate)
        return kSyntaxError;
    if (io != 0 && io != 1) return kIndexOriginError;
    if (!leftValue && token != kRotate) return kSyntaxError;

    double a = k - io;
    if (std::isfinite(a) && a == std::floor(a) && a >= 0 && a <= 5) {
        int axis = static_cast<int>(a);
        int c;
        if (!leftValue) {
            c = axis == 0 ? 38 : 88 + axis;
        } else if (axis == 0) {
            c = token == kCompress ? 6 : token == kExpand ? 8 : token == kCatenate ? 66 : 39;
        } else {
            c = (token == kCompress ? 71 : token == kExpand ? 76 : token == kCatenate ? 66 : 93) + axis;
        }
        if (c >= 99) return kNotImplemented;
        code = c;
        return kOk;
    }
    if (std::isnan(a)) return kAxisRestriction;
    if (a <= -1) return kAxisSpecification;
    if (token != kCatenate || !leftValue) return kAxisRestriction;
    // Lamination: a new axis before axis 0 (82) up to after axis 5 (88).
    // Anything from 6 on lies beyond the last and is checked before the
    // conversion, which would overflow for a huge k.
    if (a >= 6) return kNotImplemented;
    int c = 82 + static_cast<int>(std::trunc(a)) + (a > 0 ? 1 : 0);
    if (c > 88) return kNotImplemented;
    code = c;
    return kOk;
}

Family monadicFamily(int code) { return monadicFamilyOf(code); }

Family dyadicFamily(int code) { return dyadicFamilyOf(code); }

int familyError(Family family) {
    switch (family) {
        case Family::NotImplemented: return kNotImplemented;
        case Family::Invalid: return kDomainError;
        case Family::SpreadsheetLink: return kNoExcelDriver;
        default: return 0;
    }
}

}  // namespace wox::primitives
