#pragma once
// What the front end works on. Translation output goes to the tables; the
// function store, the symbol table and the bindings of active calls belong to
// the running workspace and are lent for the call: the front end defines
// functions and interns symbols, and only reads the bindings.
#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/scope_stack.h"
#include "types/symbol_table.h"
#include "values/context.h"

namespace wox::frontend {

struct FrontEnd {
    values::Context& cx;  // constants and global variables live in its workspace
    FrontTables& tables;
    FunctionStore& functions;
    types::SymbolTable& symbols;
    const ScopeStack& scope;
};

}  // namespace wox::frontend
