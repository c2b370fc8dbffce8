#pragma once
// Line translation: one line of text becomes parse nodes, function entries
// and constants, which the evaluator runs without looking at the text again.
//
// How a translated line is represented
// ====================================
// A line is a chain of nodes in evaluation order. TranslatedLine::first is
// the rightmost item; each node's field 4 (`next`) leads to the node that is
// evaluated after it, and the chain ends with next == -1 at the left end
// (TranslatedLine::last). Every nested expression (a group's inside, each
// item of a list, each index expression, a left operand) is a chain of its
// own that ends with -1, and the evaluator runs it by a recursive entry.
// Every node records in `pos` where its text starts in the line (the caret
// column of an error at that node). `local` is -1 except as said below.
//
//   'C'  constant.   operand = constant slot (ValueRef >= 0).
//   'V'  variable.   operand = variable slot. In a function body, local =
//        the name's local-name entry, so each call can rebind the node.
//   'F'  function application. operand = function entry:
//          kind 'P' primitive: monadic and dyadic code (folded operators,
//                   axis variants and system functions already computed);
//          kind 'D' defined function: both codes are its function slot.
//        entry.left is the first node of the left operand's chain when a
//        value stood to the left (apply dyadically with entry.dyadic), else
//        -1 (apply monadically with entry.monadic to the current value).
//        For each, f"  (code 752 in both fields), `list` holds the function
//        entry of the operand f; otherwise `list` is -1. A niladic function
//        (a defined function of valence 0, []TS) has no argument at all: it
//        is a value item and takes no current value.
//   'Z'  assignment target: operand = variable slot (2 for [], 3 for [) ),
//        local as for 'V'. Stores the current value, which stays current.
//        Indexed assignment x[i;j]<-v: `list`/`count` name the index list
//        (as for 'X'); otherwise list = -1.
//   'G'  parenthesised expression: `list` = first node of the inside chain.
//        A group that holds a single value item is not made: (x) is x.
//   'L'  list (a;b;c): `count` items, `list` = index in FrontTables::lists
//        of `count` words, the first node of each item's chain, in
//        left-to-right order. Evaluate right to left into a General vector.
//   'X'  bracket index, applied to the current value (the value item it
//        follows): `count` index expressions at lists[list ...], left to
//        right, -1 for an elided one (x[;2]).
//   'M'  multiple assignment (a;b)<-v: `count` 'Z' nodes at lists[list ...],
//        left to right, each a chain of one node.
//
// A value item is a chain segment that yields one value: 'C', 'V', 'G',
// 'L' or a niladic 'F', followed by any 'X' nodes that index it (x[1][2]).
// When a function has a left operand, that segment is cut out of the line's
// chain and hangs from entry.left; the function node takes its place.
// Examples (-> is `next`):
//   1+2*3        3 -> F(*, left 2) -> F(+, left 1)
//   a<-b[1]+2    2 -> F(+, left: b -> X[1]) -> Z(a)
//   (a;b)<-f 3   3 -> F(f) -> M[Z(a), Z(b)]
//   x[2]<-5      5 -> Z(x, index list [2])
//   t.col        C(`col) -> F(754, left t)
//   ([k:1 2] v:3 4)   G[ L[C(1), C(1 2), C(3 4)] -> F(table literal, left C(`k`v)) ]
//                the list's first item counts the key columns
//
// A line that starts with "->" is a branch line: the chain computes the
// branch value and TranslatedLine::branch is set. A function line may start
// with a label "name:"; it is reported and skipped.
#include <cstddef>
#include <string_view>

#include "values/rc.h"

namespace wox::frontend {

struct FrontEnd;

struct TranslatedLine {
    int first = -1;        // rightmost node, where evaluation starts; -1: nothing to run
    int last = -1;         // node evaluated last, the line's leftmost operation
    bool branch = false;   // the line starts with "->"
    int branchEntry = 0;   // branch-table entry of a branch line
    int labelStart = -1;   // a leading label is text[labelStart, labelEnd)
    int labelEnd = -1;
    int errorPos = 0;      // on failure: where the caret goes
};

// Translates one line. ownerFunction is the function slot whose body line
// this is, or -1 for a session line; lineNumber is recorded in the branch
// entry of a branch line. On failure nothing the line made stays in the
// node, entry, constant, branch and list tables (names it created stay, as
// names are made when first seen).
Rc translateLine(const FrontEnd& fe, std::string_view text, int ownerFunction, int lineNumber, TranslatedLine* out);

// Whether a label (a name, blanks, ":") starts at pos; *end is the position
// after the ":".
bool isLabel(std::string_view text, std::size_t pos, std::size_t* nameEnd, std::size_t* end);

}  // namespace wox::frontend
