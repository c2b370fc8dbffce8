#include "frontend/branch_shape.h"

#include "frontend/front_tables.h"
#include "vocabulary/vocabulary.h"
#include "values/workspace.h"

namespace wox::frontend {

namespace {

namespace code = vocabulary::code;

const ParseNode& nodeAt(const FrontTables& ft, int n) { return ft.nodes[static_cast<std::size_t>(n)]; }

// A constant node holding one Boolean or Integer: a line number.
bool lineNumberConstant(const FrontTables& ft, const values::Workspace& ws, int n, std::int32_t* target) {
    const ParseNode& node = nodeAt(ft, n);
    if (node.kind != kConstNode) return false;
    const ValueDescriptor& d = ws.at(node.operand);
    if ((d.type != kBoolean && d.type != kInteger) || !isInline(d)) return false;
    *target = inlineInt(d);
    return true;
}

// An application of a primitive: monadic with `monadic`, or dyadic with
// `dyadic`; no each operand.
bool appliesPrimitive(const FrontTables& ft, const ParseNode& node, bool dyadic, int codeWanted) {
    if (node.kind != kCallNode || node.list >= 0) return false;
    const FunctionEntry& e = ft.entries[static_cast<std::size_t>(node.operand)];
    if (e.kind != kPrimitiveFn || (e.left >= 0) != dyadic) return false;
    return (dyadic ? e.dyadic : e.monadic) == codeWanted;
}

}  // namespace

void recogniseBranchShape(const FrontTables& ft, const values::Workspace& ws, BodyLine& line) {
    line.shape = LineShape::kPlain;
    if (!line.branch || line.first < 0) return;
    std::int32_t target = 0;
    if (!lineNumberConstant(ft, ws, line.first, &target)) return;
    const ParseNode& head = nodeAt(ft, line.first);
    if (head.next == -1) {
        line.shape = LineShape::kJump;
        line.target = target;
        return;
    }
    // (c)/L or (~c)/L: the compress is the line's last node, its left
    // operand a group.
    const ParseNode& compress = nodeAt(ft, head.next);
    if (compress.next != -1 || !appliesPrimitive(ft, compress, true, code::kCompress)) return;
    const ParseNode& group = nodeAt(ft, ft.entries[static_cast<std::size_t>(compress.operand)].left);
    if (group.kind != kGroupNode || group.next != -1 || group.list < 0) return;
    int condFirst = group.list;
    int notNode = -1;
    for (int n = condFirst; n != -1; n = nodeAt(ft, n).next) {
        if (nodeAt(ft, n).next == -1) notNode = n;
    }
    line.target = target;
    line.condFirst = condFirst;
    if (notNode != condFirst && appliesPrimitive(ft, nodeAt(ft, notNode), false, code::kNot)) {
        line.shape = LineShape::kBranchUnless;
        line.notNode = notNode;
    } else {
        line.shape = LineShape::kBranchIf;
        line.notNode = -1;
    }
}

}  // namespace wox::frontend
