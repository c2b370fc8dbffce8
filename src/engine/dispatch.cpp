#include "engine/dispatch.h"

#include <array>

#include "display/character_form.h"
#include "display/format_by_specification.h"
#include "engine/enumeration_domain.h"
#include "engine/error_report.h"
#include "engine/csv_functions.h"
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

using MonadicHandler = Rc (*)(Interpreter&, int code, int result, ValueRef right);
using DyadicHandler = Rc (*)(Interpreter&, int code, int result, ValueRef left, ValueRef right);

// The routines below the engine see the interpreter as their workspace context.
template <Rc (*routine)(values::Context&, int, int, ValueRef)>
Rc onContext(Interpreter& in, int code, int result, ValueRef right) {
    return routine(in, code, result, right);
}
template <Rc (*routine)(values::Context&, int, int, ValueRef, ValueRef)>
Rc onContext(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    return routine(in, code, result, left, right);
}

// The []IO in force, local or global.
ValueRef originOf(const Interpreter& in) { return varRef(currentIoSlot(in)); }

// The routines that count positions read the []IO in force.
template <Rc (*routine)(values::Context&, int, ValueRef, ValueRef)>
Rc withOrigin(Interpreter& in, int, int result, ValueRef right) {
    return routine(in, result, right, originOf(in));
}
template <Rc (*routine)(values::Context&, int, ValueRef, ValueRef, ValueRef)>
Rc withOrigin(Interpreter& in, int, int result, ValueRef left, ValueRef right) {
    return routine(in, result, left, right, originOf(in));
}

// The generator's state and the []RL in force, local or global.
primitives::RandomSource randomOf(Interpreter& in) { return {&in.randomState, varRef(currentRlSlot(in))}; }

// Dyadic colon: an enumeration when x is a single symbol; dictionaries and
// keyed tables otherwise.
Rc makeDictionary(Interpreter& in, int, int result, ValueRef left, ValueRef right) {
    if (namesDomain(in.ws, left)) return makeEnumeration(in, result, left, right);
    return primitives::makeDictionary(in, 0, result, left, right);
}

struct Routines {
    Family family;
    MonadicHandler monadic;
    DyadicHandler dyadic;
};

