// The session window: typed lines, changed earlier lines, double clicks on
// function names, the position pane, keys that would join lines.
#include <QTextBlock>

#include "function_editor_view.h"
#include "gui_fixture.h"

namespace wox::gui::test {

class SessionViewTest : public QObject {
    Q_OBJECT
private slots:
    void firstDisplayAndATypedLine() {
        Home home;
        auto w = startedWindow(home);
        SessionView* v = w->sessionView();
        QCOMPARE(v->toPlainText(), QString("WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n      "));
        QVERIFY(!w->isSessionModified());
        // The caret waits on the input line after the prompt.
        QCOMPARE(w->positionPane()->text(), QString(" Ln  4   Col  7 "));

        QVERIFY(typeLine(*w, "1+2"));
        QCOMPARE(v->toPlainText(), QString("WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n      1+2\n3\n      "));
        QVERIFY(w->isSessionModified());
        // An error report and its caret come below the line, then a prompt.
        QVERIFY(typeLine(*w, "1+'a'"));
        QVERIFY(v->toPlainText().endsWith("      1+'a'\ndomain error\n      1+'a'\n       ^\n      "));
    }

    void changedEarlierLinesRunAgainInOrderAndAreRestored() {
        Home home;
        auto w = startedWindow(home);
        SessionView* v = w->sessionView();
        QVERIFY(typeLine(*w, "1+2"));  // line 3
        QVERIFY(typeLine(*w, "2+3"));  // line 5
        // Change the later line first: they still run in line order.
        caretTo(*v, 5);
        QTest::keyClicks(v, "0");
        caretTo(*v, 3);
        QTest::keyClicks(v, "0");
        QCOMPARE(lineText(*v, 3), QString("      1+20"));
        caretTo(*v, v->document()->blockCount() - 1);
        QTest::keyClicks(v, "9");
        // Enter with the caret on a changed line runs the same.
        caretTo(*v, 5);
        QSignalSpy done(w.get(), &MainWindow::lineFinished);
        QTest::keyClick(v, Qt::Key_Return);
        QVERIFY(done.wait(10000));
        QCOMPARE(v->toPlainText(), QString("WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n"
                                           "      1+2\n3\n      2+3\n5\n"
                                           "      1+20\n21\n      2+30\n32\n      9\n9\n      "));
        // Nothing is left recorded for the next Enter.
        QVERIFY(typeLine(*w, "4"));
        QVERIFY(v->toPlainText().endsWith("      9\n9\n      4\n4\n      "));
    }

    void keysNeverJoinOrSplitLines() {
        Home home;
        auto w = startedWindow(home);
        SessionView* v = w->sessionView();
        QVERIFY(typeLine(*w, "1+2"));
        const int lines = v->document()->blockCount();
        caretTo(*v, 4, 0);  // the output line "3"
        QTest::keyClick(v, Qt::Key_Backspace);
        caretTo(*v, 3);
        QTest::keyClick(v, Qt::Key_Delete);
        caretTo(*v, 2, 0);  // the empty line
        QTest::keyClick(v, Qt::Key_Backspace);
        QCOMPARE(v->document()->blockCount(), lines);
        // A selection across lines is not typed over.
        QTextCursor c(v->document()->findBlockByNumber(3));
        c.setPosition(v->document()->findBlockByNumber(4).position() + 1, QTextCursor::KeepAnchor);
        v->setTextCursor(c);
        QTest::keyClicks(v, "x");
        QCOMPARE(v->document()->blockCount(), lines);
        QCOMPARE(lineText(*v, 3), QString("      1+2"));
        // A Tab typed on an earlier line changes it like any character.
        caretTo(*v, 3, 0);
        QTest::keyClick(v, Qt::Key_Tab);
        QCOMPARE(lineText(*v, 3), QString("\t      1+2"));
        QVERIFY(typeLine(*w, "7"));
        QVERIFY2(v->toPlainText().endsWith("      1+2\n3\n\t      1+2\n3\n      7\n7\n      "), qPrintable(v->toPlainText()));
        // Nothing else recorded a line: Enter runs only the input line.
        QVERIFY(typeLine(*w, "5"));
        QVERIFY(v->toPlainText().endsWith("      7\n7\n      5\n5\n      "));
        QCOMPARE(lineText(*v, 3), QString("      1+2"));
    }

    void doubleClickOnAFunctionNameOpensItsEditor() {
        Home home;
        auto w = startedWindow(home);
        SessionView* v = w->sessionView();
        QVERIFY(typeLine(*w, "{twice: x+x}"));
        QVERIFY(typeLine(*w, "twice 4"));
        const int line = v->document()->blockCount() - 3;  // "      twice 4"
        QCOMPARE(lineText(*v, line), QString("      twice 4"));
        // A word that names no function opens nothing.
        caretTo(*v, line, 0);
        QTextCursor c = v->textCursor();
        c.setPosition(c.block().position() + 12);  // on "4"
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, v->cursorRect(c).center());
        QVERIFY(w->functionEditors().isEmpty());
        c.setPosition(c.block().position() + 8);  // inside "twice"
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, v->cursorRect(c).center());
        QCOMPARE(w->functionEditors().size(), 1);
        QCOMPARE(w->functionEditors().front()->functionName(), QString("twice"));
    }

    void wordsAreLettersDigitsAndUnderscores() {
        QCOMPARE(SessionView::wordAt("  a_1+b2", 3), QString("a_1"));
        QCOMPARE(SessionView::wordAt("  a_1+b2", 5), QString("a_1"));
        QCOMPARE(SessionView::wordAt("  a_1+b2", 8), QString("b2"));
        QCOMPARE(SessionView::wordAt("  +  ", 2), QString());
    }

    void pastedLinesRunOneByOne() {
        Home home;
        auto w = startedWindow(home);
        SessionView* v = w->sessionView();
        v->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText("1+1\n2+2\n3+");
        QSignalSpy done(w.get(), &MainWindow::lineFinished);
        v->pasteText();
        QVERIFY(done.wait(10000));
        QVERIFY(v->toPlainText().endsWith("      1+1\n2\n      2+2\n4\n      3+"));
    }
};

static Register registered([] { return new SessionViewTest; });

}  // namespace wox::gui::test

#include "session_view_test.moc"
