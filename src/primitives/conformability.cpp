#include "primitives/conformability.h"

#include "values/messages.h"

namespace wox::primitives {

namespace {

bool sameDimensions(const values::Workspace& ws, const ArgumentSide& a, const ArgumentSide& b) {
    if (a.rank == 1) return a.count == b.count;
    if (a.rank == 0) return true;
    if (a.dim0 != b.dim0) return false;
    if (a.rank == 2) return a.dim1 == b.dim1;
    for (int k = 0; k < a.rank - 1; ++k)
        if (ws.gList[a.dim1 + k] != ws.gList[b.dim1 + k]) return false;
    return true;
}

}  // namespace

Rc conformabilityCheck(const values::Workspace& ws, ArgumentDigest& g) {
    const ArgumentSide& a = g.left;
    const ArgumentSide& b = g.right;
    if (!a.single && !b.single) {
        if (a.rank != b.rank) return kRankError;
        if (!sameDimensions(ws, a, b)) return kLengthError;
    }
    g.resultRank = a.rank > b.rank ? a.rank : b.rank;
    g.shapeFromRight = a.single;
    g.resultCount = a.single ? b.count : a.count;
    g.resultSingle = g.resultRank == 0 || (g.resultRank == 1 && g.resultCount == 1);
    return kOk;
}

}  // namespace wox::primitives
