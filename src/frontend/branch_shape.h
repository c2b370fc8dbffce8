#pragma once
// The branch lines a loop runs on every step, recognised once per
// translation: an unconditional ->L and the conditional ->(~c)/L and
// ->(c)/L that the control words are rewritten into (see LineShape in
// function_store.h).
#include "frontend/function_store.h"

namespace wox::values {
class Workspace;
}

namespace wox::frontend {

struct FrontTables;

// Sets the line's shape when its nodes have one of the branch forms with a
// constant single integer line number; leaves it kPlain otherwise.
void recogniseBranchShape(const FrontTables& ft, const values::Workspace& ws, BodyLine& line);

}  // namespace wox::frontend
