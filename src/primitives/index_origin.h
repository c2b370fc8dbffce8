#pragma once
// The index origin: positions that primitives produce or accept count from
// the []IO in force, which must be 0 or 1.
#include "values/rc.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::primitives {

// The origin held by the value `io`: 0 or 1, else 24 ([]IO error).
Rc indexOrigin(const values::Workspace& ws, ValueRef io, int* origin);

}  // namespace wox::primitives
