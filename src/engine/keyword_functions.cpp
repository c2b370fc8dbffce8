#include "engine/keyword_functions.h"

#include "engine/interpreter.h"
#include "engine/do_statement.h"
#include "frontend/builtin_names.h"
#include "primitives/keyed/keyed.h"
#include "values/messages.h"

namespace wox::engine {

namespace {

// The names of meta's columns: c the column, t its type letter, f the
// domain of a foreign key, a its attribute.
Rc metaNames(Interpreter& in, primitives::MetaNames* names) {
    WOX_TRY(in.symbols.intern("c", &names->column));
    WOX_TRY(in.symbols.intern("t", &names->type));
    WOX_TRY(in.symbols.intern("f", &names->foreignKey));
    return in.symbols.intern("a", &names->attribute);
}

Rc monadic(Interpreter& in, int fn, int t, ValueRef right) {
    switch (fn) {
        case frontend::kKeyFunction: return primitives::keyOf(in, t, right);
        case frontend::kValueFunction: return primitives::valueOf(in, t, right);
        case frontend::kColsFunction: return primitives::columnsOf(in, t, right);
        case frontend::kKeysFunction: return primitives::keyColumnsOf(in, t, right);
        case frontend::kFkeysFunction: return primitives::foreignKeysOf(in, t, right);
        case frontend::kMetaFunction: {
            primitives::MetaNames names{};
            WOX_TRY(metaNames(in, &names));
            return primitives::metaOf(in, t, right, names);
        }
        default: return kDomainError;
    }
}

}  // namespace

Rc callKeyword(Interpreter& in, EvalContext& cx, int fn, ValueRef left, ValueRef right, ValueRef* result) {
    *result = kNoValue;
    if (fn == frontend::kDoFunction) return callDo(in, cx, left, right, result);
    if (right == kNoValue) return kValenceMismatch;
    if (in.ws.at(right).unset() || (left != kNoValue && in.ws.at(left).unset())) return kValueError;
    const bool dyadic = fn == frontend::kXkeyFunction;
    if (dyadic && left == kNoValue) return kLeftArgumentMissing;
    if (!dyadic && left != kNoValue) return kValenceMismatch;
    int t;
    WOX_TRY(nextTemp(cx, &t));
    WOX_TRY(dyadic ? primitives::xkey(in, t, left, right) : monadic(in, fn, t, right));
    *result = varRef(t);
    return kOk;
}

}  // namespace wox::engine
