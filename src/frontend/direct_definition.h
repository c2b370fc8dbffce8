#pragma once
// Direct definition: a function written in braces, {name: s1; s2; ...}, with
// x the right argument, y the left and z the result.
//
// - The header is "z<-", then "y " when both y and x occur, the name, then
//   " x" when x occurs or " y" when only y does; then ";" and each local.
// - Every other name the body uses becomes a local, except control words,
//   function names (the caller decides which names those are), labels and the
//   function's own name, so a function may call itself. A statement that
//   starts with []IO adds the local []IO, after the others.
// - The statements become lines 1, 2, ...; when the body never mentions z the
//   last one gets "z<-" in front, so its value is the result. A last statement
//   that is a control structure or a branch is left as it is.
// - Statements are cut at ";" outside quotes, parentheses, brackets and
//   braces, so a control structure with a braced block stays one line.
// Every failure is error 23 ("defn error").
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "values/rc.h"

namespace wox::frontend {

using IsFunctionName = std::function<bool(std::string_view)>;

struct DirectDefinition {
    std::string name;
    std::vector<std::string> lines;  // the header, then one line per statement
};

// The header of a direct definition before its locals: "z<-", "y " when
// the body uses both y and x, the name, then " x" when it uses x or " y"
// when it uses only y.
std::string directHeader(std::string_view name, bool usesX, bool usesY);

// Whether the text after an opening brace starts with a name and ":", so it
// is a definition rather than a request to list a function.
bool startsDirectDefinition(std::string_view text);

// What a line of input asks for by its first characters, blanks and tabs
// aside: after "{", a direct definition "{name: ...}" or else the listing of
// a function "{name}"; any other line is neither. Every reader of input
// decides with this one rule.
enum class BraceRequest { None, Definition, Listing };
BraceRequest braceRequest(std::string_view line);

// `text` is what follows the opening brace: "name: body }", trailing blanks
// and tabs allowed.
Rc parseDirectDefinition(std::string_view text, const IsFunctionName& isFunctionName,
                         DirectDefinition& out);

// The same from a name and a body without its closing brace, as a script
// reader collects them over several lines: line ends outside parentheses,
// brackets and braces separate statements like ";", and inside braces they
// are kept as ";".
Rc buildDirectDefinition(std::string_view name, std::string_view body,
                         const IsFunctionName& isFunctionName, DirectDefinition& out);

}  // namespace wox::frontend
