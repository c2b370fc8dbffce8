#include "engine/keyword_functions.h"

#include <string_view>

#include "frontend/builtin_names.h"
#include "primitives/enumerations.h"
#include "values/messages.h"

namespace wox::engine {

namespace {

constexpr int keywordSlot(std::string_view name) {
    for (const frontend::BuiltinName& b : frontend::kBuiltins)
        if (b.kind == frontend::kFunctionName && b.name == name) return b.slot;
    return -1;
}
constexpr int kValueKeyword = keywordSlot("value");
static_assert(kValueKeyword >= 0);

// `value`: the plain values of an enumeration; the values of a dictionary or
// keyed table have no routine yet; anything else is a type error.
Rc value(Interpreter& in, int result, ValueRef y) {
    const std::int32_t type = in.ws.at(y).type;
    if (type == kEnumeration) return primitives::enumerationValues(in, result, y);
    if (type == kDictionary) return kNotImplemented;
    return kTypeError;
}

}  // namespace

Rc callKeyword(Interpreter& in, EvalContext& cx, int fn, ValueRef left, ValueRef right, ValueRef* result) {
    *result = kNoValue;
    const frontend::BuiltinName* b = nullptr;
    for (const frontend::BuiltinName& n : frontend::kBuiltins)
        if (n.kind == frontend::kFunctionName && n.slot == fn) b = &n;
    if (!b) return kDomainError;
    if (left != kNoValue && b->valence < 2) return kValenceMismatch;
    if (right == kNoValue) return kValenceMismatch;
    if (in.ws.at(right).unset()) return kValueError;
    int t;
    WOX_TRY(nextTemp(cx, &t));
    Rc rc = fn == kValueKeyword ? value(in, t, right) : Rc(kNotImplemented);
    if (rc.failed()) return rc;
    *result = varRef(t);
    return kOk;
}

}  // namespace wox::engine
