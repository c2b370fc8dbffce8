#pragma once
// Numeric literals. A literal is a run of numbers separated by blanks and
// becomes one constant:
//   number  := ["_"] ("0n" | "0w" | "0wi" | mantissa [exponent]) ["j" imaginary]
//   mantissa:= digits ["." [digits]] | "." digits
//   exponent:= ("e" | "E") ["_" | "-"] digits
// "_" is the minus sign; 0n is the null, 0w infinity and 0wi the Integer
// infinity (the largest Integer). A literal
// with any imaginary part is Complex; every literal is narrowed, and the
// single numbers 0, 1 and 2 are the preset constant slots 0, 1 and 3.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "values/rc.h"
#include "values/workspace.h"

namespace wox::frontend {

// The numbers of one literal, before they become a constant.
struct NumberList {
    std::vector<double> re;
    std::vector<double> im;
    bool complex = false;
    std::string buffer;  // text of the number being converted
};

// Whether a number starts at pos: a digit, or "_" or "." before a digit.
bool startsNumber(std::string_view text, std::size_t pos);

// Reads the numbers of a literal that starts at pos into `out`; *end is the
// position after the last number. With leadingMinus a "-" may stand for the
// sign of the first number (axis brackets). On failure *errPos is where the
// caret goes: 16 for a malformed exponent, 4 for a point after exponent
// digits, 1 for a "j" without a number after it, 16 for numbers written
// together without a blank.
Rc scanNumbers(std::string_view text, std::size_t pos, bool leadingMinus, NumberList& out,
               std::size_t* end, std::size_t* errPos);

// Reads the literal at pos into a constant slot. Temporal literals are tried
// first. Fails with 84 when the constant table is full and 6 when the
// heap is.
Rc readNumber(values::Workspace& ws, std::string_view text, std::size_t pos, NumberList& scratch, int* slot,
              std::size_t* end, std::size_t* errPos);

// The constant slot of an Integer scalar: a preset slot for 0, 1 and 2.
Rc integerConstant(values::Workspace& ws, int value, int* slot);

}  // namespace wox::frontend
