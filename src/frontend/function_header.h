#pragma once
// The header line of a defined function:
//
//   header -> [result "<-"] (fname | fname arg | arg fname arg) {";" local}
//   arg    -> name | "(" name {";" name} ")"
//   local  -> name | system name such as []IO
//
// Blanks separate the parts. A missing name is error 8 ("name must start with
// letter"); any other character out of place, a reserved word used as a name,
// or a name given twice is error 23 ("defn error").
#include <string>
#include <string_view>
#include <vector>

#include "values/rc.h"

namespace wox::frontend {

struct FunctionHeader {
    std::string result;              // empty when the function returns nothing
    std::vector<std::string> left;   // left argument names; empty unless dyadic
    std::vector<std::string> right;  // right argument names; empty when niladic
    bool leftIsList = false;         // the argument was written as (a;b;...)
    bool rightIsList = false;
    std::string name;
    std::vector<std::string> locals;  // in header order; may hold "[]IO"
    int valence = 0;                  // 0 niladic, 1 monadic, 2 dyadic
};

Rc parseHeader(std::string_view text, FunctionHeader& out);

}  // namespace wox::frontend
