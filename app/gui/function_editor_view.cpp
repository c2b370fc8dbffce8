#include "function_editor_view.h"

#include <QKeyEvent>
#include <QTextBlock>

#include "document_transcript.h"
#include "numbered_lines.h"

namespace wox::gui {

namespace {

int prefixLength(const QTextBlock& b) { return static_cast<int>(numberPrefixLength(fromDocumentText(b.text()))); }

}  // namespace

FunctionEditorView::FunctionEditorView(const QString& name, const std::vector<std::string>& source, QWidget* parent)
    : QPlainTextEdit(parent), name_(name) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    QString text;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (i > 0) text += u'\n';
        text += toDocumentText(numberedLine(static_cast<int>(i), source[i]));
    }
    setPlainText(text);
    setWindowTitle(name);
    document()->setModified(false);
}

std::vector<std::string> FunctionEditorView::sourceLines(int upTo) const {
    std::vector<std::string> lines;
    for (QTextBlock b = document()->begin(); b.isValid() && b.blockNumber() < upTo; b = b.next())
        lines.emplace_back(withoutNumber(fromDocumentText(b.text())));
    return lines;
}

void FunctionEditorView::renumber() {
    QTextCursor caret = textCursor();
    const int caretBlock = caret.blockNumber();
    const int caretInText = caret.positionInBlock() - prefixLength(caret.block());
    QTextCursor c(document());
    c.beginEditBlock();
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        std::string line = fromDocumentText(b.text());
        QString wanted = toDocumentText(numberedLine(b.blockNumber(), withoutNumber(line)));
        if (wanted == b.text()) continue;
        c.setPosition(b.position());
        c.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
        c.insertText(wanted);
    }
    c.endEditBlock();
    QTextBlock b = document()->findBlockByNumber(caretBlock);
    if (!b.isValid()) return;
    int at = std::clamp(prefixLength(b) + std::max(caretInText, 0), prefixLength(b), b.length() - 1);
    QTextCursor moved(b);
    moved.setPosition(b.position() + at);
    setTextCursor(moved);
}

void FunctionEditorView::newLine() {
    QTextCursor c = textCursor();
    c.removeSelectedText();
    // Within the number the new line starts before the text.
    if (c.positionInBlock() < prefixLength(c.block())) c.setPosition(c.block().position() + prefixLength(c.block()));
    c.insertText(QStringLiteral("\n"));
    setTextCursor(c);
    renumber();
}

bool FunctionEditorView::joinWithPrevious() {
    QTextCursor c = textCursor();
    QTextBlock b = c.block();
    const int prefix = prefixLength(b);
    if (c.hasSelection() || !b.previous().isValid() || prefix == 0 || c.positionInBlock() != prefix) return false;
    c.beginEditBlock();
    c.setPosition(b.previous().position() + b.previous().length() - 1);
    c.setPosition(b.position() + prefix, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    c.endEditBlock();
    setTextCursor(c);
    renumber();
    return true;
}

bool FunctionEditorView::joinNext() {
    QTextCursor c = textCursor();
    QTextBlock next = c.block().next();
    if (c.hasSelection() || !c.atBlockEnd() || !next.isValid()) return false;
    int keep = c.position();
    c.setPosition(next.position() + prefixLength(next), QTextCursor::KeepAnchor);
    c.removeSelectedText();
    c.setPosition(keep);
    setTextCursor(c);
    renumber();
    return true;
}

void FunctionEditorView::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        QTextBlock b = textCursor().block();
        if (isCommitLine(fromDocumentText(b.text()))) {
            emit commitRequested(sourceLines(b.blockNumber()));
            return;
        }
        newLine();
        return;
    }
    if (e->key() == Qt::Key_Backspace && joinWithPrevious()) return;
    if (e->key() == Qt::Key_Delete && joinNext()) return;
    const int lines = document()->blockCount();
    QPlainTextEdit::keyPressEvent(e);
    // A selection that held line breaks is gone, or undo brought some back.
    if (document()->blockCount() != lines) renumber();
}

void FunctionEditorView::insertFromMimeData(const QMimeData* source) {
    QPlainTextEdit::insertFromMimeData(source);
    renumber();
}

}  // namespace wox::gui
