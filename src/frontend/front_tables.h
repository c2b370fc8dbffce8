#pragma once
// The tables of the language front end: name tables and the tail store of
// long names, and what translated lines are made of: parse nodes, function
// entries, branch entries and the argument lists of nodes. Every
// cross-reference is a table index, never a pointer, so the tables can be
// written to a file as they stand.
//
// Fill counters hold the index of the last entry in use (-1 for none), as
// the workspace report prints them.
#include <cstdint>
#include <memory>
#include <vector>

#include "values/capacities.h"
#include "values/rc.h"

namespace wox::values {
class Workspace;
}

namespace wox::frontend {

// A name entry of the global or local name table. The first eight
// characters live in the entry; characters 9 onward live in the tail store.
struct NameEntry {
    char head[9];        // up to 8 characters, 0-terminated
    char kind;           // kVariableName, kFunctionName or kLabelName
    char pad[2];
    std::int32_t slot;   // variable slot, function slot or line number
    std::int32_t tail;   // index in the tail store, -1 for a name of at most 8 characters
};
static_assert(sizeof(NameEntry) == 20);

inline constexpr char kVariableName = 'V';
inline constexpr char kFunctionName = 'F';
inline constexpr char kLabelName = 'L';
inline constexpr int kNameHead = 8;

// A parse node. The kinds and the use of each field are set out at the
// top of frontend/translator.h.
struct ParseNode {
    char kind;
    char pad[3];
    std::int32_t operand;  // field 1
    std::int32_t list;     // field 2
    std::int32_t count;    // field 3
    std::int32_t next;     // field 4: the next node in evaluation order, -1 at the left end
    std::int32_t local;    // field 5: local-name entry of a function-body name, else -1
    std::int32_t pos;      // field 6: where the node's text starts in the line
};
static_assert(sizeof(ParseNode) == 28);

inline constexpr char kConstNode = 'C';
inline constexpr char kVarNode = 'V';
inline constexpr char kCallNode = 'F';
inline constexpr char kAssignNode = 'Z';
inline constexpr char kGroupNode = 'G';
inline constexpr char kListNode = 'L';
inline constexpr char kIndexNode = 'X';
inline constexpr char kMultiAssignNode = 'M';

// A function entry: what an 'F' node applies.
struct FunctionEntry {
    char kind;             // kPrimitiveFn or kDefinedFn
    char pad[3];
    std::int32_t monadic;  // code without a left operand; function slot for kDefinedFn
    std::int32_t left;     // first node of the left operand's chain, -1 when monadic
    std::int32_t dyadic;   // code with a left operand; function slot for kDefinedFn
};
static_assert(sizeof(FunctionEntry) == 16);

inline constexpr char kPrimitiveFn = 'P';
inline constexpr char kDefinedFn = 'D';

// A branch entry (entry 0 is never used).
struct BranchEntry {
    std::int32_t owner = -1;        // function slot, -1 for a session line
    std::int32_t line = 0;
    std::int32_t node = -1;         // first node of the line
    std::int32_t falseTarget = 0;   // kBranchLine marks a line that starts with "->"
    std::int32_t trueTarget = 0;
    std::int32_t caseList = -1;
    std::int32_t reserved[4] = {0, 0, 0, 0};
};
static_assert(sizeof(BranchEntry) == 40);
inline constexpr std::int32_t kBranchLine = -100;

struct ScanState;

struct FrontTables {
    explicit FrontTables(const Capacities& caps);
    ~FrontTables();
    FrontTables(const FrontTables&) = delete;
    FrontTables& operator=(const FrontTables&) = delete;

    std::vector<NameEntry> globals;
    int lastGlobal = -1;
    std::vector<NameEntry> locals;
    int lastLocal = -1;
    std::vector<char> tails;  // tail store: long-name characters, each tail 0-terminated
    int lastTail = -1;
    std::vector<ParseNode> nodes;
    int lastNode = -1;
    std::vector<FunctionEntry> entries;
    int lastEntry = -1;
    std::vector<BranchEntry> branches;
    int lastBranch = 0;
    std::vector<std::int32_t> lists;  // argument lists of 'L', 'X', 'Z' and 'M' nodes
    int lastListWord = -1;

    // Working storage of the line translator, kept so that translating a
    // line allocates nothing once it has warmed up.
    std::unique_ptr<ScanState> scan;

    // Empties every table; enterBuiltinNames() enters the built-in names again.
    void reset();
};

// Counters of the tables that a translated line fills.
struct LineMark {
    int lastNode;
    int lastEntry;
    int lastConstant;
    int lastBranch;
    int lastListWord;
};

LineMark markLine(const FrontTables& ft, const values::Workspace& ws);
// Gives back every node, function entry, constant (with its block), branch
// entry and argument list made after the mark. Only for code that no
// evaluation in progress still uses.
void releaseToMark(FrontTables& ft, values::Workspace& ws, const LineMark& mark);
// Gives back everything translated lines made since clearing. Session lines
// and the bodies of defined functions are translated afresh for every
// session line, so execute line calls this before it translates a new
// session line (never while a line is being evaluated).
void releaseLineTables(FrontTables& ft, values::Workspace& ws);

// The next free entry of each table; a full table fails with 84 ("one
// table is full"). A new node records the text position and links nowhere.
Rc takeNode(FrontTables& ft, char kind, int pos, int* index);
Rc takeEntry(FrontTables& ft, char kind, std::int32_t monadic, std::int32_t dyadic, int* index);
Rc takeBranch(FrontTables& ft, int* index);
// n consecutive words of the argument lists; fails with 9 ("gList full").
Rc takeListWords(FrontTables& ft, int n, int* start);
// The next constant slot above the preset ones.
Rc takeConstant(values::Workspace& ws, int* slot);

}  // namespace wox::frontend
