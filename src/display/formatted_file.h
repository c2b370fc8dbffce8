#pragma once
// []FM: the character form of a value written into a text file, so that a
// value can be kept as readable text outside the workspace.
#include <cstdint>
#include <string>
#include <string_view>

#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::display {

// The results of []FM: the file was written, or it was not (no such folder,
// or the file could not be replaced, which then stays as it was).
inline constexpr std::int32_t kWritten = 0;
inline constexpr std::int32_t kNotWritten = 1;

// The text []FM writes for a value: a character scalar or vector as it
// stands; for rank 2 or more the rows of the character form with "\n"
// between two rows of a plane and "\n\n" between planes, and no line end
// after the last row. Fails as the format function does.
Rc fileTextOf(const values::Context& cx, const ValueDescriptor& d, std::string& text);

// `left []FM right`: the left argument is the path, a character vector of
// two characters or more (else 46), with "/" (or "\") between folders; a
// path that does not begin with "/" is taken from the current folder, as the
// quoted paths of SAVE and LOAD are. Without a folder part ("./" names the
// current one), when the folder does not exist, or when the file cannot be
// replaced, nothing is written and *answer is 1; otherwise the file is
// replaced by the text of the right argument and *answer is 0.
Rc formatToFile(const values::Context& cx, ValueRef left, ValueRef right, std::int32_t* answer);

}  // namespace wox::display
