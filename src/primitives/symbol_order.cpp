#include "primitives/symbol_order.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "values/messages.h"
#include "values/symbol_names.h"
#include "vocabulary/vocabulary.h"

namespace wox::primitives {

Rc alphabeticalRanks(const values::Context& cx, std::span<const std::int32_t> a, std::span<const std::int32_t> b,
                     std::vector<std::int32_t>& rankOf) {
    try {
        std::int32_t top = -1;
        for (auto run : {a, b})
            for (std::int32_t i : run) {
                if (i < 0) return kDomainError;
                top = std::max(top, i);
            }
        rankOf.assign(static_cast<std::size_t>(top + 1), -1);
        std::vector<std::int32_t> present;
        for (auto run : {a, b})
            for (std::int32_t i : run)
                if (rankOf[static_cast<std::size_t>(i)] < 0) {
                    rankOf[static_cast<std::size_t>(i)] = 0;
                    present.push_back(i);
                }
        auto name = [&cx](std::int32_t i) { return cx.symbolNames ? cx.symbolNames->name(i) : std::string_view(); };
        // char_traits<char> compares bytes as unsigned, as the order asks.
        std::sort(present.begin(), present.end(), [&](std::int32_t x, std::int32_t y) { return name(x) < name(y); });
        for (std::size_t r = 0; r < present.size(); ++r)
            rankOf[static_cast<std::size_t>(present[r])] = static_cast<std::int32_t>(r);
    } catch (const std::bad_alloc&) {
        return kWorkspaceFull;
    }
    return kOk;
}

namespace {

template <class Cmp>
void compareRanks(const std::vector<std::int32_t>& rankOf, std::span<const std::int32_t> a,
                  std::span<const std::int32_t> b, std::int32_t* out, std::int64_t n, Cmp cmp) {
    const std::size_t sa = a.size() == 1 ? 0 : 1, sb = b.size() == 1 ? 0 : 1;
    for (std::int64_t i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        out[i] = cmp(rankOf[static_cast<std::size_t>(a[k * sa])], rankOf[static_cast<std::size_t>(b[k * sb])]);
    }
}

}  // namespace

Rc compareSymbolNames(const values::Context& cx, int code, std::span<const std::int32_t> a,
                      std::span<const std::int32_t> b, std::int32_t* out, std::int64_t n) {
    std::vector<std::int32_t> rankOf;
    WOX_TRY(alphabeticalRanks(cx, a, b, rankOf));
    using R = std::int32_t;
    switch (code) {
        case vocabulary::code::kLess: compareRanks(rankOf, a, b, out, n, [](R x, R y) { return x < y; }); break;
        case vocabulary::code::kLessEqual: compareRanks(rankOf, a, b, out, n, [](R x, R y) { return x <= y; }); break;
        case vocabulary::code::kGreaterEqual:
            compareRanks(rankOf, a, b, out, n, [](R x, R y) { return x >= y; });
            break;
        case vocabulary::code::kGreater: compareRanks(rankOf, a, b, out, n, [](R x, R y) { return x > y; }); break;
        case vocabulary::code::kNotEqual: compareRanks(rankOf, a, b, out, n, [](R x, R y) { return x != y; }); break;
        default: compareRanks(rankOf, a, b, out, n, [](R x, R y) { return x == y; }); break;
    }
    return kOk;
}

}  // namespace wox::primitives
