#pragma once
// The tagged value text of script files: one value as readable text, a
// header line and its data.
//
//   header   "<" per nesting level, the type letter, the rank, the shape:
//            "I 1 3", "C 2 2 5", "<E 0 "
//   data     B, I: decimals with "_" for minus; E: 17 significant digits,
//            "_" for minus, "0n" and "0w" for the null and infinity;
//            Q: complex items "1j_2"; C: the characters in quotes (a quote
//            doubled), in pieces of 200; S: "`name"; D: temporal text;
//            L: each item as a tagged value one level deeper.
//            Every item is followed by a blank, and after every 30 items a
//            "\" carries the data on to the next line.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interpreter.h"
#include "values/rc.h"

namespace wox::script_file {

// Items per data line, and characters per quoted piece of a text.
inline constexpr int kItemsPerLine = 30;
inline constexpr std::size_t kTextPiece = 200;
// Deepest nesting a script holds: the reader refuses an item deeper than
// this, and OUT refuses to write a value that has one.
inline constexpr int kMaxDepth = 64;

// The type letter of a type code; 'Q' for the types that have none of their
// own (complex numbers, enumerations, dictionaries, tables).
char typeLetter(std::int32_t type);

// Item texts shared with the statements that rebuild values: decimals with
// "_" for minus, reals at 17 digits ("0n", "0w" for null and infinity),
// complex "1j_2", and a text in quotes with each quote doubled.
std::string integerText(std::int64_t v);
std::string realText(double v);
std::string complexText(double re, double im);
std::string quoted(std::string_view piece);

// The tagged text of a value at nesting depth `depth`, ending with "\n".
std::string taggedValueText(const Interpreter& in, const ValueDescriptor& d, int depth = 0);

// Lines of a script and the next one to read.
struct LineCursor {
    const std::vector<std::string>& lines;
    std::size_t next = 0;
};

// Reads the value whose header is `header` (the rest of a block's first
// line) and whose data follow at the cursor, then the line `closing`, and
// assigns the value to the global variable `name`, making the name when it
// is new. Fails with 82 for any malformed text (a missing closing line too)
// or a name that is a function, 84 when the variable table is full, 6 when
// the heap is; nothing is assigned then. The value is built in the
// temporaries from `firstTemp` on, one per nesting level: between lines any
// will do, inside a running line only those above the line's own.
Rc readTaggedValue(Interpreter& in, std::string_view name, std::string_view header, std::string_view closing,
                   LineCursor& cursor, int firstTemp = kFirstTemp);

}  // namespace wox::script_file
