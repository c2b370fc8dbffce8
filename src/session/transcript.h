#pragma once
// The session transcript: the text the user reads and types into. The session
// reaches it only through the few operations of `Transcript`, so a desktop
// window can offer them over its own edit control; `TextTranscript` keeps the
// text in memory for the terminal program and for tests.
//
// Lines are separated by "\r\n" (a bare "\n" also ends a line, since a line
// must never hide a break). Line numbers count from 0; the last line is the
// input line.
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace wox::session {

class Transcript {
public:
    virtual ~Transcript() = default;

    // Replaces the selection (normally the empty one at the caret) with text;
    // the caret ends after it.
    virtual void append(std::string_view text) = 0;
    virtual void caretToEnd() = 0;
    // Selects the text of the last line, so the next append replaces it.
    virtual void selectInputLine() = 0;
    // Selects the text of line n (its break excluded).
    virtual void selectLine(int n) = 0;
    virtual int lineCount() const = 0;
    // The text of line n without its break; empty when there is no such line.
    virtual std::string readLine(int n) const = 0;
    virtual std::size_t lineLength(int n) const = 0;
    // Character index of the first character of line n.
    virtual std::size_t lineStart(int n) const = 0;
    virtual std::string wholeText() const = 0;
};

class TextTranscript final : public Transcript {
public:
    // A transcript that never forgets anything.
    TextTranscript() = default;
    // A transcript that keeps about its last `keepBytes` characters: whole
    // leading lines are dropped once it holds twice that much, so a long
    // terminal run does not grow without bound. Line numbers and character
    // indices keep counting from the start of the session (line
    // numbers start again after kRenumberAt forgotten lines).
    explicit TextTranscript(std::size_t keepBytes) : keep_(keepBytes) {}

    void append(std::string_view text) override;
    void caretToEnd() override;
    void selectInputLine() override;
    void selectLine(int n) override;
    int lineCount() const override;
    std::string readLine(int n) const override;
    std::size_t lineLength(int n) const override;
    std::size_t lineStart(int n) const override;
    std::string wholeText() const override;

    // The selection as character indices, for tests and key handling.
    std::size_t selectionStart() const { return dropped_ + selStart_; }
    std::size_t selectionEnd() const { return dropped_ + selEnd_; }
    void select(std::size_t start, std::size_t end);
    // Line number holding the caret.
    int caretLine() const;
    // For tests of long runs: numbers the held lines as if `lines` lines had
    // been forgotten before them.
    void countForgottenLines(int lines);

    // Beyond this many forgotten lines, numbering starts again at 0.
    static constexpr int kRenumberAt = 1 << 30;

private:
    // Index into starts_ of line n, or -1 when line n is not held.
    int localLine(int n) const;
    // [begin, end) of the text of a held line, break excluded.
    std::pair<std::size_t, std::size_t> lineSpan(int local) const;
    void rescanFrom(std::size_t lineIndex);
    void forgetOldLines();

    std::string text_;
    std::vector<std::size_t> starts_{0};  // offset in text_ of each held line
    std::size_t selStart_ = 0;
    std::size_t selEnd_ = 0;
    std::size_t keep_ = std::numeric_limits<std::size_t>::max();
    std::size_t dropped_ = 0;  // characters forgotten before text_
    int droppedLines_ = 0;     // lines forgotten before text_
};

}  // namespace wox::session
