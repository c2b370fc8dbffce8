#include "primitives/argument_digest.h"

#include <cstring>

#include "values/narrowing.h"
#include "values/shape.h"

namespace wox::primitives {

namespace {

ArgumentSide readSide(const values::Workspace& ws, ValueRef r) {
    const ValueDescriptor& d = ws.at(r);
    ArgumentSide s;
    s.ref = r;
    s.type = d.type;
    s.rank = d.rank;
    s.count = d.count;
    if (d.unset()) return s;
    s.single = d.rank == 0 || (d.rank == 1 && d.count == 1);
    s.dim0 = d.shape0;
    s.dim1 = d.shape1;
    if (isInline(d)) {
        if (d.type == kFloat) {
            s.inlineDouble = inlineFloat(d);
        } else if (d.type == kChar) {
            std::memcpy(&s.inlineChar, &d.shape0, 1);
        } else if (d.type == kTemporal) {
            s.inlineWord = inlineWord(d);
        } else {
            s.inlineInt = d.shape0;
        }
    } else if (d.count > 0) {
        s.offset = d.data;
        s.elements = ws.base() + d.data;
    }
    return s;
}

ArgumentSide absentSide() {
    ArgumentSide s;
    s.rank = -1;
    return s;
}

}  // namespace

ValueDescriptor ArgumentSide::shape() const {
    ValueDescriptor d;
    d.type = type;
    d.rank = rank;
    d.count = count;
    if (rank >= 2) {
        d.shape0 = dim0;
        d.shape1 = dim1;
    }
    return d;
}

void ArgumentDigest::refresh(const values::Workspace& ws) {
    for (ArgumentSide* s : {&left, &right}) {
        if (!s->hasBlock()) continue;
        // A result slot that is also an argument has had its descriptor
        // rewritten; its old block is on the stack, which never moves.
        if (s->ref != varRef(result)) s->offset = ws.at(s->ref).data;
        s->elements = ws.base() + s->offset;
    }
}

ArgumentDigest digestMonadic(const values::Workspace& ws, int result, ValueRef right) {
    ArgumentDigest g;
    g.left = absentSide();
    g.right = readSide(ws, right);
    g.result = result;
    g.resultRank = g.right.rank;
    g.resultCount = g.right.count;
    g.resultSingle = g.right.single;
    g.shapeFromRight = true;
    return g;
}

ArgumentDigest digestDyadic(const values::Workspace& ws, int result, ValueRef left, ValueRef right) {
    ArgumentDigest g;
    g.left = readSide(ws, left);
    g.right = readSide(ws, right);
    g.result = result;
    return g;
}

Rc prepareResult(values::Context& cx, ArgumentDigest& g, std::int32_t type) {
    values::Workspace& ws = cx.ws;
    ValueDescriptor shape = (g.shapeFromRight ? g.right : g.left).shape();
    shape.rank = g.resultRank;
    shape.count = g.resultCount;
    ValueDescriptor& d = ws.var(g.result);
    if (g.resultRank >= 2) {
        if (Rc rc = values::copyShape(ws, d, shape); rc.failed()) return cx.fail(rc.code);
    } else {
        d.rank = g.resultRank;
        d.count = g.resultCount;
        d.shape0 = g.resultRank == 1 && !g.resultSingle ? g.resultCount : 0;
        d.shape1 = 0;
    }
    d.reserved = 0;
    if (g.resultCount == 0) type = kInteger;
    d.type = type;
    if (g.resultSingle || g.resultCount == 0) {
        d.blockSize = 0;
        d.data = 0;
    } else {
        g.stackMark = ws.stackTop;
        if (Rc rc = ws.allocTemp(g.result, type, g.resultCount, /*zero*/ false); rc.failed())
            return cx.fail(rc.code);
    }
    g.resultType = type;
    g.refresh(ws);
    return kOk;
}

Rc retypeResult(values::Context& cx, ArgumentDigest& g, std::int32_t type) {
    // Nothing was taken from the stack since the block being dropped.
    cx.ws.stackTop = g.stackMark;
    if (Rc rc = cx.ws.allocTemp(g.result, type, g.resultCount, /*zero*/ false); rc.failed()) return cx.fail(rc.code);
    cx.ws.var(g.result).type = type;
    g.resultType = type;
    g.refresh(cx.ws);
    return kOk;
}

namespace {
ValueDescriptor& singleResult(values::Context& cx, const ArgumentDigest& g, std::int32_t type) {
    ValueDescriptor& d = cx.ws.var(g.result);
    d.type = type;
    d.rank = g.resultRank;
    d.count = 1;
    d.blockSize = 0;
    d.reserved = 0;
    d.data = 0;
    return d;
}
}  // namespace

void storeSingleInt(values::Context& cx, const ArgumentDigest& g, std::int32_t type, std::int32_t v) {
    setInlineInt(singleResult(cx, g, type), v);
}

void storeSingleNumber(values::Context& cx, const ArgumentDigest& g, double v) {
    if (values::fitsInteger(v)) {
        setInlineInt(singleResult(cx, g, kInteger), values::toIntegerElement(v));
    } else {
        setInlineFloat(singleResult(cx, g, kFloat), v);
    }
}

}  // namespace wox::primitives
