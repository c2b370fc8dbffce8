#include "session_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include "gui_texts.h"

namespace wox::gui {

namespace {

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

}  // namespace

SessionView::SessionView(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);  // undo would reach output and earlier lines unseen
    setAcceptDrops(false);      // dropped files go to the main window
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { emit positionChanged(positionText()); });
}

void SessionView::setBusy(bool busy) {
    busy_ = busy;
    setReadOnly(busy);
}

QString SessionView::positionText() const {
    QTextCursor c = textCursor();
    int line = c.blockNumber();
    int column = c.selectionStart() - c.document()->findBlock(c.selectionStart()).position();
    if (c.hasSelection()) line = c.document()->findBlock(c.selectionStart()).blockNumber();
    return QString::asprintf(text::kPosition, line + 1, column + 1);
}

QString SessionView::wordAt(const QString& line, int column) {
    int begin = std::clamp(column, 0, static_cast<int>(line.size()));
    int end = begin;
    while (begin > 0 && isWordChar(line[begin - 1])) --begin;
    while (end < line.size() && isWordChar(line[end])) ++end;
    return line.mid(begin, end - begin);
}

bool SessionView::selectionSpansLines() const {
    QTextCursor c = textCursor();
    if (!c.hasSelection()) return false;
    QTextDocument* d = document();
    return d->findBlock(c.selectionStart()) != d->findBlock(c.selectionEnd());
}

bool SessionView::guarded(const std::function<void()>& edit) {
    if (busy_) return false;
    if (selectionSpansLines()) {
        QApplication::beep();
        return false;
    }
    int line = textCursor().blockNumber();
    if (line < document()->blockCount() - 1 && beforeEdit_) beforeEdit_(line);
    edit();
    return true;
}

void SessionView::keyPressEvent(QKeyEvent* e) {
    if (busy_) {
        e->ignore();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit enterPressed();
        return;
    }
    QTextCursor c = textCursor();
    if (e->matches(QKeySequence::Cut)) {
        cutText();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        pasteText();
        return;
    }
    const bool backspace = e->key() == Qt::Key_Backspace;
    const bool del = e->key() == Qt::Key_Delete;
    const bool typing = !e->text().isEmpty() && (e->text().front().isPrint() || e->text() == QStringLiteral("\t")) &&
                        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!backspace && !del && !typing) {
        QPlainTextEdit::keyPressEvent(e);  // moves, selections, copy
        return;
    }
    if (!c.hasSelection() && ((backspace && c.atBlockStart()) || (del && c.atBlockEnd()))) return;
    guarded([&] { QPlainTextEdit::keyPressEvent(e); });
}

void SessionView::cutText() {
    if (textCursor().hasSelection()) guarded([this] { cut(); });
}

void SessionView::clearSelection() {
    if (textCursor().hasSelection()) guarded([this] { textCursor().removeSelectedText(); });
}

void SessionView::pasteText() {
    if (!busy_ && canPaste()) paste();
}

void SessionView::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    QString t = source->text();
    t.remove(u'\r');
    QStringList lines = t.split(u'\n');
    const bool onInputLine = textCursor().blockNumber() == document()->blockCount() - 1;
    QString first = lines.takeFirst();
    if (!guarded([&] { textCursor().insertText(first); })) return;
    // Only the input line runs what a paste brings; an earlier line takes
    // its first line alone.
    if (onInputLine && !lines.isEmpty()) emit pastedLines(lines);
}

void SessionView::mouseDoubleClickEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseDoubleClickEvent(e);
    if (busy_) return;
    QTextCursor at = cursorForPosition(e->position().toPoint());
    QString word = wordAt(at.block().text(), at.positionInBlock());
    if (!word.isEmpty()) emit wordDoubleClicked(word);
}

}  // namespace wox::gui