// One entry per family, in the order of the enum. A family without a
// routine of a valence answers its error; execute and each have theirs in
// the evaluator, which runs them before dispatch.
constexpr std::array kRoutines{
    Routines{Family::None, nullptr, nullptr},
    Routines{Family::Structure, nullptr, nullptr},
    Routines{Family::NotImplemented, nullptr, nullptr},
    Routines{Family::Invalid, nullptr, nullptr},
    Routines{Family::SpreadsheetLink, spreadsheetMonadic, spreadsheetDyadic},
    Routines{Family::CsvFile, csvMonadic, csvDyadic},
    Routines{Family::Execute, nullptr, nullptr},
    Routines{Family::Grade,
             [](Interpreter& in, int code, int result, ValueRef right) {
                 return primitives::grade(in, code, result, right, originOf(in));
             },
             nullptr},
    Routines{Family::Roll,
             [](Interpreter& in, int, int result, ValueRef right) {
                 return primitives::roll(in, result, right, originOf(in), randomOf(in));
             },
             nullptr},
    Routines{Family::Shape, onContext<primitives::shapeOf>, nullptr},
    Routines{Family::Ravel, onContext<primitives::ravel>, nullptr},
    Routines{Family::Interval, withOrigin<primitives::interval>, nullptr},
    Routines{Family::Reverse, onContext<primitives::reverse>, nullptr},
    Routines{Family::Transpose, onContext<primitives::transpose>, nullptr},
    Routines{Family::Format,
             [](Interpreter& in, int, int result, ValueRef right) { return display::formatMonadic(in, result, right); },
             nullptr},
    Routines{Family::MatrixInverse, onContext<primitives::matrixInverse>, nullptr},
    Routines{Family::ScalarMonadic, onContext<primitives::scalarMonadic>, nullptr},
    Routines{Family::Reduce, onContext<primitives::reduce>, nullptr},
    Routines{Family::Scan, onContext<primitives::scan>, nullptr},
    Routines{Family::SystemFunction, systemFunction, nullptr},
    Routines{Family::NiladicSystemFunction, niladicSystemFunction, nullptr},
    Routines{Family::Enclose, onContext<primitives::enclose>, nullptr},
    Routines{Family::Type, onContext<primitives::typeOf>, nullptr},
    Routines{Family::Unique, onContext<primitives::unique>, nullptr},
    Routines{Family::Count, onContext<primitives::countOf>, nullptr},
    Routines{Family::First, onContext<primitives::first>, nullptr},
    Routines{Family::Raze, onContext<primitives::raze>, nullptr},
    Routines{Family::Where, withOrigin<primitives::where>, nullptr},
    Routines{Family::Group, withOrigin<primitives::group>, nullptr},
    Routines{Family::PartitionLengths, withOrigin<primitives::partitionLengths>, nullptr},
    Routines{Family::Each, nullptr, nullptr},
    Routines{Family::Logical, onContext<primitives::logicalMonadic>, onContext<primitives::logicalDyadic>},
    Routines{Family::Take, nullptr, onContext<primitives::take>},
    Routines{Family::Drop, nullptr, onContext<primitives::drop>},
    Routines{Family::Compress, nullptr, onContext<primitives::compress>},
    Routines{Family::Expand, nullptr, onContext<primitives::expand>},
    Routines{Family::Membership, nullptr, onContext<primitives::membership>},
    Routines{Family::Decode, nullptr, onContext<primitives::decode>},
    Routines{Family::Encode, nullptr, onContext<primitives::encode>},
    Routines{Family::Comparison, nullptr, onContext<primitives::comparison>},
    Routines{Family::Deal, nullptr,
             [](Interpreter& in, int, int result, ValueRef left, ValueRef right) {
                 return primitives::deal(in, result, left, right, originOf(in), randomOf(in));
             }},
    Routines{Family::Reshape, nullptr, onContext<primitives::reshape>},
    Routines{Family::Catenate, nullptr, onContext<primitives::catenate>},
    Routines{Family::IndexOf, nullptr, withOrigin<primitives::indexOf>},
    Routines{Family::Rotate, nullptr, onContext<primitives::rotate>},
    Routines{Family::DyadicTranspose, nullptr, withOrigin<primitives::transposeAxes>},
    Routines{Family::FormatBySpecification, nullptr,
             [](Interpreter& in, int, int result, ValueRef left, ValueRef right) {
                 return display::formatBySpecification(in, result, left, right);
             }},
    Routines{Family::MatrixDivide, nullptr, onContext<primitives::matrixDivide>},
    Routines{Family::ScalarDyadic, nullptr, onContext<primitives::scalarDyadic>},
    Routines{Family::Laminate, nullptr, onContext<primitives::laminate>},
    Routines{Family::OuterProduct, nullptr, onContext<primitives::outerProduct>},
    Routines{Family::DyadicSystemFunction, nullptr, dyadicSystemFunction},
    Routines{Family::Partition, nullptr, onContext<primitives::partition>},
    Routines{Family::MakeDictionary, nullptr, makeDictionary},
    Routines{Family::Member, nullptr, onContext<primitives::member>},
    Routines{Family::Match, nullptr, onContext<primitives::match>},
    Routines{Family::TableLiteral, nullptr, onContext<primitives::tableLiteral>},
    Routines{Family::InnerProduct, nullptr,
             [](Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
                 return primitives::innerProduct(in, code, result, left, right);
             }},
};

// Which families have routines is checked by the tests: a function's address
// is no constant to compare everywhere (the sanitizers' builds).
constexpr bool routinesInFamilyOrder() {
    if (kRoutines.size() != vocabulary::kFamilies) return false;
    for (std::size_t i = 0; i < kRoutines.size(); ++i)
        if (static_cast<std::size_t>(kRoutines[i].family) != i) return false;
    return true;
}
static_assert(routinesInFamilyOrder(), "the routine table does not follow the families");

const Routines& routinesOf(Family f) { return kRoutines[static_cast<std::size_t>(f)]; }

int missing(Family f) {
    int e = vocabulary::familyError(f);
    return e ? e : kNotImplemented;
}

}  // namespace

bool hasMonadicRoutine(int code) { return routinesOf(vocabulary::monadicFamily(code)).monadic != nullptr; }

bool hasDyadicRoutine(int code) { return routinesOf(vocabulary::dyadicFamily(code)).dyadic != nullptr; }

Rc dispatchMonadic(Interpreter& in, int code, int result, ValueRef right) {
    Family f = vocabulary::monadicFamily(code);
    MonadicHandler fn = routinesOf(f).monadic;
    if (!fn) return in.fail(missing(f));
    Rc rc = fn(in, code, result, right);
    return rc.failed() ? in.fail(rc.code) : rc;
}

Rc dispatchDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    Family f = vocabulary::dyadicFamily(code);
    DyadicHandler fn = routinesOf(f).dyadic;
    if (!fn) return in.fail(missing(f));
    Rc rc = fn(in, code, result, left, right);
    return rc.failed() ? in.fail(rc.code) : rc;
}

}  // namespace wox::engine
