#pragma once
// The scalar functions that have complex routines, by primitive code.
#include <array>
#include <optional>

#include "numeric/complex_functions.h"
#include "vocabulary/vocabulary.h"

namespace wox::primitives {

struct ComplexMonadicRow {
    int code;
    numeric::ComplexMonadic f;
};
inline constexpr std::array kComplexMonadic{
    ComplexMonadicRow{vocabulary::code::kIdentity, numeric::ComplexMonadic::Conjugate},
    ComplexMonadicRow{vocabulary::code::kNegate, numeric::ComplexMonadic::Negate},
    ComplexMonadicRow{vocabulary::code::kSignum, numeric::ComplexMonadic::Direction},
    ComplexMonadicRow{vocabulary::code::kReciprocal, numeric::ComplexMonadic::Reciprocal},
    ComplexMonadicRow{vocabulary::code::kCeiling, numeric::ComplexMonadic::Ceiling},
    ComplexMonadicRow{vocabulary::code::kFloor, numeric::ComplexMonadic::Floor},
    ComplexMonadicRow{vocabulary::code::kExponential, numeric::ComplexMonadic::Exponential},
    ComplexMonadicRow{vocabulary::code::kNaturalLog, numeric::ComplexMonadic::NaturalLog},
    ComplexMonadicRow{vocabulary::code::kMagnitude, numeric::ComplexMonadic::Magnitude},
    ComplexMonadicRow{vocabulary::code::kPiTimes, numeric::ComplexMonadic::PiTimes},
};

struct ComplexDyadicRow {
    int code;
    numeric::ComplexDyadic f;
};
inline constexpr std::array kComplexDyadic{
    ComplexDyadicRow{vocabulary::code::kPlus, numeric::ComplexDyadic::Plus},
    ComplexDyadicRow{vocabulary::code::kMinus, numeric::ComplexDyadic::Minus},
    ComplexDyadicRow{vocabulary::code::kTimes, numeric::ComplexDyadic::Times},
    ComplexDyadicRow{vocabulary::code::kDivide, numeric::ComplexDyadic::Divide},
    ComplexDyadicRow{vocabulary::code::kPower, numeric::ComplexDyadic::Power},
    ComplexDyadicRow{vocabulary::code::kLogarithm, numeric::ComplexDyadic::Logarithm},
    ComplexDyadicRow{vocabulary::code::kResidue, numeric::ComplexDyadic::Residue},
};

template <class Row, std::size_t N>
constexpr bool complexCodesUnique(const std::array<Row, N>& rows) {
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = i + 1; j < N; ++j)
            if (rows[i].code == rows[j].code) return false;
    return true;
}
static_assert(complexCodesUnique(kComplexMonadic) && complexCodesUnique(kComplexDyadic));

inline std::optional<numeric::ComplexMonadic> complexMonadicOf(int code) {
    for (const ComplexMonadicRow& r : kComplexMonadic)
        if (r.code == code) return r.f;
    return std::nullopt;
}

inline std::optional<numeric::ComplexDyadic> complexDyadicOf(int code) {
    for (const ComplexDyadicRow& r : kComplexDyadic)
        if (r.code == code) return r.f;
    return std::nullopt;
}

}  // namespace wox::primitives
