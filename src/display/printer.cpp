#include "display/printer.h"

namespace wox::display {

namespace {
// Large displays reach the session in pieces of about this size, so a
// million-element vector never sits in memory twice.
constexpr std::size_t kFlushBytes = 1 << 20;
}  // namespace

Printer::Printer(values::Context& cx, DisplayState& displayState, std::string& out, bool toSession)
    : cx(cx), state(displayState), text(out), toSession_(toSession), lineStart_(out.size()) {}

void Printer::beginValue(bool item) {
    if (state.linePending) {
        lineBreak();
    } else {
        state.linePending = true;
    }
    if (item) {
        if (state.depth > 1) text.append(static_cast<std::size_t>(state.depth - 1), state.firstItem ? '<' : ' ');
        text.push_back('<');
    }
}

void Printer::lineBreak() {
    if (toSession_ && text.size() >= kFlushBytes) {
        cx.write(text);
        text.clear();
    }
    text.append("\r\n");
    lineStart_ = text.size();
}

void Printer::continuationLine() {
    lineBreak();
    blanks(state.depth + kContinuationIndent);
}

void Printer::diagnostic(std::string_view message) const {
    cx.link().diagnostic(message);
}

void Printer::finish() {
    if (toSession_ && !text.empty()) {
        cx.write(text);
        text.clear();
        lineStart_ = 0;
    }
}

}  // namespace wox::display
