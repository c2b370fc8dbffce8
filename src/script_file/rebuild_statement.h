#pragma once
// Values that have no data line of their own (enumerations, dictionaries,
// tables and keyed tables) are written into a script as a statement that
// rebuilds them in the language's literal forms, which any script reader
// runs: `t<-([]a:1 2;b:3 4)`, keyed `t<-([k:1 2] v:3 4)`, a dictionary
// `d<-`a`b:1 2`, an enumeration `e<-`dom:values`. This is the one place
// those statements are made.
#include <string>
#include <string_view>

#include "engine/interpreter.h"

namespace wox::script_file {

// The statement that assigns the value to `name`, or empty when the value
// is written as a tagged value text.
std::string rebuildStatement(const Interpreter& in, std::string_view name, const ValueDescriptor& d);

}  // namespace wox::script_file
