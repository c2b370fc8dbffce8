#pragma once
// Rewriting of the structured control words of a function body into plain
// lines with labels and branches, so that the scanner and the engine never
// see a control word. Labels are "L1", "L2", ... afresh for every function;
// the names the rewriting invents (idx_v7, idx_l7, idx_i7 for list loops,
// idx_s7, idx_d7, idx_e7 for the step, direction and end of a range loop,
// CS8 for case selectors) are numbered from a pseudo-random start, one number
// per loop or case, so that the names of different functions rarely coincide.
//
//   if (cond) body                 ->(~cond)/La; body; La:
//   if (cond) body else body2      ->(~cond)/La; body; ->Lb; La:; body2; Lb:
//   while (cond) body              Lt:->(~cond)/Le; body; ->Lt; Le:
//   for (v: start; end; step) body v<-(start)-step; Lt:->((end)<v<-v+step)/Le;
//                                  body; ->Lt; Le:          (step 1 when absent)
//                                  a negative literal step tests (end)>v; any
//                                  other step is kept and its direction taken
//                                  when the loop starts (a zero step is a
//                                  domain error): idx_sN<-step;
//                                  idx_dN<-1 0=~(1+*idx_sN)%2; v<-(start)-idx_sN;
//                                  Lt:->(idx_dN/(v<idx_eN),(idx_eN<-end)<v<-v+idx_sN)/Le;
//   for (v: list) body             idx_vN<-list; ->(0<##idx_vN)/Lr;
//                                  idx_vN<-,idx_vN; Lr:idx_lN<-#idx_vN;
//                                  idx_iN<-_1; Lt:->(idx_lN<=idx_iN<-idx_iN+1)/Le;
//                                  v<-idx_vN[idx_iN+[]IO]; body; ->Lt; Le:
//                                  (a scalar is a list of one item)
//   case (sel) {(v1) body1; (v2) body2; else body3}
//                                  CSN<-sel; ->(~CSN?(v1))/L2; body1; ->Le;
//                                  L2:->(~CSN?(v2))/L3; body2; ->Le; L3:; body3; Le:
//                                  (the first alternative whose values hold the
//                                  selector runs; else, if present, comes last)
//   break / continue               ->Le / ->Lt of the innermost loop
//
// A body is a block in braces, which may span several statements and lines,
// or the one statement that follows. Control words count only at the start of
// a statement; "if", "while", "for" and "case" must be followed by "(". The
// top label of every loop is its exit label minus one, so continue is "->"
// to exit - 1 and a list loop steps its index at the top. An error on a line
// that a for statement wrote is shown on that statement (LineOrigin).
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "frontend/tagged_line.h"
#include "values/rc.h"

namespace wox::frontend {

// Where a line the rewriting of a for statement wrote comes from, so that
// an error on it can be shown on the statement the user wrote: the
// statement (an index of list 2), the column the line stands for as a
// whole, and the pieces of the line copied from the statement.
struct LineOrigin {
    struct Piece {
        int lineColumn = 0;       // where the piece starts in the line
        int statementColumn = 0;  // and in the statement
        int length = 0;
        bool operator==(const Piece&) const = default;
    };
    int statement = -1;  // -1: the line is the user's own, or another construct's
    int column = 0;
    std::vector<Piece> pieces;

    bool operator==(const LineOrigin&) const = default;
};

struct ControlRewrite {
    std::vector<TaggedLine> lines;  // each carries the tag of the statement it came from
    std::vector<LineOrigin> origins;  // one per line
    std::vector<std::string> generatedNames;  // assigned by the rewritten lines: make them locals
    int errorTag = -1;  // on failure, the tag of the statement that could not be rewritten
};

// Where the pseudo-random start of the name numbers comes from; injectable so
// that tests see fixed names.
using RandomSource = std::function<std::uint32_t()>;
inline constexpr int kNameNumberSpread = 30;

// The first name number of a rewriting: 1 to 30.
int firstNameNumber(const RandomSource& random);

// Rewrites the body statements (list 2 without its header). A malformed
// control statement, a brace out of place, or break/continue outside a loop
// is error 23 ("defn error").
Rc rewriteControl(std::span<const TaggedLine> body, int firstNameNumber, ControlRewrite& out);

}  // namespace wox::frontend
