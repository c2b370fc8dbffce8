#pragma once
// Values that have no data line of their own (enumerations, dictionaries,
// tables and keyed tables) are written into a script as a statement that
// rebuilds them in the language's literal forms, which any script reader
// runs: `t<-([]a:(1 2);b:(3 4))`, keyed `t<-([k:(1 2)] v:(3 4))`, a
// dictionary `d<-(`a`b):(1 2)`, an enumeration `e<-(`dom):(`a`b)`. This is
// the one place those statements are made.
#include <string>
#include <string_view>
#include <vector>

#include "engine/interpreter.h"

namespace wox::script_file {

// The statement that assigns the value to `name`, or empty when the value
// is written as a tagged value text. False, with `problem` saying why, when
// the value holds something no statement can carry (a text with a line end,
// a symbol that is not a name); nothing may be written for it then.
bool rebuildStatement(const Interpreter& in, std::string_view name, const ValueDescriptor& d,
                      std::string* statement, std::string* problem);

// The names of the variables that the enumerations within the value take
// their domains from; a script assigns those first.
std::vector<std::string> domainNames(const Interpreter& in, const ValueDescriptor& d);

}  // namespace wox::script_file
