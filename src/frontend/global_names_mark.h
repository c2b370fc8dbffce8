#pragma once
// A mark of the global names, and taking back what was made after it: the
// names, the functions defined under new names and the values of new global
// variables. A load of the query library that fails leaves the workspace's
// names as they were, so the keyword `do` is never left hidden by a library
// that did not load.
#include <vector>

#include "frontend/front_end.h"
#include "frontend/front_tables.h"

namespace wox::frontend {

struct GlobalNamesMark {
    std::vector<NameEntry> entries;  // every entry in use, as it was
    int lastFunction = 0;            // the function store's last slot
    int lastVariable = 0;            // the last global variable slot
};

GlobalNamesMark markGlobalNames(const FrontEnd& fe);

// Drops every global entry made since the mark, with its function or
// value, and gives the older entries back their kinds and slots (a name
// without a value that became a function is a variable again). Functions
// redefined in place keep their new text. Only when no running line uses
// what was made since.
void dropGlobalNamesSince(const FrontEnd& fe, const GlobalNamesMark& mark);

}  // namespace wox::frontend
