#include "document_transcript.h"

#include <QTextBlock>

namespace wox::gui {

QString toDocumentText(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    for (char c : text)
        if (c != '\r') plain += c;
    return QString::fromLatin1(plain.data(), static_cast<qsizetype>(plain.size()));
}

std::string fromDocumentText(const QString& text) {
    QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void DocumentTranscript::append(std::string_view text) {
    QTextCursor c = view_.textCursor();
    c.insertText(toDocumentText(text));
    view_.setTextCursor(c);
}

void DocumentTranscript::caretToEnd() {
    QTextCursor c = view_.textCursor();
    c.movePosition(QTextCursor::End);
    view_.setTextCursor(c);
    view_.ensureCursorVisible();
}

void DocumentTranscript::selectInputLine() {
    QTextCursor c = view_.textCursor();
    c.movePosition(QTextCursor::End);
    c.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    view_.setTextCursor(c);
    view_.ensureCursorVisible();
}

void DocumentTranscript::selectLine(int n) {
    QTextBlock b = view_.document()->findBlockByNumber(n);
    if (!b.isValid()) {
        caretToEnd();
        return;
    }
    QTextCursor c(b);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    view_.setTextCursor(c);
}

int DocumentTranscript::lineCount() const { return view_.document()->blockCount(); }

std::string DocumentTranscript::readLine(int n) const {
    QTextBlock b = view_.document()->findBlockByNumber(n);
    return b.isValid() ? fromDocumentText(b.text()) : std::string();
}

std::size_t DocumentTranscript::lineLength(int n) const {
    QTextBlock b = view_.document()->findBlockByNumber(n);
    return b.isValid() ? static_cast<std::size_t>(b.length() - 1) : 0;
}

std::size_t DocumentTranscript::lineStart(int n) const {
    QTextBlock b = view_.document()->findBlockByNumber(n);
    return b.isValid() ? static_cast<std::size_t>(b.position()) : 0;
}

std::string DocumentTranscript::wholeText() const {
    std::string text = fromDocumentText(view_.document()->toPlainText());
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

void CrossThreadTranscript::append(std::string_view text) {
    runner_.onGuiThread([&] { target_.append(text); });
}

void CrossThreadTranscript::caretToEnd() {
    runner_.onGuiThread([&] { target_.caretToEnd(); });
}

void CrossThreadTranscript::selectInputLine() {
    runner_.onGuiThread([&] { target_.selectInputLine(); });
}

void CrossThreadTranscript::selectLine(int n) {
    runner_.onGuiThread([&] { target_.selectLine(n); });
}

int CrossThreadTranscript::lineCount() const {
    int count = 0;
    runner_.onGuiThread([&] { count = target_.lineCount(); });
    return count;
}

std::string CrossThreadTranscript::readLine(int n) const {
    std::string line;
    runner_.onGuiThread([&] { line = target_.readLine(n); });
    return line;
}

std::size_t CrossThreadTranscript::lineLength(int n) const {
    std::size_t length = 0;
    runner_.onGuiThread([&] { length = target_.lineLength(n); });
    return length;
}

std::size_t CrossThreadTranscript::lineStart(int n) const {
    std::size_t start = 0;
    runner_.onGuiThread([&] { start = target_.lineStart(n); });
    return start;
}

std::string CrossThreadTranscript::wholeText() const {
    std::string text;
    runner_.onGuiThread([&] { text = target_.wholeText(); });
    return text;
}

}  // namespace wox::gui
