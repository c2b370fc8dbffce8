#include "gui_fixture.h"

#include <QAbstractButton>
#include <QTextBlock>

namespace wox::gui::test {

std::vector<TestFactory>& registry() {
    static std::vector<TestFactory> tests;
    return tests;
}

Home::Home() {
    std::string home = dir.path().toStdString();
    places = session::configurationPlaces(home, home + "/config");
    std::string problem;
    if (!session::loadConfiguration(places, config, &problem)) qFatal("configuration: %s", problem.c_str());
}

std::unique_ptr<MainWindow> startedWindow(Home& home) {
    auto w = std::make_unique<MainWindow>(home.places, home.config);
    w->show();
    w->startSession();
    return w;
}

bool waitForLine(MainWindow& w, int ms) {
    if (!w.runner().busy()) return true;
    QSignalSpy done(&w, &MainWindow::lineFinished);
    return done.wait(ms);
}

bool typeLine(MainWindow& w, const QString& text) {
    SessionView* view = w.sessionView();
    view->moveCursor(QTextCursor::End);
    QTest::keyClicks(view, text);
    QSignalSpy done(&w, &MainWindow::lineFinished);
    QTest::keyClick(view, Qt::Key_Return);
    return done.count() > 0 || done.wait(10000);
}

void caretTo(QPlainTextEdit& view, int line, int column) {
    QTextBlock b = view.document()->findBlockByNumber(line);
    QTextCursor c(b);
    c.setPosition(b.position() + (column < 0 ? b.length() - 1 : column));
    view.setTextCursor(c);
}

QString lineText(const QPlainTextEdit& view, int line) { return view.document()->findBlockByNumber(line).text(); }

ModalAnswer::ModalAnswer(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
}

ModalAnswer::~ModalAnswer() { timer_.stop(); }

void ModalAnswer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || seen_) return;
    seen_ = true;
    timer_.stop();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) text_ = box->text();
    answer_(modal);
    // An answer that did not close its dialog must not leave the test waiting.
    if (modal->isVisible()) modal->close();
}

void press(QWidget* box, QMessageBox::StandardButton button) {
    auto* b = qobject_cast<QMessageBox*>(box);
    if (!b || !b->button(button)) {
        box->close();
        return;
    }
    b->button(button)->click();
}

}  // namespace wox::gui::test
