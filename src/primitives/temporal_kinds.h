#pragma once
// One temporal kind per array. Every word of a Temporal array carries the
// kind of its first, so arithmetic moves all items by the same unit. The
// functions that join temporal values check the words they bring together
// with one pass per argument, before any element moves; the copy loops then
// stay free of kind tests.
#include <cstdint>

#include "values/messages.h"
#include "values/rc.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::primitives {

// What a run of words holds: no kind (empty), one kind, or several.
inline constexpr std::int32_t kNoKind = 0;
inline constexpr std::int32_t kMixedKinds = -1;

// The kind all n words share: kNoKind for none, kMixedKinds when they differ.
std::int32_t kindOfWords(const std::int64_t* words, std::int64_t n);

// kindOfWords over a value's elements; kNoKind for a value that is not
// Temporal, which joins with any kind.
std::int32_t kindOfValue(const values::Workspace& ws, const ValueDescriptor& d);

// The kind of a Temporal value read from its first word alone (kNoKind when
// empty): a stored value is one kind already.
std::int32_t firstKind(const values::Workspace& ws, const ValueDescriptor& d);

// The kind of two runs joined: an empty side takes the other's kind; kinds
// that differ give kMixedKinds, which stays mixed.
std::int32_t joinKinds(std::int32_t a, std::int32_t b);

// A domain error when two kinds cannot share one array.
inline Rc sameKind(std::int32_t a, std::int32_t b) { return joinKinds(a, b) == kMixedKinds ? Rc{kDomainError} : kOk; }

// The fill word of a Temporal array of a kind: that kind's origin. An array
// with no element has no kind; it fills with dates.
std::int64_t temporalFillWord(std::int32_t kind);

}  // namespace wox::primitives
