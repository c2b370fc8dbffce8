#pragma once
// The text of one element as the cells of dictionaries and tables show it.
#include <cstdint>
#include <string>

#include "values/context.h"
#include "values/value.h"

namespace wox::display {

// Appends the text of element i of d: numbers as display writes them, a
// complex number as real "j" imaginary, a character (for a character matrix
// the whole row i), a symbol's bare name, a temporal or enumeration element's
// text. With width other than -1 the text is padded with blanks on the right
// to that width, never cut. Returns the number of characters appended;
// other types append nothing.
int elementText(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, int width, std::string& out);

}  // namespace wox::display
