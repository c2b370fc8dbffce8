#include "engine/do_statement.h"

#include <cstring>

#include "engine/execute_text.h"
#include "frontend/builtin_names.h"
#include "frontend/function_store.h"
#include "values/shaped_result.h"
#include "values/messages.h"

namespace wox::engine {

namespace {

constexpr char kQuote = '\'';
constexpr std::string_view kDoCall = "do ";
// The library's `do`, which hides the keyword of that name.
constexpr std::string_view kLibraryDo = frontend::kReservedFunctionNames[0];
static_assert(kLibraryDo == frontend::kBuiltins[kBuiltinNames - 1].name &&
              frontend::kBuiltins[kBuiltinNames - 1].slot == frontend::kDoFunction);

}  // namespace

std::string doStatementLine(std::string_view statement) {
    std::string line(kDoCall);
    line += kQuote;
    for (char c : statement) {
        line += c;
        if (c == kQuote) line += kQuote;
    }
    line += kQuote;
    return line;
}

Rc callDo(Interpreter& in, EvalContext& cx, ValueRef left, ValueRef right, ValueRef* result) {
    *result = kNoValue;
    if (right == kNoValue || left != kNoValue) return kValenceMismatch;
    const ValueDescriptor& d = in.ws.at(right);
    if (d.unset()) return kValueError;
    // '' is an empty Integer vector: an empty text of either kind is the
    // empty statement.
    const bool empty = d.count == 0 && d.rank == 1 && (d.type == kChar || d.type == kInteger);
    if (d.type != kChar && !empty) return kTypeError;
    if (d.rank > 1) return kRankError;
    int t;
    WOX_TRY(nextTemp(cx, &t));
    char* out = nullptr;
    if (empty) {
        const std::int32_t none = 0;
        WOX_TRY(values::makeResult(in.ws, t, kInteger, &none, 1, &out));
        *result = varRef(t);
        return kOk;
    }
    // Copied now: loading the library may move the statement's block.
    const std::string line = doStatementLine(std::string_view(in.ws.elems<char>(d), static_cast<std::size_t>(d.count)));
    if (!in.queryLibraryLoaded) {
        if (in.link().loadQueryLibrary(cx.temp).failed()) return kLibraryMissing;
        in.queryLibraryLoaded = true;
    }
    const auto n = static_cast<std::int32_t>(line.size());
    WOX_TRY(values::makeResult(in.ws, t, kChar, &n, 1, &out));
    std::memcpy(out, line.data(), line.size());
    int r;
    WOX_TRY(nextTemp(cx, &r));
    WOX_TRY(executeText(in, cx, varRef(t), r, result));
    // The library's do answers no value for some statements.
    if (in.ws.at(*result).unset()) *result = kNoValue;
    return kOk;
}

bool isLibraryFunction(const Interpreter& in, int fn) {
    if (!in.queryLibraryLoaded || fn < kFirstUserFunction) return false;
    const frontend::DefinedFunction* df = frontend::definedFunction(in.functions, fn);
    return df && frontend::isReservedFunctionName(df->text.name);
}

bool isLibraryStatement(const Interpreter& in, int fn) {
    return isLibraryFunction(in, fn) && frontend::definedFunction(in.functions, fn)->text.name == kLibraryDo;
}

bool holdsQueryLibrary(const Interpreter& in) {
    for (std::string_view name : frontend::kReservedFunctionNames)
        if (frontend::findFunction(in.front, name) < kFirstUserFunction) return false;
    return true;
}

}  // namespace wox::engine
