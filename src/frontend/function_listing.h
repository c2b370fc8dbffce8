#pragma once
// The listing of a defined function as the session shows it:
//
//   ---------sq---------    the name between runs of (10 - n/2) dashes
//   [0]   z<-sq x           "[%*d]%*c%s": numbers right-aligned in the width
//   [1]   z<-x*x            of the largest one, text from a fixed column
//   --------------------    20 dashes
//
// Lines are separated by "\r\n"; the caller writes the "\r\n" in front.
#include <span>
#include <string>
#include <string_view>

#include "frontend/function_text.h"

namespace wox::frontend {

// Text starts in this column, or one blank after "]" when the numbers are wider.
inline constexpr std::size_t kListingTextColumn = 6;

std::string functionListing(std::string_view name, std::span<const TaggedLine> lines);

// The listing of list 3.
std::string functionListing(const FunctionText& f);

// What listing a keyword or library function shows instead of its text.
std::string reservedFunctionLine(std::string_view name);

}  // namespace wox::frontend
