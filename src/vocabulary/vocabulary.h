#pragma once
// The primitive vocabulary as constants: one row per written form (its token
// numbers, its codes and their routine families), one row per system function,
// and the named codes and tokens taken from those rows. A code or a token
// number is written here once; every other place names it.
//
// A token names a written form in one reading: glyphs such as "<" or "?" have
// one token when a value stands to their left and another when none does.
#include <array>
#include <cstdint>
#include <string_view>

#include "vocabulary/family.h"

namespace wox::vocabulary {

// ---- The primitives ----------------------------------------------------

// One written form of the vocabulary: its tokens, the code and the routine
// family of each use, and what each use means. A code or token of -1 means
// the form has no such use; its family is then None.
struct Primitive {
    std::string_view text;
    int token;         // read with no value to its left
    int tokenLeft;     // read with a value to its left
    int monadicCode;
    int dyadicCode;
    Family monadicFamily;
    Family dyadicFamily;
    std::string_view monadicMeaning;
    std::string_view dyadicMeaning;
};

inline constexpr std::array kPrimitives = [] {
    using enum Family;
    // clang-format off
    return std::array{
//            text    tok  tokL   mon   dya   monadic family    dyadic family
    Primitive{"<-",    0,   0,    0,   -1,  Structure,        None,            "assignment", ""},
    Primitive{"->",    1,   1,   -1,   -1,  None,             None,            "branch", ""},
    Primitive{"[",     2,   2,    1,   -1,  Structure,        None,            "indexing x[i;j]; indexed assignment x[i]<-v", ""},
    Primitive{";",     3,   3,    2,   -1,  Structure,        None,            "separates indices and the items of a list", ""},
    Primitive{"[)",   53,  53,   -1,   -1,  None,             None,            "output name that keeps the line open", ""},
    Primitive{"[]",   54,  54,   -1,   -1,  None,             None,            "system name prefix; output name", ""},
    Primitive{"^.",   63,   4,  706,    3,  First,            Take,            "first element", "take"},
    Primitive{"!.",   23,   5,   22,    4,  Execute,          Drop,            "execute a character vector or a symbol", "drop"},
    Primitive{"/",     6,   6,   -1,    5,  None,             Compress,        "", "compress along the last axis (reduce after a function)"},
    Primitive{"/.",    7,   7,   -1,    6,  None,             Compress,        "", "compress along the first axis (reduce after a function)"},
    Primitive{"\\",    8,   8,   -1,    7,  None,             Expand,          "", "expand along the last axis (scan after a function)"},
    Primitive{"\\.",   9,   9,   -1,    8,  None,             Expand,          "", "expand along the first axis (scan after a function)"},
    Primitive{"?",    66,  10,  708,    9,  Where,            Membership,      "where: indices of the 1s", "membership"},
    Primitive{"?.",   27,  27,   26,   27,  Roll,             Deal,            "roll", "deal"},
    Primitive{">.",   68,  11,  709,   10,  Group,            Decode,          "group: positions of equal items", "decode"},
    Primitive{"<.",   56,  12,  702,   11,  Enclose,          Encode,          "enclose", "encode"},
    Primitive{"&",    13,  13,   -1,   12,  None,             Logical,         "", "or"},
    Primitive{"^",    61,  14,  705,   13,  Count,            Logical,         "count", "and"},
    Primitive{"<",    25,  17,   24,   16,  Grade,            Comparison,      "grade up", "less"},
    Primitive{"<=",   18,  18,   -1,   17,  None,             Comparison,      "", "less or equal"},
    Primitive{">=",   19,  19,   -1,   18,  None,             Comparison,      "", "greater or equal"},
    Primitive{">",    24,  20,   23,   19,  Grade,            Comparison,      "grade down", "greater"},
    Primitive{"~=",   21,  21,   -1,   20,  None,             Comparison,      "", "not equal"},
    Primitive{"=",    58,  22,  704,   21,  Unique,           Comparison,      "unique", "equal"},
    Primitive{"~",    26,  71,   25,  755,  Logical,          Match,           "not", "match"},
    Primitive{"#",    28,  28,   28,   29,  Shape,            Reshape,         "shape", "reshape"},
    Primitive{",",    29,  29,   30,   31,  Ravel,            Catenate,        "ravel", "catenate along the last axis"},
    Primitive{"!",    30,  30,   32,   33,  Interval,         IndexOf,         "interval", "index of"},
    Primitive{"$",    31,  31,   34,   35,  Reverse,          Rotate,          "reverse along the last axis", "rotate along the last axis"},
    Primitive{"&.",   32,  32,   36,   37,  Transpose,        DyadicTranspose, "transpose; flip of a dictionary or table", "transpose by an axis list"},
    Primitive{"$.",   33,  33,   38,   39,  Reverse,          Rotate,          "reverse along the first axis", "rotate along the first axis"},
    Primitive{"+.",   34,  34,   40,   41,  Format,           FormatBySpecification, "format", "format by specification: widths and decimals"},
    Primitive{"#.",   35,  35,   42,   43,  MatrixInverse,    MatrixDivide,    "matrix inverse", "matrix divide"},
    Primitive{"+",    36,  36,   44,   45,  ScalarMonadic,    ScalarDyadic,    "identity; conjugate", "plus"},
    Primitive{"-",    37,  37,   46,   47,  ScalarMonadic,    ScalarDyadic,    "negate", "minus"},
    Primitive{"*",    38,  38,   48,   49,  ScalarMonadic,    ScalarDyadic,    "signum", "times"},
    Primitive{"%",    39,  39,   50,   51,  ScalarMonadic,    ScalarDyadic,    "reciprocal", "divide"},
    Primitive{"~.",   40,  40,   52,   53,  ScalarMonadic,    ScalarDyadic,    "ceiling", "maximum"},
    Primitive{"_.",   41,  41,   54,   55,  ScalarMonadic,    ScalarDyadic,    "floor", "minimum"},
    Primitive{"*.",   42,  42,   56,   57,  ScalarMonadic,    ScalarDyadic,    "exponential", "power"},
    Primitive{"%.",   43,  43,   58,   59,  ScalarMonadic,    ScalarDyadic,    "natural logarithm", "logarithm to the left base"},
    Primitive{"|",    44,  44,   60,   61,  ScalarMonadic,    ScalarDyadic,    "magnitude", "residue"},
    Primitive{"|.",   45,  45,   62,   63,  ScalarMonadic,    ScalarDyadic,    "factorial", "binomial"},
    Primitive{"@",    46,  46,   64,   65,  ScalarMonadic,    ScalarDyadic,    "pi times", "circle functions"},
    Primitive{",.",   67,  47,  707,   66,  Raze,             Catenate,        "raze", "catenate along the first axis"},
    Primitive{"||",   60,  59,  710,  751,  PartitionLengths, Partition,       "partition lengths", "partition"},
    Primitive{":",    62,  69,  703,  753,  Type,             MakeDictionary,  "type code", "dictionary from keys and values"},
    Primitive{"\"",   65,  65,  752,  752,  Each,             Each,            "each", "each"},
    Primitive{".",    -1,  70,   -1,  754,  None,             Member,          "", "member of a dictionary or table"},
    };
    // clang-format on
}();

// Tokens that no written form reads as, kept with their monadic codes.
struct UnwrittenToken {
    int token;
    int code;
};
inline constexpr std::array kUnwrittenTokens{UnwrittenToken{57, 701}, UnwrittenToken{72, 711}};

// ---- System functions --------------------------------------------------

struct SystemFunction {
    std::string_view name;
    int code;
    int valence;  // 0: a niladic function, which reads as a value; 3: monadic or dyadic
    Family family;
};

// A system function that takes a left argument or none.
inline constexpr int kAmbivalent = 3;

// "[]" names that are functions; a system variable of the same name wins.
inline constexpr std::array kSystemFunctions = [] {
    using F = Family;
    return std::array{
        SystemFunction{"[]FX", 601, 1, F::SystemFunction},
        SystemFunction{"[]CR", 602, 1, F::SystemFunction},
        SystemFunction{"[]XD", 603, 1, F::SpreadsheetLink},
        SystemFunction{"[]XC", 604, 1, F::SpreadsheetLink},
        SystemFunction{"[]AI", 605, 1, F::SystemFunction},
        SystemFunction{"[]NC", 606, 1, F::SystemFunction},
        SystemFunction{"[]CSVR", 607, kAmbivalent, F::CsvFile},
        SystemFunction{"[]TS", 610, 0, F::NiladicSystemFunction},
        SystemFunction{"[]RL", 611, 0, F::NiladicSystemFunction},
        SystemFunction{"[]FM", 651, 2, F::DyadicSystemFunction},
        SystemFunction{"[]OP", 652, 2, F::SpreadsheetLink},
        SystemFunction{"[]XR", 653, 2, F::SpreadsheetLink},
        SystemFunction{"[]XW", 654, 2, F::SpreadsheetLink},
        SystemFunction{"[]XXR", 655, 2, F::SpreadsheetLink},
        SystemFunction{"[]XXW", 656, 2, F::SpreadsheetLink},
        SystemFunction{"[]XN", 657, 2, F::SpreadsheetLink},
        SystemFunction{"[]CSVW", 658, 2, F::CsvFile},
    };
}();

constexpr const SystemFunction* findSystemFunction(std::string_view name) {
    for (const SystemFunction& f : kSystemFunctions)
        if (f.name == name) return &f;
    return nullptr;
}

// Whether `code` is a system function that takes no argument.
constexpr bool isNiladicSystemFunction(int code) {
    for (const SystemFunction& f : kSystemFunctions)
        if (f.code == code) return f.valence == 0;
    return false;
}

// ---- Lookups by written form ---------------------------------------------
// For naming constants only: a form or a use the vocabulary lacks does not
// compile.

namespace detail {
consteval const Primitive& rowWritten(std::string_view text) {
    for (const Primitive& p : kPrimitives)
        if (p.text == text) return p;
    throw "no primitive is written so";
}
consteval int present(int n) {
    if (n < 0) throw "the form has no such use";
    return n;
}
}  // namespace detail

consteval int monadicCodeOf(std::string_view text) { return detail::present(detail::rowWritten(text).monadicCode); }
consteval int dyadicCodeOf(std::string_view text) { return detail::present(detail::rowWritten(text).dyadicCode); }
consteval int tokenOf(std::string_view text) { return detail::present(detail::rowWritten(text).token); }
consteval int tokenLeftOf(std::string_view text) { return detail::present(detail::rowWritten(text).tokenLeft); }
consteval int systemCodeOf(std::string_view name) {
    for (const SystemFunction& f : kSystemFunctions)
        if (f.name == name) return f.code;
    throw "no system function is named so";
}

// ---- Codes ---------------------------------------------------------------

namespace code {
// Structure rather than functions: the evaluator handles these itself.
inline constexpr int kAssign = monadicCodeOf("<-");
inline constexpr int kIndex = monadicCodeOf("[");
inline constexpr int kSeparator = monadicCodeOf(";");
inline constexpr int kFirstFunction = kSeparator + 1;

// Monadic.
inline constexpr int kExecute = monadicCodeOf("!.");
inline constexpr int kGradeDown = monadicCodeOf(">");
inline constexpr int kGradeUp = monadicCodeOf("<");
inline constexpr int kNot = monadicCodeOf("~");
inline constexpr int kRoll = monadicCodeOf("?.");
inline constexpr int kShape = monadicCodeOf("#");
inline constexpr int kRavel = monadicCodeOf(",");
inline constexpr int kInterval = monadicCodeOf("!");
inline constexpr int kReverse = monadicCodeOf("$");
inline constexpr int kTranspose = monadicCodeOf("&.");
inline constexpr int kReverseFirst = monadicCodeOf("$.");
inline constexpr int kFormat = monadicCodeOf("+.");
inline constexpr int kMatrixInverse = monadicCodeOf("#.");
inline constexpr int kIdentity = monadicCodeOf("+");
inline constexpr int kNegate = monadicCodeOf("-");
inline constexpr int kSignum = monadicCodeOf("*");
inline constexpr int kReciprocal = monadicCodeOf("%");
inline constexpr int kCeiling = monadicCodeOf("~.");
inline constexpr int kFloor = monadicCodeOf("_.");
inline constexpr int kExponential = monadicCodeOf("*.");
inline constexpr int kNaturalLog = monadicCodeOf("%.");
inline constexpr int kMagnitude = monadicCodeOf("|");
inline constexpr int kFactorial = monadicCodeOf("|.");
inline constexpr int kPiTimes = monadicCodeOf("@");
inline constexpr int kEnclose = monadicCodeOf("<.");
inline constexpr int kTypeCode = monadicCodeOf(":");
inline constexpr int kUnique = monadicCodeOf("=");
inline constexpr int kCount = monadicCodeOf("^");
inline constexpr int kFirst = monadicCodeOf("^.");
inline constexpr int kRaze = monadicCodeOf(",.");
inline constexpr int kWhere = monadicCodeOf("?");
inline constexpr int kGroup = monadicCodeOf(">.");
inline constexpr int kPartitionLengths = monadicCodeOf("||");

// Dyadic.
inline constexpr int kTake = dyadicCodeOf("^.");
inline constexpr int kDrop = dyadicCodeOf("!.");
inline constexpr int kCompress = dyadicCodeOf("/");
inline constexpr int kCompressFirst = dyadicCodeOf("/.");
inline constexpr int kExpand = dyadicCodeOf("\\");
inline constexpr int kExpandFirst = dyadicCodeOf("\\.");
inline constexpr int kMembership = dyadicCodeOf("?");
inline constexpr int kDecode = dyadicCodeOf(">.");
inline constexpr int kEncode = dyadicCodeOf("<.");
inline constexpr int kOr = dyadicCodeOf("&");
inline constexpr int kAnd = dyadicCodeOf("^");
inline constexpr int kLess = dyadicCodeOf("<");
inline constexpr int kLessEqual = dyadicCodeOf("<=");
inline constexpr int kGreaterEqual = dyadicCodeOf(">=");
inline constexpr int kGreater = dyadicCodeOf(">");
inline constexpr int kNotEqual = dyadicCodeOf("~=");
inline constexpr int kEqual = dyadicCodeOf("=");
inline constexpr int kDeal = dyadicCodeOf("?.");
inline constexpr int kReshape = dyadicCodeOf("#");
inline constexpr int kCatenate = dyadicCodeOf(",");
inline constexpr int kIndexOf = dyadicCodeOf("!");
inline constexpr int kRotate = dyadicCodeOf("$");
inline constexpr int kTransposeAxes = dyadicCodeOf("&.");
inline constexpr int kRotateFirst = dyadicCodeOf("$.");
inline constexpr int kDyadicFormat = dyadicCodeOf("+.");
inline constexpr int kMatrixDivide = dyadicCodeOf("#.");
inline constexpr int kPlus = dyadicCodeOf("+");
inline constexpr int kMinus = dyadicCodeOf("-");
inline constexpr int kTimes = dyadicCodeOf("*");
inline constexpr int kDivide = dyadicCodeOf("%");
inline constexpr int kMaximum = dyadicCodeOf("~.");
inline constexpr int kMinimum = dyadicCodeOf("_.");
inline constexpr int kPower = dyadicCodeOf("*.");
inline constexpr int kLogarithm = dyadicCodeOf("%.");
inline constexpr int kResidue = dyadicCodeOf("|");
inline constexpr int kBinomial = dyadicCodeOf("|.");
inline constexpr int kCircle = dyadicCodeOf("@");
inline constexpr int kCatenateFirst = dyadicCodeOf(",.");
inline constexpr int kPartition = dyadicCodeOf("||");
inline constexpr int kMakeDictionary = dyadicCodeOf(":");
inline constexpr int kMember = dyadicCodeOf(".");
inline constexpr int kMatch = dyadicCodeOf("~");
// No written form: what a table literal translates into, with the column
// names on the left and the list of the columns' values on the right.
inline constexpr int kTableLiteral = kMatch + 1;

// Each has one code in both uses.
inline constexpr int kEach = monadicCodeOf("\"");
static_assert(kEach == dyadicCodeOf("\""));

// Derived functions: a base plus the dyadic code of the operand, which is
// always below kOperandLimit.
inline constexpr int kOperandLimit = 100;
inline constexpr int kReduceBase = 100;         // f/ along the last axis
inline constexpr int kScanBase = 200;           // f\ along the last axis
inline constexpr int kReduceFirstBase = 300;    // f/. along the first axis
inline constexpr int kScanFirstBase = 400;      // f\. along the first axis
inline constexpr int kOuterProductBase = 500;   // .:g
inline constexpr int kInnerProductScale = 100;  // f:g is scale x f + g
// The system functions have 601 to 699, the monadic and niladic ones up to
// 650 and the dyadic ones from 651; the forms whose codes follow no token
// arithmetic (enclose, each, match ...) have 701 on.
inline constexpr int kSystemBase = 600;
inline constexpr int kDyadicSystemBase = 650;
inline constexpr int kExtendedBase = 700;

// Axis variants f[k]: axis 0 takes the first-axis code, axis a of 1 to
// kMaxAxis takes base + a. The variants follow the catenate-first code in
// one run: catenate, compress, expand, lamination, monadic reverse, rotate.
inline constexpr int kMaxAxis = 5;
inline constexpr int kCatenateAxisBase = kCatenateFirst;
inline constexpr int kCompressAxisBase = kCatenateAxisBase + kMaxAxis;
inline constexpr int kExpandAxisBase = kCompressAxisBase + kMaxAxis;
// Lamination x,[k]y for a fractional k: a new axis before axis 0, up to
// after the last one.
inline constexpr int kLaminateFirst = kExpandAxisBase + kMaxAxis + 1;
inline constexpr int kLaminateLast = kLaminateFirst + kMaxAxis + 1;
inline constexpr int kReverseAxisBase = kLaminateLast;
inline constexpr int kRotateAxisBase = kReverseAxisBase + kMaxAxis;
inline constexpr int kLastAxisVariant = kRotateAxisBase + kMaxAxis;
static_assert(kLastAxisVariant < kOperandLimit, "axis variants run into the derived codes");

// System functions.
inline constexpr int kTimeStamp = systemCodeOf("[]TS");
inline constexpr int kRandomLink = systemCodeOf("[]RL");
}  // namespace code

// ---- Tokens --------------------------------------------------------------

namespace token {
// The forms that take an axis bracket.
inline constexpr int kCompress = tokenOf("/");
inline constexpr int kExpand = tokenOf("\\");
inline constexpr int kCatenate = tokenOf(",");  // also ravel
inline constexpr int kRotate = tokenOf("$");    // also reverse

// Read without a left value, as grade, count and unique.
inline constexpr int kGradeUp = tokenOf("<");
inline constexpr int kGradeDown = tokenOf(">");
inline constexpr int kCount = tokenOf("^");
inline constexpr int kUnique = tokenOf("=");

// Read with a left value.
inline constexpr int kMembership = tokenLeftOf("?");
inline constexpr int kOr = tokenLeftOf("&");
inline constexpr int kEqual = tokenLeftOf("=");
inline constexpr int kPlus = tokenLeftOf("+");
inline constexpr int kCircle = tokenLeftOf("@");
inline constexpr int kCatenateFirst = tokenLeftOf(",.");
inline constexpr int kMember = tokenLeftOf(".");

inline constexpr int kEach = tokenOf("\"");
}  // namespace token

// The forms that take an axis bracket f[k]: "/", "\", "," and "$".
constexpr bool takesAxis(int t) {
    return t == token::kCompress || t == token::kExpand || t == token::kCatenate || t == token::kRotate;
}

}  // namespace wox::vocabulary
