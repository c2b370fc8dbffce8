#pragma once
// The function-editor window: the function's source, one numbered line each
// ("[0]  " before the header). Enter starts a new numbered line and numbers
// the following lines again; Backspace just after a number joins the line to
// the one above; Enter on a line that starts with "@." asks to redefine the
// function from the lines above it.
#include <QPlainTextEdit>
#include <string>
#include <vector>

namespace wox::gui {

class FunctionEditorView : public QPlainTextEdit {
    Q_OBJECT
public:
    FunctionEditorView(const QString& name, const std::vector<std::string>& source, QWidget* parent = nullptr);

    const QString& functionName() const { return name_; }
    // The lines as the function's source: numbers removed.
    std::vector<std::string> sourceLines(int upTo) const;
    // Writes "[n]  " before every line again, keeping the caret in its text.
    void renumber();

signals:
    void commitRequested(std::vector<std::string> lines);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void newLine();
    bool joinWithPrevious();
    bool joinNext();

    QString name_;
};

}  // namespace wox::gui
