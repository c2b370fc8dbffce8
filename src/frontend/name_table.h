#pragma once
// Names: storing a name in an entry (head plus tail store), the lookups of
// the global and local tables, lookup through the scope stack of active
// calls, and creating global variables and functions.
//
// Lookups run from the newest entry down, so a newer entry of a name hides
// an older one.
#include <cstdint>
#include <string>
#include <string_view>

#include "frontend/front_tables.h"
#include "vocabulary/char_class.h"
#include "values/rc.h"
#include "values/workspace.h"

namespace wox::frontend {

struct FrontEnd;

using vocabulary::isDigit;
using vocabulary::isLetter;
using vocabulary::isNameChar;

// End of the name that starts at pos: the longest run of letters, digits and
// "_" (pos must hold a letter), less one trailing "_".
std::size_t nameEnd(std::string_view text, std::size_t pos);
// The name that must start at pos (after blanks): fails with 8 ("name must
// start with letter") when none does.
Rc readName(std::string_view text, std::size_t pos, std::string_view* name, std::size_t* end);

// Writes the name into the entry: head, and for a name of more than eight
// characters the rest plus a 0 byte in the tail store. Fails with 84 when
// the tail store is full, leaving the entry and the store unchanged.
Rc storeName(FrontTables& ft, NameEntry& e, std::string_view name);
bool nameEquals(const FrontTables& ft, const NameEntry& e, std::string_view name);
std::string fullName(const FrontTables& ft, const NameEntry& e);

// Entry index of the name, newest first, or -1.
int findGlobal(const FrontTables& ft, std::string_view name);
// The same among global entries first..last only.
int findGlobalIn(const FrontTables& ft, std::string_view name, int first, int last);
int findLocal(const FrontTables& ft, std::string_view name);
int findLocalIn(const FrontTables& ft, std::string_view name, int first, int last);

// A new global entry of kind variable bound to a fresh unset variable slot.
// Fails with 84 when the global table or the global variable region is
// full; nothing is created then.
Rc newGlobalVariable(FrontTables& ft, values::Workspace& ws, std::string_view name, int* entry);
// A new global entry of kind function with the next user function slot.
Rc newGlobalFunction(const FrontEnd& fe, std::string_view name, int* entry);
// Turns a global variable entry into a function with a new function slot.
// Fails with 10 ("var name can't be a func name") when the variable holds
// a value.
Rc makeFunctionName(const FrontEnd& fe, int entry);
// A new local entry (headers, free names, labels).
Rc newLocalName(FrontTables& ft, std::string_view name, char kind, std::int32_t slot, int* entry);

}  // namespace wox::frontend
