#include "vocabulary/primitive_table.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "vocabulary/char_class.h"
#include "values/messages.h"

namespace wox::vocabulary {
namespace {

// ---- Function codes: the base code of every token ----------------------

constexpr int kTokenLimit = [] {
    int last = 0;
    for (const Primitive& p : kPrimitives) last = std::max({last, p.token, p.tokenLeft});
    for (const UnwrittenToken& u : kUnwrittenTokens) last = std::max(last, u.token);
    return last + 1;
}();

// Tokens up to ",." with a left value follow an arithmetic rule: from "[" to
// "?." one code each, from "#" on a pair of codes each. From "<." read
// without a left value on, each token carries the code its row gives.
constexpr int kFirstRowToken = tokenOf("<.");

constexpr std::array<int, kTokenLimit> makeBaseCodes() {
    std::array<int, kTokenLimit> base{};
    for (int& b : base) b = -1;
    base[tokenOf("<-")] = code::kAssign;
    for (int t = tokenOf("["); t <= tokenOf("?."); ++t) base[t] = t - 1;
    for (int t = tokenOf("#"); t <= token::kCatenateFirst; ++t) base[t] = code::kShape + 2 * (t - tokenOf("#"));
    for (const Primitive& p : kPrimitives) {
        if (p.token >= kFirstRowToken) base[p.token] = p.monadicCode;
        if (p.tokenLeft >= kFirstRowToken) base[p.tokenLeft] = p.dyadicCode;
    }
    for (const UnwrittenToken& u : kUnwrittenTokens) base[u.token] = u.code;
    return base;
}
constexpr std::array<int, kTokenLimit> kBaseCodes = makeBaseCodes();

constexpr int baseOf(int token) {
    return token >= 0 && token < kTokenLimit ? kBaseCodes[token] : -1;
}
constexpr int dyadicOf(int token) {
    int b = baseOf(token);
    // ",." with a left value keeps its code.
    return b >= code::kRoll && b < code::kOperandLimit && token != token::kCatenateFirst ? b + 1 : b;
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

// The left-value readings from "&" to "=" and from "+" to "@" are the dyadic
// scalar primitives, the only operands of outer and inner products.
constexpr bool isDyadicScalar(int token) {
    int t = leftReading(token);
    return (t >= token::kOr && t <= token::kEqual) || (t >= token::kPlus && t <= token::kCircle);
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

// Only codes below this are looked up in the dense tables; dyadic codes of 901
// and above are inner products, everything else has no routine.
constexpr int kDenseCodes = 800;
constexpr int kFirstInnerProduct = 901;

using FamilyTable = std::array<Family, kDenseCodes>;

constexpr void fill(FamilyTable& table, int first, int last, Family family) {
    for (int c = first; c <= last; ++c) table[c] = family;
}

// The derived functions of an operator: its base plus every operand code.
constexpr void fillDerived(FamilyTable& table, int base, Family family) {
    fill(table, base + 1, base + code::kOperandLimit - 1, family);
}

// The rules for codes no row carries come first; each row then gives its
// own code its family.
constexpr FamilyTable makeMonadicFamilies() {
    using namespace code;
    FamilyTable table{};
    table.fill(Family::NotImplemented);
    // Reverse along axes 1 to 5 (axis 0 is reverse-first).
    fill(table, kReverseAxisBase + 1, kReverseAxisBase + kMaxAxis, detail::rowWritten("$").monadicFamily);
    fillDerived(table, kReduceBase, Family::Reduce);
    fillDerived(table, kScanBase, Family::Scan);
    fillDerived(table, kReduceFirstBase, Family::Reduce);
    fillDerived(table, kScanFirstBase, Family::Scan);
    // A system function code without a name answers as one not implemented.
    fill(table, kSystemBase + 1, kDyadicSystemBase, Family::SystemFunction);
    for (const SystemFunction& f : kSystemFunctions)
        if (f.valence < 2 || f.valence == kAmbivalent) table[f.code] = f.family;
    for (const Primitive& p : kPrimitives)
        if (p.monadicCode >= 0) table[p.monadicCode] = p.monadicFamily;
    return table;
}

// Outer products reach at most 500 + 65, so 501-599 leaves the system
// function codes 601-650 out of the outer-product routine.
constexpr FamilyTable makeDyadicFamilies() {
    using namespace code;
    FamilyTable table{};
    table.fill(Family::NotImplemented);
    // Catenate, compress, expand and rotate along axes 1 to 5, and lamination.
    fill(table, kCatenateAxisBase + 1, kCatenateAxisBase + kMaxAxis, detail::rowWritten(",").dyadicFamily);
    fill(table, kCompressAxisBase + 1, kCompressAxisBase + kMaxAxis, detail::rowWritten("/").dyadicFamily);
    fill(table, kExpandAxisBase + 1, kExpandAxisBase + kMaxAxis, detail::rowWritten("\\").dyadicFamily);
    fill(table, kLaminateFirst, kLaminateLast, Family::Laminate);
    fill(table, kRotateAxisBase + 1, kRotateAxisBase + kMaxAxis, detail::rowWritten("$").dyadicFamily);
    fillDerived(table, kOuterProductBase, Family::OuterProduct);
    fill(table, kDyadicSystemBase + 1, kExtendedBase - 1, Family::DyadicSystemFunction);
    for (const SystemFunction& f : kSystemFunctions)
        if (f.valence >= 2) table[f.code] = f.family;
    // Unused codes of the dyadic-only ranges: between "and" and "less", and
    // after the table literal.
    fill(table, kAnd + 1, kLess - 1, Family::Invalid);
    fill(table, kTableLiteral + 1, kDenseCodes - 1, Family::Invalid);
    table[kTableLiteral] = Family::TableLiteral;
    for (const Primitive& p : kPrimitives)
        if (p.dyadicCode >= 0) table[p.dyadicCode] = p.dyadicFamily;
    return table;
}

constexpr FamilyTable kMonadicFamily = makeMonadicFamilies();
constexpr FamilyTable kDyadicFamily = makeDyadicFamilies();

constexpr Family monadicFamilyOf(int code) {
    return code >= 0 && code < kDenseCodes ? kMonadicFamily[code] : Family::NotImplemented;
}
constexpr Family dyadicFamilyOf(int code) {
    if (code >= kFirstInnerProduct) return Family::InnerProduct;
    return code >= 0 && code < kDenseCodes ? kDyadicFamily[code] : Family::NotImplemented;
}

// A use without a code has no family; the structural codes are the
// evaluator's; every other code names a family of its own valence.
constexpr bool familyFits(int code, Family family) {
    if (code < 0) return family == Family::None;
    if (code < code::kFirstFunction) return family == Family::Structure;
    return family != Family::None && family != Family::Structure;
}
constexpr bool rowFamiliesFit() {
    for (const Primitive& p : kPrimitives)
        if (!familyFits(p.monadicCode, p.monadicFamily) || !familyFits(p.dyadicCode, p.dyadicFamily) ||
            !monadicSide(p.monadicFamily) || !dyadicSide(p.dyadicFamily))
            return false;
    return true;
}
static_assert(rowFamiliesFit(), "a primitive's row names a family that does not fit its use");

// A monadic code must not land in a dyadic-only family, nor the reverse.
constexpr bool familiesOnTheirSide() {
    for (int c = 0; c < kDenseCodes; ++c)
        if (!monadicSide(kMonadicFamily[c]) || !dyadicSide(kDyadicFamily[c])) return false;
    return true;
}
static_assert(familiesOnTheirSide(), "a code dispatches to a family of the other valence");

// Each system function dispatches as its valence says.
constexpr bool systemFunctionsDispatched() {
    for (const SystemFunction& f : kSystemFunctions) {
        Family m = monadicFamilyOf(f.code);
        Family d = dyadicFamilyOf(f.code);
        const bool fileFamily = f.family == Family::SpreadsheetLink || f.family == Family::CsvFile;
        bool ok = f.valence == 0             ? m == Family::NiladicSystemFunction
                  : f.valence == 1           ? m == Family::SystemFunction || (fileFamily && m == f.family)
                  : f.valence == kAmbivalent ? fileFamily && m == f.family && d == f.family
                                             : d == Family::DyadicSystemFunction || (fileFamily && d == f.family);
        if (!ok) return false;
    }
    return true;
}
static_assert(systemFunctionsDispatched(), "a system function's code dispatches against its valence");

constexpr bool systemFunctionsUnique() {
    for (std::size_t i = 0; i < kSystemFunctions.size(); ++i)
        for (std::size_t j = i + 1; j < kSystemFunctions.size(); ++j)
            if (kSystemFunctions[i].name == kSystemFunctions[j].name ||
                kSystemFunctions[i].code == kSystemFunctions[j].code)
                return false;
    return true;
}
static_assert(systemFunctionsUnique(), "a system function's name or code appears twice");

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
        case token::kGradeUp: operand = code::kLess; break;
        case token::kGradeDown: operand = code::kGreater; break;
        case token::kCount: operand = code::kAnd; break;
        case token::kUnique: operand = code::kEqual; break;
        default: {
            int base = baseOf(token);
            // Assignment, brackets and ";" are no functions; codes of 701 and
            // above exist only monadically.
            if (base < code::kFirstFunction || base > code::kExtendedBase) return kSyntaxError;
            operand = dyadicOf(token);
        }
    }
    int base = slash ? (dot ? code::kReduceFirstBase : code::kReduceBase)
                     : (dot ? code::kScanFirstBase : code::kScanBase);
    code = operand + base;
    return kOk;
}

Rc outerProductCode(int token, int& code) {
    if (!isDyadicScalar(token)) return kOuterProductNotDyadic;
    code = code::kOuterProductBase + dyadicOf(leftReading(token));
    return kOk;
}

bool innerLeftOk(int token) { return isDyadicScalar(token); }

bool innerRightOk(int token) { return leftReading(token) == token::kMembership || isDyadicScalar(token); }

int innerProductCode(int ftoken, int gtoken) {
    if (!innerLeftOk(ftoken) || !innerRightOk(gtoken)) return -1;
    // Every operand here is dyadic-only or ambivalent, so c(t) is its dyadic code.
    return code::kInnerProductScale * dyadicOf(leftReading(ftoken)) + dyadicOf(leftReading(gtoken));
}

Rc axisCode(int token, bool leftValue, double k, int io, int& code) {
    if (!takesAxis(token)) return kSyntaxError;
    if (io != 0 && io != 1) return kIndexOriginError;
    if (!leftValue && token != token::kRotate) return kSyntaxError;

    double a = k - io;
    if (std::isfinite(a) && a == std::floor(a) && a >= 0 && a <= code::kMaxAxis) {
        int axis = static_cast<int>(a);
        int c;
        if (!leftValue) {
            c = axis == 0 ? code::kReverseFirst : code::kReverseAxisBase + axis;
        } else if (axis == 0) {
            c = token == token::kCompress ? code::kCompressFirst
                : token == token::kExpand ? code::kExpandFirst
                : token == token::kCatenate ? code::kCatenateFirst
                                            : code::kRotateFirst;
        } else {
            c = (token == token::kCompress ? code::kCompressAxisBase
                 : token == token::kExpand ? code::kExpandAxisBase
                 : token == token::kCatenate ? code::kCatenateAxisBase
                                             : code::kRotateAxisBase) + axis;
        }
        if (c > code::kLastAxisVariant) return kNotImplemented;
        code = c;
        return kOk;
    }
    if (std::isnan(a)) return kAxisRestriction;
    if (a <= -1) return kAxisSpecification;
    if (token != token::kCatenate || !leftValue) return kAxisRestriction;
    // Lamination: a new axis before axis 0 up to after the last axis.
    // Anything beyond that is checked before the conversion, which would
    // overflow for a huge k.
    // Axes beyond the codes are the restriction the other forms report.
    if (a >= code::kMaxAxis + 1) return kAxisRestriction;
    int c = code::kLaminateFirst + static_cast<int>(std::trunc(a)) + (a > 0 ? 1 : 0);
    if (c > code::kLaminateLast) return kAxisRestriction;
    code = c;
    return kOk;
}

Family monadicFamily(int code) { return monadicFamilyOf(code); }

Family dyadicFamily(int code) { return dyadicFamilyOf(code); }

int familyError(Family family) {
    switch (family) {
        case Family::None:
        case Family::Structure:
        case Family::NotImplemented: return kNotImplemented;
        case Family::Invalid: return kDomainError;
        case Family::SpreadsheetLink: return kNoExcelDriver;
        default: return 0;
    }
}

}  // namespace wox::vocabulary
