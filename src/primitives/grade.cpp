// Grade up and down: the checks of the primitive, and the permutation
// from the numeric library's sorts.
#include "primitives/grade.h"

#include <algorithm>
#include <cstdlib>

#include "numeric/grade.h"
#include "primitives/index_origin.h"
#include "primitives/structural_result.h"
#include "primitives/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// Working memory from the free heap above the stack, whose pages earlier
// lines have touched, and from the system allocator when that is short.
// Nothing allocates on the heap while a sort runs, so the space stays free.
struct StackScratch {
    char* begin;
    char* next;
    char* end;

    static void* take(void* context, std::size_t bytes) {
        auto* s = static_cast<StackScratch*>(context);
        bytes = (bytes + 7) & ~std::size_t{7};
        if (static_cast<std::size_t>(s->end - s->next) < bytes) return std::malloc(bytes);
        void* p = s->next;
        s->next += bytes;
        return p;
    }
    static void give(void* context, void* p) {
        auto* s = static_cast<StackScratch*>(context);
        auto* c = static_cast<char*>(p);
        if (c < s->begin || c >= s->end) std::free(p);
    }
};

}  // namespace

Rc grade(values::Context& cx, int code, int result, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (y.d.rank == 0) return kRankError;
    if (y.d.type < kBoolean || y.d.type > kChar) return kDomainError;
    const std::int32_t rows = y.dim(ws, 0);
    // An array without elements still has rows, and they are all equal.
    const std::int64_t rowLength = rows > 0 ? y.d.count / rows : 0;
    char* bytes;
    WOX_TRY(makeVector(ws, result, kInteger, rows, &bytes));
    y.refresh(ws, result);
    auto dir = code == code::kGradeDown ? numeric::Direction::Down : numeric::Direction::Up;
    std::uint32_t from = (ws.stackTop + 7u) & ~7u;
    StackScratch stack{ws.base() + from, ws.base() + from, ws.base() + std::max(from, ws.heapTop)};
    return numeric::gradeRows(y.bytes(ws), y.d.type, reinterpret_cast<std::int32_t*>(bytes), origin, rows, rowLength,
                              dir, numeric::Scratch{StackScratch::take, StackScratch::give, &stack},
                              &cx.interruptRequested);
}

}  // namespace wox::primitives
