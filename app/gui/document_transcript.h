#pragma once
// The session transcript over the session window's text: the operations the
// session asks for, done on the window's document and its caret, so what
// the session writes is what the user sees and types into. Text crosses as
// Latin-1, one byte a character, the way the interpreter counts characters.
// Only the window's thread may call it; `CrossThreadTranscript` carries the
// calls of a line that runs on the worker thread over to it.
#include <QPlainTextEdit>

#include "line_runner.h"
#include "session/transcript.h"

namespace wox::gui {

class DocumentTranscript final : public session::Transcript {
public:
    explicit DocumentTranscript(QPlainTextEdit& view) : view_(view) {}

    void append(std::string_view text) override;
    void caretToEnd() override;
    void selectInputLine() override;
    void selectLine(int n) override;
    int lineCount() const override;
    std::string readLine(int n) const override;
    std::size_t lineLength(int n) const override;
    std::size_t lineStart(int n) const override;
    std::string wholeText() const override;

private:
    QPlainTextEdit& view_;
};

class CrossThreadTranscript final : public session::Transcript {
public:
    CrossThreadTranscript(session::Transcript& target, LineRunner& runner) : target_(target), runner_(runner) {}

    void append(std::string_view text) override;
    void caretToEnd() override;
    void selectInputLine() override;
    void selectLine(int n) override;
    int lineCount() const override;
    std::string readLine(int n) const override;
    std::size_t lineLength(int n) const override;
    std::size_t lineStart(int n) const override;
    std::string wholeText() const override;

private:
    session::Transcript& target_;
    LineRunner& runner_;
};

// Session text to the window's text: "\r\n" and a lone "\r" end nothing
// the document needs; "\n" starts a new block.
QString toDocumentText(std::string_view text);
std::string fromDocumentText(const QString& text);

}  // namespace wox::gui
