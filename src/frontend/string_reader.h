#pragma once
// Quoted literals. 'text' is a character string ('' inside stands for one
// quote; '' alone is an empty Integer vector, one character a Char scalar).
// `name starts a symbol; a run of them (`a`b`c, or parted by blanks) is one
// Symbol vector. Symbol names are letters, digits and "_", or a run of
// primitive glyph characters (`+/, `<=, `^.).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "types/symbol_table.h"
#include "values/rc.h"
#include "values/workspace.h"

namespace wox::frontend {

// Reads the string whose opening quote is at pos. Fails with 8 when the
// line ends inside it and with 16 for a character outside blank to "~".
Rc readString(values::Workspace& ws, std::string_view text, std::size_t pos, std::string& scratch, int* slot,
              std::size_t* end, std::size_t* errPos);

// Reads the symbols that start with the backquote at pos, interning their
// names. Fails with 16 for a name longer than 127 characters and 84 when
// the symbol or constant table is full.
Rc readSymbols(values::Workspace& ws, types::SymbolTable& symbols, std::string_view text, std::size_t pos, std::vector<std::int32_t>& scratch,
               int* slot, std::size_t* end, std::size_t* errPos);

// A Symbol vector constant of the symbols (a table literal's column names).
Rc symbolVectorConstant(values::Workspace& ws, const std::vector<std::int32_t>& syms, int* slot);

// A Symbol scalar constant of one name (member access: t.name).
Rc symbolConstant(values::Workspace& ws, types::SymbolTable& symbols, std::string_view name, int* slot);

}  // namespace wox::frontend
