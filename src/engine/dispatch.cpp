#include "engine/dispatch.h"

#include <array>

#include "display/character_form.h"
#include "engine/enumeration_domain.h"
#include "engine/error_report.h"
#include "engine/spreadsheet_functions.h"
#include "engine/system_functions.h"
#include "primitives/compress.h"
#include "frontend/name_table.h"
#include "primitives/grade.h"
#include "primitives/keyed/keyed.h"
#include "primitives/matrix_divide.h"
#include "primitives/operators.h"
#include "vocabulary/primitive_table.h"
#include "primitives/scalar.h"
#include "primitives/search.h"
#include "primitives/structural.h"
#include "primitives/value_type.h"
#include "values/messages.h"

namespace wox::engine {

namespace {

using vocabulary::Family;
constexpr std::size_t kFamilies = static_cast<std::size_t>(Family::InnerProduct) + 1;

struct Handlers {
    std::array<MonadicHandler, kFamilies> monadic{};
    std::array<DyadicHandler, kFamilies> dyadic{};
};

// The []IO in force, local or global. Dispatch hands every routine the
// interpreter it was called with, so the context is that interpreter.
ValueRef originOf(values::Context& cx) { return varRef(currentIoSlot(static_cast<Interpreter&>(cx))); }

// The generator's state and the []RL in force, local or global.
primitives::RandomSource randomOf(values::Context& cx) {
    auto& in = static_cast<Interpreter&>(cx);
    return {&in.randomState, varRef(currentRlSlot(in))};
}

// Families whose routines exist; every other family answers its error.
Handlers buildHandlers() {
    Handlers h;
    auto m = [&](Family f, MonadicHandler fn) { h.monadic[static_cast<std::size_t>(f)] = fn; };
    auto d = [&](Family f, DyadicHandler fn) { h.dyadic[static_cast<std::size_t>(f)] = fn; };
    m(Family::Type, primitives::typeOf);
    m(Family::ScalarMonadic, primitives::scalarMonadic);
    m(Family::Logical, primitives::logicalMonadic);
    m(Family::Format, [](values::Context& cx, int, int result, ValueRef right) {
        return display::formatMonadic(cx, result, right);
    });
    d(Family::ScalarDyadic, primitives::scalarDyadic);
    d(Family::Logical, primitives::logicalDyadic);
    d(Family::Comparison, primitives::comparison);
    d(Family::Compress, primitives::compress);
    m(Family::Reduce, primitives::reduce);
    m(Family::Scan, primitives::scan);
    d(Family::OuterProduct, primitives::outerProduct);
    d(Family::InnerProduct, [](values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
        return primitives::innerProduct(cx, code, result, left, right);
    });
    // Structural functions; those that count positions read the []IO in force.
    m(Family::Shape, primitives::shapeOf);
    m(Family::Ravel, primitives::ravel);
    m(Family::Count, primitives::countOf);
    m(Family::Reverse, primitives::reverse);
    m(Family::Transpose, primitives::transpose);
    m(Family::Enclose, primitives::enclose);
    m(Family::First, primitives::first);
    m(Family::Raze, primitives::raze);
    m(Family::Interval, [](values::Context& cx, int, int result, ValueRef right) {
        return primitives::interval(cx, result, right, originOf(cx));
    });
    m(Family::Where, [](values::Context& cx, int, int result, ValueRef right) {
        return primitives::where(cx, result, right, originOf(cx));
    });
    m(Family::PartitionLengths, [](values::Context& cx, int, int result, ValueRef right) {
        return primitives::partitionLengths(cx, result, right, originOf(cx));
    });
    m(Family::Grade, [](values::Context& cx, int code, int result, ValueRef right) {
        return primitives::grade(cx, code, result, right, originOf(cx));
    });
    m(Family::Roll, [](values::Context& cx, int, int result, ValueRef right) {
        return primitives::roll(cx, result, right, originOf(cx), randomOf(cx));
    });
    d(Family::Deal, [](values::Context& cx, int, int result, ValueRef left, ValueRef right) {
        return primitives::deal(cx, result, left, right, originOf(cx), randomOf(cx));
    });
    m(Family::SystemFunction, systemFunction);
    m(Family::NiladicSystemFunction, niladicSystemFunction);
    d(Family::DyadicSystemFunction, dyadicSystemFunction);
    m(Family::SpreadsheetLink, spreadsheetMonadic);
    d(Family::SpreadsheetLink, spreadsheetDyadic);
    d(Family::Reshape, primitives::reshape);
    d(Family::Catenate, primitives::catenate);
    d(Family::Laminate, primitives::laminate);
    d(Family::Take, primitives::take);
    d(Family::Drop, primitives::drop);
    d(Family::Rotate, primitives::rotate);
    d(Family::Expand, primitives::expand);
    d(Family::Partition, primitives::partition);
    d(Family::DyadicTranspose, [](values::Context& cx, int, int result, ValueRef left, ValueRef right) {
        return primitives::transposeAxes(cx, result, left, right, originOf(cx));
    });
    // Search and set functions.
    d(Family::IndexOf, [](values::Context& cx, int, int result, ValueRef left, ValueRef right) {
        return primitives::indexOf(cx, result, left, right, originOf(cx));
    });
    d(Family::Membership, primitives::membership);
    m(Family::Unique, primitives::unique);
    m(Family::Group, [](values::Context& cx, int, int result, ValueRef right) {
        return primitives::group(cx, result, right, originOf(cx));
    });
    d(Family::Match, primitives::match);
    d(Family::Decode, primitives::decode);
    d(Family::Encode, primitives::encode);
    // Dyadic colon: an enumeration when x is a single symbol; dictionaries
    // and keyed tables otherwise.
    d(Family::MakeDictionary, [](values::Context& cx, int, int result, ValueRef left, ValueRef right) {
        auto& in = static_cast<Interpreter&>(cx);
        if (namesDomain(in.ws, left)) return makeEnumeration(in, result, left, right);
        return primitives::makeDictionary(cx, 0, result, left, right);
    });
    m(Family::MatrixInverse, primitives::matrixInverse);
    // Dictionaries and tables.
    d(Family::TableLiteral, primitives::tableLiteral);
    d(Family::Member, primitives::member);
    d(Family::MatrixDivide, primitives::matrixDivide);
    return h;
}

const Handlers& handlers() {
    static const Handlers table = buildHandlers();
    return table;
}

int missing(Family f) {
    int e = vocabulary::familyError(f);
    return e ? e : kNotImplemented;
}

}  // namespace

bool hasMonadicRoutine(int code) {
    return handlers().monadic[static_cast<std::size_t>(vocabulary::monadicFamily(code))] != nullptr;
}

bool hasDyadicRoutine(int code) {
    return handlers().dyadic[static_cast<std::size_t>(vocabulary::dyadicFamily(code))] != nullptr;
}

Rc dispatchMonadic(Interpreter& in, int code, int result, ValueRef right) {
    Family f = vocabulary::monadicFamily(code);
    MonadicHandler fn = handlers().monadic[static_cast<std::size_t>(f)];
    if (!fn) return in.fail(missing(f));
    Rc rc = fn(in, code, result, right);
    return rc.failed() ? in.fail(rc.code) : rc;
}

Rc dispatchDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    Family f = vocabulary::dyadicFamily(code);
    DyadicHandler fn = handlers().dyadic[static_cast<std::size_t>(f)];
    if (!fn) return in.fail(missing(f));
    Rc rc = fn(in, code, result, left, right);
    return rc.failed() ? in.fail(rc.code) : rc;
}

}  // namespace wox::engine
