#pragma once
// What the structural functions share: a snapshot of an argument that stays
// readable after the result is allocated, the making of a result of a given
// shape, and the reading of the index origin.
//
// The structural functions move elements without looking at them, so they
// treat every simple type as raw bytes of the type's stride; General values
// move item descriptors, whose blocks are then copied by ownTempItems.
#include <cstdint>
#include <functional>

#include "primitives/index_origin.h"
#include "values/shaped_result.h"
#include "primitives/small_dims.h"
#include "values/context.h"
#include "values/messages.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

// An argument read once. The snapshot keeps inline elements and the shape;
// after an allocation, bytes() re-reads the block offset (a result written
// into the argument's own slot leaves its old block on the stack, which
// never moves).
struct Arg {
    ValueRef ref = 0;
    ValueDescriptor d;
    std::uint32_t offset = 0;

    Arg(const values::Workspace& ws, ValueRef r);
    bool single() const { return d.rank == 0 || (d.rank == 1 && d.count == 1); }
    std::int32_t dim(const values::Workspace& ws, int k) const;
    SmallDims dims(const values::Workspace& ws) const;
    // Re-reads the element address after an allocation into slot `result`.
    void refresh(const values::Workspace& ws, int result);
    const char* bytes(const values::Workspace& ws) const;
    template <class T>
    const T* as(const values::Workspace& ws) const { return reinterpret_cast<const T*>(bytes(ws)); }
};

// Simple types move as raw bytes; General moves descriptors.
inline bool isSimple(std::int32_t type) { return type >= kBoolean && type <= kTemporal && type != kGeneral; }
inline bool isMovable(std::int32_t type) { return type >= kBoolean && type <= kTemporal; }
inline bool isIntegralType(std::int32_t type) { return type == kBoolean || type == kInteger; }

// A left argument of counts, axes or a mask: integral (else a domain error),
// a scalar or a vector (else a rank error).
inline Rc integralList(const Arg& x) {
    if (!isIntegralType(x.d.type)) return kDomainError;
    return x.d.rank > 1 ? Rc{kRankError} : kOk;
}

// The number of 1s of an integral argument whose elements must all be 0 or
// 1; any other element is a domain error.
Rc countOnes(const values::Workspace& ws, const Arg& b, std::int64_t* ones);

inline Rc makeVector(values::Workspace& ws, int result, std::int32_t type, std::int64_t n, char** out) {
    if (n > values::kMaxElements) return kWorkspaceFull;
    std::int32_t d = static_cast<std::int32_t>(n);
    return values::makeResult(ws, result, type, &d, 1, out);
}

// Copies the result's General items into blocks of their own; `fill`
// writes them as plain descriptor copies (see values::ownTempItems).
Rc ownItems(values::Workspace& ws, int result, const std::function<void()>& fill);

// The fill element of an argument: 0, a blank, an empty item, or for a
// Temporal argument the origin of its kind. Read before the result is made.
struct Fill {
    std::int32_t type = 0;
    std::int64_t word = 0;  // the Temporal fill
};
Fill fillOf(const values::Workspace& ws, const Arg& y);

// Writes n fill elements as raw bytes.
void writeFill(const Fill& fill, char* out, std::int64_t n);
// The fill of a type alone; a Temporal one, with no argument to take its
// kind from, fills with dates.
void writeFill(std::int32_t type, char* out, std::int64_t n);

}  // namespace wox::primitives
