// The function editor: its numbering on Enter and Backspace, and "@." that
// redefines the function from the lines above it.
#include "function_editor_view.h"
#include "gui_fixture.h"
#include "numbered_lines.h"
#include "session/function_requests.h"

namespace wox::gui::test {

namespace {

QStringList editorLines(const FunctionEditorView& e) { return e.toPlainText().split('\n'); }

}  // namespace

class FunctionEditorTest : public QObject {
    Q_OBJECT
private slots:
    void numberPrefixes() {
        QCOMPARE(numberedLine(12, "z<-x"), std::string("[12]  z<-x"));
        QCOMPARE(withoutNumber("[3]  a<-1"), std::string_view("a<-1"));
        QCOMPARE(withoutNumber("[3]    a"), std::string_view("  a"));  // blanks of the text stay
        QCOMPARE(withoutNumber("[x]  a"), std::string_view("[x]  a"));
        QCOMPARE(withoutNumber("[]IO"), std::string_view("[]IO"));
        QVERIFY(isCommitLine("[4]  @."));
        QVERIFY(isCommitLine("@."));
        QVERIFY(!isCommitLine("[4]  a@.b"));
    }

    void enterStartsANumberedLineAndRenumbersTheRest() {
        FunctionEditorView e("f", {"z<-f x", "a<-x", "z<-a+1"});
        QCOMPARE(editorLines(e), QStringList({"[0]  z<-f x", "[1]  a<-x", "[2]  z<-a+1"}));
        caretTo(e, 0);
        QTest::keyClick(&e, Qt::Key_Return);
        QTest::keyClicks(&e, "b<-2");
        QCOMPARE(editorLines(e), QStringList({"[0]  z<-f x", "[1]  b<-2", "[2]  a<-x", "[3]  z<-a+1"}));
        // Enter inside a line carries the rest of it to the new line.
        caretTo(e, 3, 8);  // after "z<-"
        QTest::keyClick(&e, Qt::Key_Return);
        QCOMPARE(editorLines(e), QStringList({"[0]  z<-f x", "[1]  b<-2", "[2]  a<-x", "[3]  z<-", "[4]  a+1"}));
        // Backspace just after a number joins the line to the one above.
        caretTo(e, 4, 5);
        QTest::keyClick(&e, Qt::Key_Backspace);
        QCOMPARE(editorLines(e), QStringList({"[0]  z<-f x", "[1]  b<-2", "[2]  a<-x", "[3]  z<-a+1"}));
        QCOMPARE(e.textCursor().positionInBlock(), 8);
        // Elsewhere it deletes a character.
        caretTo(e, 1);
        QTest::keyClick(&e, Qt::Key_Backspace);
        QCOMPARE(editorLines(e)[1], QString("[1]  b<-"));
        // On the header it joins nothing.
        caretTo(e, 0, 5);
        QTest::keyClick(&e, Qt::Key_Backspace);
        QCOMPARE(editorLines(e).size(), 4);
    }

    void atDotCommitsTheLinesAbove() {
        Home home;
        auto w = startedWindow(home);
        QVERIFY(typeLine(*w, "{f: x+1}"));
        QVERIFY(typeLine(*w, "@.f"));
        QCOMPARE(w->functionEditors().size(), 1);
        FunctionEditorView* e = w->functionEditors().front();
        QCOMPARE(editorLines(*e), QStringList({"[0]  z<-f x", "[1]  z<-x+1"}));
        caretTo(*e, 1, 9);  // after "z<-x"
        QTest::keyClicks(e, "*10");
        caretTo(*e, 1);
        QTest::keyClick(e, Qt::Key_Return);
        QTest::keyClicks(e, "@.");
        QPointer<FunctionEditorView> alive(e);
        QTest::keyClick(e, Qt::Key_Return);
        QTRY_VERIFY(alive.isNull());  // the editor closed
        QCOMPARE(session::functionSource(w->interpreter(), "f"), (std::vector<std::string>{"z<-f x", "z<-x*10+1"}));
        QVERIFY(typeLine(*w, "f 2"));
        QVERIFY(w->sessionView()->toPlainText().endsWith("      f 2\n22\n      "));
    }

    void aRefusedCommitKeepsTheEditorAndTheFunction() {
        Home home;
        auto w = startedWindow(home);
        QVERIFY(typeLine(*w, "{f: x+1}"));
        FunctionEditorView* e = w->openFunctionEditor("f");
        QVERIFY(e);
        // A header that names no defined function stores nothing.
        caretTo(*e, 0, 9);
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, "g");
        caretTo(*e, 1);
        QTest::keyClick(e, Qt::Key_Return);
        QTest::keyClicks(e, "@.");
        ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::Ok); });
        QTest::keyClick(e, Qt::Key_Return);
        QTRY_VERIFY(answer.seen());
        QCOMPARE(answer.text(), QString("defn error: the function is unchanged"));
        QCOMPARE(w->functionEditors().size(), 1);
        QCOMPARE(editorLines(*e)[0], QString("[0]  z<-g x"));
        QCOMPARE(session::functionSource(w->interpreter(), "f"), (std::vector<std::string>{"z<-f x", "z<-x+1"}));
    }
};

static Register registered([] { return new FunctionEditorTest; });

}  // namespace wox::gui::test

#include "function_editor_view_test.moc"
