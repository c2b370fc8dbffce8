// Grade up and down: the checks of the primitive, and the permutation
// from the numeric library's sorts.
#include "primitives/grade.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <span>
#include <vector>

#include "numeric/sorting.h"
#include "primitives/heap_scratch.h"
#include "primitives/index_origin.h"
#include "primitives/structural_result.h"
#include "primitives/symbol_order.h"
#include "types/temporal.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

Rc grade(values::Context& cx, int code, int result, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (y.d.rank == 0) return kRankError;
    const bool temporal = y.d.type == kTemporal;
    const bool symbols = y.d.type == kSymbol;
    if ((y.d.type < kBoolean || y.d.type > kChar) && !temporal && !symbols) return kDomainError;
    // Temporal words order chronologically only within one kind.
    if (temporal && !isInline(y.d) && !types::oneTemporalKind(y.as<types::TemporalWord>(ws), y.d.count))
        return kDifferentTimeFormats;
    const std::int32_t rows = y.dim(ws, 0);
    // An array without elements still has rows, and they are all equal.
    const std::int64_t rowLength = rows > 0 ? y.d.count / rows : 0;
    char* bytes;
    WOX_TRY(makeVector(ws, result, kInteger, rows, &bytes));
    y.refresh(ws, result);
    auto dir = code == vocabulary::code::kGradeDown ? numeric::Direction::Down : numeric::Direction::Up;
    // The sort's memory need not fit the heap.
    HeapScratch scratch(ws, HeapScratch::Beyond::System);
    if (symbols) {
        // Symbols sort as the alphabetical ranks of their names.
        std::vector<std::int32_t> ranks;
        try {
            const std::span<const std::int32_t> e(y.as<std::int32_t>(ws), static_cast<std::size_t>(y.d.count));
            std::vector<std::int32_t> rankOf;
            WOX_TRY(alphabeticalRanks(cx, e, {}, rankOf));
            ranks.resize(e.size());
            for (std::size_t i = 0; i < e.size(); ++i) ranks[i] = rankOf[static_cast<std::size_t>(e[i])];
        } catch (const std::bad_alloc&) {
            return kWorkspaceFull;
        }
        return numeric::gradeRows(ranks.data(), kInteger, reinterpret_cast<std::int32_t*>(bytes), origin, rows,
                                  rowLength, dir, scratch.scratch(), &cx.interruptRequested);
    }
    return numeric::gradeRows(y.bytes(ws), y.d.type, reinterpret_cast<std::int32_t*>(bytes), origin, rows, rowLength,
                              dir, scratch.scratch(), &cx.interruptRequested);
}

}  // namespace wox::primitives
