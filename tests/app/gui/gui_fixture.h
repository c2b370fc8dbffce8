#pragma once
// What the desktop program's tests share: a main window over a configuration
// in a home of its own, typing into the session, waiting for a line, and
// answering the modal dialogs a command opens.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "main_window.h"
#include "session/configuration.h"
#include "session_view.h"

namespace wox::gui::test {

// Every test class registers itself; main runs them all.
using TestFactory = std::function<QObject*()>;
std::vector<TestFactory>& registry();
struct Register {
    explicit Register(TestFactory f) { registry().push_back(std::move(f)); }
};

// A home with its configuration and workspace folder, removed afterwards.
struct Home {
    QTemporaryDir dir;
    session::ConfigurationPlaces places;
    session::Configuration config;
    Home();
    QString workspaceFolder() const { return QString::fromStdString(config.workspacePath); }
};

// A started window; `home` must outlive it.
std::unique_ptr<MainWindow> startedWindow(Home& home);

// Waits for the line, menu command or commit under way to end.
bool waitForLine(MainWindow& w, int ms = 10000);
// Types `text` at the end of the input line and presses Enter.
bool typeLine(MainWindow& w, const QString& text);
// Places the caret at column `column` of line `line` (-1: its end).
void caretTo(QPlainTextEdit& view, int line, int column = -1);
QString lineText(const QPlainTextEdit& view, int line);

// Once a modal dialog shows, hands it to `answer` (which must close it).
// Returns what text the dialog showed, when it is a message box.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> answer);
    ~ModalAnswer();
    bool seen() const { return seen_; }
    const QString& text() const { return text_; }

private:
    void poll();
    std::function<void(QWidget*)> answer_;
    QTimer timer_;
    bool seen_ = false;
    QString text_;
};

// Presses a message box's button of that role.
void press(QWidget* box, QMessageBox::StandardButton button);

}  // namespace wox::gui::test
