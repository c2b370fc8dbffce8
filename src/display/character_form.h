#pragma once
// The character form of a value, made by the format function "+.": the
// layout of display without wrapping and without item markers. Integers show
// as plain numbers here (the null and the infinities by their values), floats
// by their usual text, symbols without the backquote.
#include <cstdint>
#include <string>

#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::display {

// The text of the character form: for a scalar or vector one line, for an
// array of rank 2 or more its rows one after another, each rowWidth
// characters long. A value without elements gives no text. A character value
// gives its own characters. Fails with 1 (domain error) for a general array
// and for a type code above 7.
Rc characterForm(const values::Context& cx, const ValueDescriptor& d, std::string& text, std::int64_t& rowWidth);

// Stores `text` as a Char value in temporary slot `result`, shaped like
// `like` with its last axis `rowWidth` long (or as a vector, or empty).
Rc storeCharacters(values::Context& cx, int result, const ValueDescriptor& like, const std::string& text,
                   std::int64_t rowWidth);

// Monadic "+.": the character form of arg as a Char value in temporary slot
// `result`. An array of rank 2 or more keeps its leading shape, its last axis
// becomes the row width; a character value is returned unchanged; a value
// without elements gives an empty vector. Fails with 4 for an unset
// argument, 1 as characterForm does, 6 when the result does not fit.
Rc formatMonadic(values::Context& cx, int result, ValueRef arg);

}  // namespace wox::display
