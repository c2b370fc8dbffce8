#pragma once
// The one-operation lines a loop runs on every step, recognised once per
// translation: v<-a f b, and a branch condition a f b or (a f b), where a and b are
// lone names or constants and f a dyadic primitive with a routine for two
// single real numbers (BodyLine::pairOp, pairSingle). The engine runs such a
// pair with that routine when both are single numbers, and walks the chain as
// usual otherwise. Likewise v<-f b with a defined
// f (BodyLine::callOp): the call is made without walking the chain.
#include "frontend/function_store.h"

namespace wox::frontend {

struct FrontTables;

// Sets line.pairOp and pairFirst when the line (a plain line) or its branch condition (a
// kBranchUnless or kBranchIf line) has that form; -1 otherwise. Run after
// recogniseBranchShape.
void recognisePairShape(const FrontTables& ft, BodyLine& line);
// Sets line.callOp when the line (a plain line) is v<-f b with f a defined
// function called without a left operand and b a lone name or constant, as
// a loop's call i<-f i; -1 otherwise.
void recogniseCallShape(const FrontTables& ft, BodyLine& line);
// Sets df.leafLeft and leafRight when the body is one pair line z<-a f b
// with a and b constants or argument names, z the result name, no free
// names and no local []IO or []RL; from is kNone otherwise. Run after
// the lines are recognised and the free names spelled out.
void recogniseLeafPair(const FrontTables& ft, DefinedFunction& df);

}  // namespace wox::frontend
