#pragma once
// Defined functions in the workspace: their text objects, defining and
// replacing a function from its lines, and translating a function's body into
// parse nodes with its line table.
//
// A body is translated afresh on its first call within each session line.
// Its header names (result, arguments, locals, and the names the control
// rewriting invented) and then its labels and free names are one run of
// local-name entries; a call binds each entry to a slot (function_call.h),
// and variable nodes of the body read their slot through that entry.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/function_header.h"
#include "frontend/function_text.h"
#include "values/capacities.h"
#include "values/rc.h"

namespace wox::values {
class Workspace;
}
namespace wox::primitives {
struct SinglePair;
}

namespace wox::frontend {

struct FrontEnd;
struct FrontTables;
struct ScopeStack;

// A defined function's record. Slots 0 to 7 are the keyword functions,
// user functions start at kFirstUserFunction.
struct FunctionRecord {
    std::int32_t valence = 0;      // 0 niladic, 1 monadic, 2 dyadic
    std::int32_t resultName = -1;  // local entry of the result name; -1 none, -2 keyword function
    std::int32_t headerFirst = -1; // local entries of result, arguments and locals
    std::int32_t headerLast = -2;
    std::int32_t freeFirst = -1;   // local entries of the body's other names and labels
    std::int32_t freeLast = -2;
    std::int32_t rightArgs = 1;    // number of right-argument names
    std::int32_t firstNode = -1;   // parse nodes of the translated body
    std::int32_t lastNode = -1;
    std::int32_t lineTable = -1;
    std::int32_t localsAtTranslation = -1;  // lastLocal when the body was translated
    std::int32_t translated = 0;
    std::int32_t nameEntry = -1;   // global name entry of the function
    std::int32_t object = -1;      // the function's text object
    std::int32_t lineCount = 0;
};
static_assert(sizeof(FunctionRecord) == 60);


// One line of a translated body: its nodes, and whether it is a branch line.
// The two branch forms that every loop runs are recognised once, when the
// body is translated, so the line loop decides them without building values:
//   ->L       (L a constant line number): kJump, target = L;
//   ->(~c)/L  (L a constant line number): kBranchUnless, target = L, and
//             the condition c is the chain from `condFirst` (the group's
//             first node) up to the "~" node `notNode`;
//   ->(c)/L   any other group: kBranchIf, the condition is the group's
//             whole chain (as in the test of a for loop), notNode = -1.
enum class LineShape : std::uint8_t { kPlain, kJump, kBranchUnless, kBranchIf };

struct BodyLine {
    std::int32_t first = -1;  // rightmost node, -1 for a line with nothing to run
    std::int32_t last = -1;   // leftmost operation
    bool branch = false;
    LineShape shape = LineShape::kPlain;
    std::int32_t target = 0;      // kJump, kBranchUnless, kBranchIf
    std::int32_t condFirst = -1;  // kBranchUnless, kBranchIf: the condition's first node
    std::int32_t notNode = -1;    // kBranchUnless: the "~" node that ends it
    // The call node of a line v<-a f b, or of a branch condition a f b or
    // (a f b), with lone names or constants a and b (see pair_shape.h); -1
    // otherwise. pairFirst is b's node.
    std::int32_t pairOp = -1;
    std::int32_t pairFirst = -1;
    // a's node, and f's routine for two single real numbers
    // (primitives::SingleDyadic); a pair is recognised only when f has one.
    std::int32_t pairLeft = -1;
    void (*pairSingle)(values::Workspace&, int, const primitives::SinglePair&) = nullptr;
    // The call node of a plain line v<-f b, f a defined function without a
    // left operand and b (node `first`) a lone name or constant; -1 otherwise.
    std::int32_t callOp = -1;
};

// What a call needs besides the function record.
struct DefinedFunction {
    FunctionText text;
    FunctionHeader header;
    std::vector<BodyLine> lines;    // line n is lines[n - 1]
    std::vector<std::string> generated;  // locals the control rewriting invented
    // Local-name entries of the header names, by role, after translation.
    int resultEntry = -1;
    std::vector<int> leftEntries;
    std::vector<int> rightEntries;
    std::vector<int> localEntries;  // locals and generated names
    // The body's free variable names with their local entries, spelled out
    // once per translation: every call looks each one up by dynamic scope.
    struct FreeName {
        int entry;
        std::string name;
    };
    std::vector<FreeName> freeVariables;
    int ioEntry = -1;               // a local []IO
    int rlEntry = -1;               // a local []RL
    // A body of the one line z<-a f b (a pair line) whose a and b are
    // constants or argument names and whose z is the result, with no other
    // names and no local []IO or []RL: where a and b come from
    // (recogniseLeafPair). A call with two single numbers then needs no
    // frame: f's routine answers it.
    struct LeafOperand {
        enum From : std::int8_t { kNone, kConstant, kRightArgument, kLeftArgument };
        From from = kNone;
        std::int32_t constant = 0;  // kConstant: the constant's reference
    };
    LeafOperand leafLeft;
    LeafOperand leafRight;  // from is kNone unless the body is such a line
};

// Every function of the workspace by function slot: keyword functions in
// slots 0 to 7, user functions from kFirstUserFunction on.
struct FunctionStore {
    explicit FunctionStore(const Capacities& caps);

    std::vector<FunctionRecord> records;
    int lastSlot = kFirstUserFunction - 1;  // the last slot in use ("lstfx")
    std::vector<DefinedFunction> definitions;  // the text object of each user function
    std::uint32_t nameSeed = 16807;  // draws the names the control rewriting invents

    // Forgets every function; the keyword functions are entered again by
    // enterBuiltinNames(). The name seed runs on.
    void clear();
};

// Defines a function from its lines (header first), or replaces the user
// function of that name in place. Errors: 81 no lines, 8 and 23 in the
// header, 23 for a control structure that cannot be rewritten, 10 when the
// name is a variable with a value, 84 when a table is full.
Rc defineFunction(const FrontEnd& fe, const std::vector<std::string>& lines, int* slot);

// The names the control rewriting invented that the header does not
// already name: they become locals of every call.
std::vector<std::string> generatedLocals(const FunctionHeader& header, const ControlRewrite& rewrite);
// The record of a function in slot `slot` that has not been translated yet.
FunctionRecord untranslatedRecord(const DefinedFunction& df, int slot, int nameEntry);

// The function slot of a defined or keyword function of that name, or -1.
int findFunction(const FrontTables& ft, std::string_view name);

// The function behind a slot, or nullptr for a keyword or unused slot.
// Inline: every call asks.
inline const DefinedFunction* definedFunction(const FunctionStore& store, int slot) {
    if (slot < kFirstUserFunction || static_cast<std::size_t>(slot) >= store.definitions.size()) return nullptr;
    const DefinedFunction& d = store.definitions[static_cast<std::size_t>(slot)];
    return d.text.executable.empty() ? nullptr : &d;
}

// Translates the body of function `slot`. On failure *errorLine and
// *errorPos tell which line and where.
Rc translateFunction(const FrontEnd& fe, int slot, int* errorLine, int* errorPos);

// Gives back the local-name entries of translated bodies when no call is
// active or suspended; called before each session line.
void releaseLocalNames(FrontTables& ft, const ScopeStack& scope);

}  // namespace wox::frontend
