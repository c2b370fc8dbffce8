#include "frontend/pair_shape.h"

#include "frontend/front_tables.h"
#include "primitives/single_scalars.h"

namespace wox::frontend {

namespace {

const ParseNode& nodeAt(const FrontTables& ft, int n) { return ft.nodes[static_cast<std::size_t>(n)]; }

bool loneOperand(const FrontTables& ft, int n) {
    const ParseNode& node = nodeAt(ft, n);
    return node.next == -1 && (node.kind == kConstNode || node.kind == kVarNode);
}

// The call node of a f b starting at `first` (b), or -1.
int pairAt(const FrontTables& ft, int first) {
    const ParseNode& right = nodeAt(ft, first);
    if (right.kind != kConstNode && right.kind != kVarNode) return -1;
    if (right.next < 0) return -1;
    const ParseNode& op = nodeAt(ft, right.next);
    if (op.kind != kCallNode || op.list >= 0) return -1;
    const FunctionEntry& e = ft.entries[static_cast<std::size_t>(op.operand)];
    if (e.kind != kPrimitiveFn || e.left < 0 || !loneOperand(ft, e.left)) return -1;
    if (!primitives::singleDyadic(e.dyadic)) return -1;
    return right.next;
}

// The assignment node that ends a plain line after node `op`, or -1.
int finalAssign(const FrontTables& ft, int op) {
    const int z = nodeAt(ft, op).next;
    if (z < 0) return -1;
    const ParseNode& assign = nodeAt(ft, z);
    if (assign.kind != kAssignNode || assign.list >= 0 || assign.next != -1) return -1;
    return z;
}

// Records the pair whose call node is op and whose b is node `first`.
void setPair(const FrontTables& ft, BodyLine& line, int op, int first) {
    const FunctionEntry& e = ft.entries[static_cast<std::size_t>(nodeAt(ft, op).operand)];
    line.pairOp = op;
    line.pairFirst = first;
    line.pairLeft = e.left;
    line.pairSingle = primitives::singleDyadic(e.dyadic);
}

}  // namespace

void recogniseCallShape(const FrontTables& ft, BodyLine& line) {
    line.callOp = -1;
    if (line.shape != LineShape::kPlain || line.branch || line.first < 0) return;
    const ParseNode& right = nodeAt(ft, line.first);
    if (right.kind != kConstNode && right.kind != kVarNode) return;
    if (right.next < 0) return;
    const ParseNode& op = nodeAt(ft, right.next);
    if (op.kind != kCallNode || op.list >= 0) return;
    const FunctionEntry& e = ft.entries[static_cast<std::size_t>(op.operand)];
    if (e.kind != kDefinedFn || e.left >= 0) return;
    if (finalAssign(ft, right.next) < 0) return;
    line.callOp = right.next;
}

void recogniseLeafPair(const FrontTables& ft, DefinedFunction& df) {
    using Leaf = DefinedFunction::LeafOperand;
    df.leafLeft = df.leafRight = Leaf{};
    if (df.lines.size() != 1 || df.resultEntry < 0 || df.ioEntry >= 0 || df.rlEntry >= 0 || !df.freeVariables.empty())
        return;
    const BodyLine& line = df.lines[0];
    if (line.shape != LineShape::kPlain || line.branch || line.pairOp < 0 || !line.pairSingle) return;
    if (nodeAt(ft, nodeAt(ft, line.pairOp).next).local != df.resultEntry) return;
    // A lone argument name, bound whole (not a list of names), or a constant.
    auto source = [&](int n) {
        const ParseNode& node = nodeAt(ft, n);
        if (node.kind == kConstNode) return Leaf{Leaf::kConstant, node.operand};
        if (node.kind != kVarNode || node.local < 0) return Leaf{};
        if (df.rightEntries.size() == 1 && !df.header.rightIsList && node.local == df.rightEntries[0])
            return Leaf{Leaf::kRightArgument, 0};
        if (df.leftEntries.size() == 1 && !df.header.leftIsList && node.local == df.leftEntries[0])
            return Leaf{Leaf::kLeftArgument, 0};
        return Leaf{};
    };
    const Leaf a = source(line.pairLeft), b = source(line.pairFirst);
    if (a.from == Leaf::kNone || b.from == Leaf::kNone) return;
    df.leafLeft = a;
    df.leafRight = b;
}

void recognisePairShape(const FrontTables& ft, BodyLine& line) {
    line.pairOp = -1;
    line.pairFirst = -1;
    line.pairLeft = -1;
    line.pairSingle = nullptr;
    switch (line.shape) {
        case LineShape::kPlain: {
            if (line.branch || line.first < 0) return;
            int op = pairAt(ft, line.first);
            if (op < 0) return;
            if (finalAssign(ft, op) < 0) return;
            setPair(ft, line, op, line.first);
            return;
        }
        case LineShape::kBranchUnless:
        case LineShape::kBranchIf: {
            // (a f b), as the control words write a condition: the group's
            // value is that of its chain.
            int first = line.condFirst, end = line.notNode;
            if (const ParseNode& c = nodeAt(ft, first); c.kind == kGroupNode && c.list >= 0 && c.next == end) {
                first = c.list;
                end = -1;
            }
            int op = pairAt(ft, first);
            if (op < 0 || nodeAt(ft, op).next != end) return;
            setPair(ft, line, op, first);
            return;
        }
        case LineShape::kJump:
            return;
    }
}

}  // namespace wox::frontend
