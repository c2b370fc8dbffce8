#pragma once
// The session window: the transcript as an editable text. The user may type
// anywhere; before the first keystroke on an earlier line its text is kept
// (through `beforeEdit`), so Enter can run the changed line and put the
// former text back. Enter itself never reaches the text: it asks the
// session to run. Line breaks are never typed, pasted or deleted, so line
// numbers stay what the session recorded.
#include <QPlainTextEdit>
#include <functional>

namespace wox::gui {

class SessionView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit SessionView(QWidget* parent = nullptr);

    // Called with a line number before that line's text changes.
    void setBeforeEdit(std::function<void(int)> beforeEdit) { beforeEdit_ = std::move(beforeEdit); }
    // While a line runs the text is read-only.
    void setBusy(bool busy);
    bool busy() const { return busy_; }

    // The Edit menu's commands, with the same guards as the keys.
    void cutText();
    void pasteText();
    void clearSelection();

    // The word of letters, digits and "_" around column `column` of `line`.
    static QString wordAt(const QString& line, int column);
    // " Ln  n   Col  m " for the caret.
    QString positionText() const;

signals:
    void enterPressed();
    // The rest of a paste that held line breaks: every whole line runs, the
    // last piece stays typed on the input line.
    void pastedLines(QStringList lines);
    void wordDoubleClicked(QString word);
    void positionChanged(QString text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // False (and a beep) when the edit would join or split lines; otherwise
    // records the caret line and runs `edit`.
    bool guarded(const std::function<void()>& edit);
    bool selectionSpansLines() const;

    std::function<void(int)> beforeEdit_;
    bool busy_ = false;
};

}  // namespace wox::gui
