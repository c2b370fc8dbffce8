#pragma once
// The text of a defined function, kept as three line lists:
//   source      list 1: the header (entry 0) and the body lines as entered;
//   statements  list 2: comments removed, empty lines dropped, body lines cut
//               into statements at ";" outside quotes, brackets and
//               parentheses; each tagged with the source line it came from;
//   executable  list 3: the header and the body with its control structures
//               rewritten, the lines the scanner translates and the listing
//               shows; each tagged like the statement it came from.
// List 2 is remade whenever the function is defined, list 3 whenever it is
// translated. The workspace file stores all three with their tags.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/control_rewrite.h"
#include "frontend/function_header.h"
#include "frontend/tagged_line.h"
#include "values/rc.h"

namespace wox::frontend {

struct FunctionText {
    std::string name;
    std::vector<TaggedLine> source;
    std::vector<TaggedLine> statements;
    std::vector<TaggedLine> executable;
    // One per executable line, remade with it: where each line the rewriting
    // of a for statement wrote comes from.
    std::vector<LineOrigin> origins;

    bool operator==(const FunctionText&) const = default;
};

// An executable line as an error report shows it, with the caret column.
struct ShownLine {
    std::string_view text;
    int column = 0;
};

// Executable line `line` with the error column `column`; a line the
// rewriting of a for statement wrote is shown as the statement the user
// wrote, the column moved to the text it copied from there, or else to the
// part of the statement the line stands for.
ShownLine shownLine(const FunctionText& f, int line, int column);

// List 1 from lines as entered; new entries are tagged -1.
std::vector<TaggedLine> sourceLines(std::span<const std::string> lines);

// List 2 from list 1. Entry 0 is always the header, even when empty, so that
// a bad header is reported as one.
std::vector<TaggedLine> makeStatements(std::span<const TaggedLine> source);

// A new function text from entered lines: lists 1 and 2, the name from the
// parsed header (also returned in `header`). No lines at all is error 81;
// header errors are 8 and 23 (function_header.h).
Rc makeFunctionText(std::span<const std::string> lines, FunctionText& out, FunctionHeader& header);

// Remakes list 3 from list 2. The names the rewriting invented come back in
// `rewrite.generatedNames`; on failure list 3 is left empty and
// `rewrite.errorTag` names the source line at fault.
Rc makeExecutable(FunctionText& f, int firstNameNumber, ControlRewrite& rewrite);
Rc makeExecutable(FunctionText& f, const RandomSource& random, ControlRewrite& rewrite);

}  // namespace wox::frontend
