// Roll ?.y and deal x?.y: the multiplicative congruential generator with
// multiplier 16807 and modulus 2^31-1, whose state the interpreter keeps.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "primitives/grade.h"
#include "primitives/index_origin.h"
#include "values/shaped_result.h"
#include "primitives/structural_result.h"
#include "values/interrupt_poll.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

constexpr std::int64_t kModulus = 2147483647;
constexpr std::int64_t kMultiplier = 16807;

// []RL must be a one-element Boolean or Integer value, though it does not
// seed the generator.
Rc checkLink(const values::Workspace& ws, ValueRef link) {
    const ValueDescriptor& d = ws.at(link);
    if (d.unset() || !isIntegralType(d.type) || d.count != 1 || d.rank > 1) return kRandomLinkError;
    return kOk;
}

// Draws until `count` distinct values are collected, in the order drawn;
// false when the user asks to stop first (a deal of nearly all of a large
// range takes many draws).
bool drawDistinct(std::int32_t* out, std::int32_t count, std::int32_t range, int origin, std::uint64_t* bits,
                  std::int32_t& state, values::InterruptPoll& poll) {
    for (std::int32_t k = 0; k < count;) {
        if (poll.stop()) return false;
        state = nextRandomState(state);
        std::int32_t v = drawBelow(state, range);
        if (bits) {
            std::uint64_t& w = bits[v / 64];
            std::uint64_t bit = std::uint64_t{1} << (v % 64);
            if (w & bit) continue;
            w |= bit;
        }
        out[k++] = origin + v;
    }
    return true;
}

}  // namespace

std::int32_t nextRandomState(std::int32_t state) {
    std::int64_t s = (static_cast<std::int64_t>(state) * kMultiplier) % kModulus;
    return s == 0 ? static_cast<std::int32_t>(kMultiplier) : static_cast<std::int32_t>(s);
}

std::int32_t drawBelow(std::int32_t state, std::int32_t n) {
    return static_cast<std::int32_t>(static_cast<double>(state) / static_cast<double>(kModulus) * n);
}

Rc roll(values::Context& cx, int result, ValueRef right, ValueRef io, RandomSource rs) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    WOX_TRY(checkLink(ws, rs.link));
    if (!isIntegralType(y.d.type)) return kDomainError;
    const std::int32_t* n = y.as<std::int32_t>(ws);
    for (std::int32_t i = 0; i < y.d.count; ++i)
        if (n[i] <= 0) return kDomainError;
    std::vector<std::int32_t> dims = values::dimensionsOf(ws, y.d);
    char* bytes;
    WOX_TRY(values::makeResult(ws, result, kInteger, dims.data(), y.d.rank, &bytes));
    y.refresh(ws, result);
    n = y.as<std::int32_t>(ws);
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    std::int32_t state = *rs.state;
    for (std::int32_t i = 0; i < y.d.count; ++i) {
        state = nextRandomState(state);
        out[i] = origin + drawBelow(state, n[i]);
    }
    *rs.state = state;
    return kOk;
}

Rc deal(values::Context& cx, int result, ValueRef left, ValueRef right, ValueRef io, RandomSource rs) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left), y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    WOX_TRY(checkLink(ws, rs.link));
    if (!isIntegralType(x.d.type) || !isIntegralType(y.d.type)) return kDomainError;
    if (!x.single() || !y.single()) return kLengthError;
    const std::int32_t count = x.as<std::int32_t>(ws)[0];
    const std::int32_t range = y.as<std::int32_t>(ws)[0];
    if (count < 0 || count > range || (range == 0 && count > 0)) return kDomainError;

    // A value met before is drawn again; only whether it was met matters,
    // so a bit table of the values drawn gives the same sequence as
    // comparing with each of them. calloc's zero pages are touched only
    // where values fall, so even a table of 2^31 bits is cheap.
    std::uint64_t* bits = nullptr;
    if (count > 1) {
        bits = static_cast<std::uint64_t*>(std::calloc(static_cast<std::size_t>(range) / 64 + 1, sizeof(std::uint64_t)));
        if (!bits) return kWorkspaceFull;
    }
    struct Release {
        std::uint64_t* p;
        ~Release() { std::free(p); }
    } release{bits};

    char* bytes;
    WOX_TRY(makeVector(ws, result, kInteger, count, &bytes));
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    // A deal that is stopped leaves the generator as it was.
    std::int32_t state = *rs.state;
    values::InterruptPoll poll(&cx.interruptRequested);
    if (!drawDistinct(out, count, range, origin, bits, state, poll)) return kInterrupted;
    *rs.state = state;
    return kOk;
}

}  // namespace wox::primitives
