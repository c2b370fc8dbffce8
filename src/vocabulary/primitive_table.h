#pragma once
// The primitive vocabulary: every written form, the token numbers the scanner
// reads it as, the codes it takes in monadic and dyadic use, and the routine
// family each code is dispatched to. Everything the scanner and the evaluator
// ask about primitives is derived from the one table in vocabulary.h.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "vocabulary/vocabulary.h"
#include "values/rc.h"

namespace wox::vocabulary {

// The whole vocabulary, one row per written form.
std::span<const Primitive> primitiveTable();

// The row whose written form is `text`, or nullptr.
const Primitive* findPrimitive(std::string_view text);

// The row that reads as `token` (in either reading), or nullptr.
const Primitive* primitiveOfToken(int token);

// ---- Scanning ----------------------------------------------------------

struct TokenMatch {
    int token;   // -1 when no primitive starts at the position
    int length;  // characters taken, 0 when token is -1
};

// Longest primitive written form at text[pos], read with or without a value
// to its left. A "." counts only before a letter and only with a left value
// (member access); ".:" is left to the caller, which reads the outer product.
TokenMatch matchToken(std::string_view text, std::size_t pos, bool leftValue);

// ---- Function codes ----------------------------------------------------

// Base code of a token, or -1 for a token that names no function (branch,
// output names, unused numbers).
int baseCode(int token);

// Code of the token used with no left argument (the base code).
int monadicCode(int token);

// Code of the token used with a left argument: base + 1 for bases 26..100,
// except ",." with a left value, which keeps 66.
int dyadicCode(int token);

// Whether the token, read without a left value, has only a dyadic use, so
// that using it monadically is "left argument missing". ("/" and "\" after a
// function are operators; fold those before asking.)
bool needsLeftArgument(int token);

// ---- Operator folding --------------------------------------------------
// Each returns 0 and sets `code`, or returns the message number.

// f/ f\ f/. f\. : 100/200/300/400 + the operand's dyadic code. `slash` is
// true for "/", false for "\"; `dot` when "." follows. The token is taken in
// the reading it was scanned in: "<" ">" "^" "=" read without a left value
// reduce with their dyadic meanings; other monadic-only forms give 16.
[[nodiscard]] Rc reduceScanCode(int token, bool slash, bool dot, int& code);

// .:g : 500 + the dyadic code of g; g must be a dyadic scalar primitive
// (either reading of its glyph), else 20.
[[nodiscard]] Rc outerProductCode(int token, int& code);

// Whether `token` may stand left of ":" in an inner product f:g.
bool innerLeftOk(int token);

// Whether `token` may stand right of ":" in an inner product f:g.
bool innerRightOk(int token);

// f:g : 100 x c(f) + c(g), c the dyadic code; -1 when the pair is not an
// inner product (the ":" then stands on its own).
int innerProductCode(int ftoken, int gtoken);

// f[k] for "/", "\", "," and "$": the axis variant's code for the constant k
// under index origin io (0 or 1, else 24). Integral k - io in 0..5 selects an
// axis; otherwise only a dyadic "," accepts k, as a lamination. Errors 16
// (axis on a monadic "/", "\" or ","), 27, 28, 43.
[[nodiscard]] Rc axisCode(int token, bool leftValue, double k, int io, int& code);

// ---- Dispatch ----------------------------------------------------------

// The routine family a code is dispatched to (vocabulary/family.h): a
// primitive's own code takes its row's family, the derived codes their
// operator's; the evaluator switches on it once per call.
Family monadicFamily(int code);
Family dyadicFamily(int code);

// The message a family without a routine answers with (43, 1, or 150 for the
// spreadsheet link when no link is available); 0 for a family with a routine.
int familyError(Family family);

}  // namespace wox::vocabulary
