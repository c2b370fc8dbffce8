#pragma once
// The argument digest: what a primitive reads from its argument descriptors
// once per call, so that its element loops never look at a descriptor again.
//
// Arguments are read in their own element types: the loops convert each
// element as they go, so no converted copy of an argument is ever built.
//
// Element addresses are heap offsets turned into pointers; an allocation can
// compact the heap and move owned blocks, so after allocating the result a
// routine calls refresh() before touching argument elements again.
#include <cstdint>

#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

struct ArgumentSide {
    ValueRef ref = 0;
    std::int32_t type = 0;
    std::int32_t rank = 0;
    std::int32_t count = 0;
    // A scalar or one-element vector: it extends to any shape, and (except
    // for Complex and the descriptor types) its element is inline.
    bool single = false;
    std::int32_t inlineInt = 0;   // Boolean, Integer, Symbol, Enumeration
    std::int64_t inlineWord = 0;  // Temporal
    double inlineDouble = 0;      // Float
    char inlineChar = 0;          // Char
    std::uint32_t offset = 0;     // heap offset of the element block, when there is one
    const void* elements = nullptr;
    std::int32_t dim0 = 0;        // shape word 0: rows
    std::int32_t dim1 = 0;        // shape word 1: columns, or the dimension run's gList index

    bool present() const { return rank >= 0; }
    bool hasBlock() const { return elements != nullptr; }
    template <class T>
    const T* block() const { return static_cast<const T*>(elements); }
    // The descriptor's shape, for copying into a result.
    ValueDescriptor shape() const;
};

struct ArgumentDigest {
    ArgumentSide left;   // absent (rank -1) for a monadic call
    ArgumentSide right;
    int result = 0;      // variable slot of the result, always a temporary
    std::int32_t resultType = 0;
    std::int32_t resultRank = 0;
    std::int32_t resultCount = 0;
    bool resultSingle = false;
    // The side whose shape the result takes (the conformability rule).
    bool shapeFromRight = true;
    std::uint32_t stackMark = 0;  // stack top before the result's block

    // Re-derives element pointers after an allocation may have moved blocks.
    void refresh(const values::Workspace& ws);
};

ArgumentDigest digestMonadic(const values::Workspace& ws, int result, ValueRef right);
ArgumentDigest digestDyadic(const values::Workspace& ws, int result, ValueRef left, ValueRef right);

// Gives the result slot its type, rank, count and shape, and a block on the
// stack unless the result is empty or single (a single result is written
// inline by storeSingle*). An empty result is an Integer whatever `type` is.
// Refreshes the digest. Fails with 6 (workspace full) or 9 (gList full).
Rc prepareResult(values::Context& cx, ArgumentDigest& g, std::int32_t type);

// Drops the result's block and gives the result a block of another type in
// its place, as when Integer results turn out to need Float.
Rc retypeResult(values::Context& cx, ArgumentDigest& g, std::int32_t type);

// The result's element block (valid after prepareResult for a result that
// is neither empty nor single).
template <class T>
T* resultBlock(values::Context& cx, const ArgumentDigest& g) {
    return reinterpret_cast<T*>(cx.ws.base() + cx.ws.var(g.result).data);
}

// Give the result slot a single result with its element inline: an element
// of the given type, or a number narrowed to Integer when it is one.
void storeSingleInt(values::Context& cx, const ArgumentDigest& g, std::int32_t type, std::int32_t v);
void storeSingleNumber(values::Context& cx, const ArgumentDigest& g, double v);


}  // namespace wox::primitives
