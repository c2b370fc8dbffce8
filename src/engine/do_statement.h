#pragma once
// The query library's place in the interpreter. The statements of `do`
// (SELECT, CREATE, ...) are taken apart by a library of functions written
// in Wox, which the program carries as a script. The first `do` of a
// workspace loads it through the loader the session installs; the script's
// own function `do` then hides the keyword `do`, since the newest global
// entry of a name wins, and every statement runs as "do '...'" in the
// caller's context.
#include <string>
#include <string_view>

#include "engine/evaluator.h"

namespace wox::engine {

// The keyword `do`: a character statement, run by the library's `do`
// (loading the library first when it is not loaded). An empty statement
// ('' or an empty character vector) gives an empty Integer vector; another type is a type error, a matrix a
// rank error, a library that cannot be loaded 205.
Rc callDo(Interpreter& in, EvalContext& cx, ValueRef left, ValueRef right, ValueRef* result);

// The line that runs a statement: "do '" + the statement with every quote
// doubled + "'".
std::string doStatementLine(std::string_view statement);

// Whether function slot `fn` is one of the library's reserved functions:
// a defined function with a reserved name while the library is loaded.
bool isLibraryFunction(const Interpreter& in, int fn);

// Whether function slot `fn` is the library's own `do`, whose call is one
// statement: a failed one leaves the library calls it began.
bool isLibraryStatement(const Interpreter& in, int fn);

// Whether every reserved name is a defined function, as in a workspace
// that was saved with the library loaded.
bool holdsQueryLibrary(const Interpreter& in);

}  // namespace wox::engine
