// The main window: closing a modified session, the Open and Save As names,
// the Workspace Path dialog, Break during a long line, and the
// interpreter's message boxes.
#include <QAbstractButton>
#include <QDir>
#include <QPushButton>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

#include "gui_fixture.h"
#include "open_name.h"
#include "workspace_path_dialog.h"

namespace wox::gui::test {

namespace {

// Defines a function whose line 1 branches to itself and calls it; the line
// runs until it is stopped.
bool startEndlessLine(MainWindow& w) {
    if (!typeLine(w, "[]FX 2 9#'z<-spin x->1      '")) return false;
    w.sessionView()->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.sessionView(), "spin 0");
    QTest::keyClick(w.sessionView(), Qt::Key_Return);
    return w.runner().busy();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void closingAModifiedSessionAsksFirst() {
        Home home;
        auto w = startedWindow(home);
        {
            // Not modified: no question.
            ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::No); });
            QVERIFY(w->close());
            QTest::qWait(100);
            QVERIFY(!answer.seen());
        }
        w = startedWindow(home);
        QVERIFY(typeLine(*w, "a<-1"));
        {
            ModalAnswer answer([](QWidget* box) {
                // No is what Enter would choose.
                auto* question = qobject_cast<QMessageBox*>(box);
                QCOMPARE(static_cast<QAbstractButton*>(question->defaultButton()), question->button(QMessageBox::No));
                press(box, QMessageBox::No);
            });
            QVERIFY(!w->close());
            QVERIFY(answer.seen());
            QCOMPARE(answer.text(), QString("Are you sure?"));
            QVERIFY(w->isVisible());
        }
        {
            ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::Yes); });
            QVERIFY(w->close());
            QVERIFY(answer.seen());
        }
    }

    void aWorkspaceNamedAtStartIsLoadedBeforeTheFirstDisplay() {
        Home home;
        {
            auto w = startedWindow(home);
            QVERIFY(typeLine(*w, "x<-42"));
            QVERIFY(typeLine(*w, ")save startws"));
            ModalAnswer none([](QWidget* box) { press(box, QMessageBox::No); });
            QVERIFY(w->close());  // saved: nothing to ask
            QTest::qWait(50);
            QVERIFY(!none.seen());
        }
        MainWindow w(home.places, home.config);
        std::string problem;
        QVERIFY(!w.loadAtStart((home.workspaceFolder() + "absent.wox").toStdString(), &problem));
        QCOMPARE(problem, std::string("the file is not found"));
        QVERIFY(w.loadAtStart((home.workspaceFolder() + "startws.wox").toStdString(), &problem));
        w.show();
        w.startSession();
        QCOMPARE(w.sessionView()->toPlainText(), QString("WOX version " WOX_VERSION_TEXT "\n      startws ws loaded\n\n      "));
        QVERIFY(!w.isSessionModified());
        QVERIFY(typeLine(w, "x"));
        QVERIFY(w.sessionView()->toPlainText().endsWith("      x\n42\n      "));
    }

    void offClosesTheWindowAfterTheQuestion() {
        Home home;
        auto w = startedWindow(home);
        ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::Yes); });
        QVERIFY(typeLine(*w, ")off"));
        QTRY_VERIFY(answer.seen());
        QTRY_VERIFY(!w->isVisible());
    }

    void menuCommandsAreEchoedOverTheInputLine() {
        Home home;
        auto w = startedWindow(home);
        SessionView* v = w->sessionView();
        QVERIFY(typeLine(*w, "a<-1"));
        v->moveCursor(QTextCursor::End);
        QTest::keyClicks(v, "half typed");
        w->fileNew();
        QVERIFY(waitForLine(*w));
        QVERIFY(v->toPlainText().endsWith("      a<-1\n      )clear\n      "));
        w->fileSave();
        QVERIFY(waitForLine(*w));
        QVERIFY(v->toPlainText().endsWith("      )clear\n      )save\nnot saved, this is a clear ws\n      "));
        QVERIFY(typeLine(*w, "a"));
        QVERIFY(v->toPlainText().contains("      a\nvalue error"));
    }

    void savingMarksTheSessionNotModified() {
        Home home;
        auto w = startedWindow(home);
        QVERIFY(typeLine(*w, "a<-1"));
        QVERIFY(typeLine(*w, ")save kept"));
        QVERIFY(!w->isSessionModified());
        QVERIFY(typeLine(*w, "b<-2"));
        QVERIFY(w->isSessionModified());
        // A save that fails keeps the question.
        QVERIFY(typeLine(*w, ")save 'nowhere/at/all/x.wox'"));
        QVERIFY(w->isSessionModified());
    }

    void openAndSaveAsNameTheFileAsLoadTakesIt() {
        const QString folder = "/home/u/wox/ws/";
        QCOMPARE(commandFileName("/home/u/wox/ws/mine.wox", folder), QString("mine"));
        QCOMPARE(commandFileName("/home/u/wox/ws/mine.wox", "/home/u/wox/ws"), QString("mine"));
        QCOMPARE(commandFileName("/home/u/other/mine.wox", folder), QString("'/home/u/other/mine.wox'"));
        QCOMPARE(commandFileName("/home/u/wox/ws/mine.old.wox", folder), QString("'/home/u/wox/ws/mine.old.wox'"));
        QCOMPARE(commandFileName("/home/u/wox/ws/sub/mine.wox", folder), QString("'/home/u/wox/ws/sub/mine.wox'"));
    }

    void theOpenDialogLoadsByBareNameOrQuotedPath() {
        Home home;
        auto w = startedWindow(home);
        QVERIFY(typeLine(*w, "kept<-42"));
        QVERIFY(typeLine(*w, ")save mine"));
        QVERIFY(typeLine(*w, ")clear"));
        const QString inFolder = home.workspaceFolder() + "mine.wox";
        const QString elsewhere = home.dir.path() + "/other.wox";
        QVERIFY(QFile::copy(inFolder, elsewhere));

        for (const QString& path : {inFolder, elsewhere}) {
            QString startedIn;
            ModalAnswer answer([path, &startedIn](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                if (!dialog) return;
                startedIn = dialog->directory().absolutePath();
                // Typed as a full path, as the user may: the dialog's listing
                // of its folder comes later, from a thread of its own.
                if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
                QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, QDialog::Accepted));
            });
            w->fileOpen();
            QVERIFY(answer.seen());
            // It starts in the workspace folder.
            QCOMPARE(startedIn, QDir(home.workspaceFolder()).absolutePath());
            QVERIFY(waitForLine(*w));
            QVERIFY(typeLine(*w, "kept"));
        }
        QString t = w->sessionView()->toPlainText();
        QVERIFY2(t.contains("\n      )load mine\nsaved "), qPrintable(t));
        QVERIFY2(t.contains("\n      )load '" + elsewhere + "'\nsaved "), qPrintable(t));
        QCOMPARE(t.count("      kept\n42\n"), 2);
        QCOMPARE(w->session().workspaceName(), std::string("other"));
    }

    void theWorkspacePathDialogRefusesWhatIsNoFolder() {
        WorkspacePathDialog empty("");
        QCOMPARE(empty.pathField()->text(), QString("path error"));

        Home home;
        auto w = startedWindow(home);
        const std::string before = w->configuration().workspacePath;
        {
            WorkspacePathDialog d(home.workspaceFolder());
            QCOMPARE(d.pathField()->text(), home.workspaceFolder());
            d.pathField()->setText(home.dir.path() + "/no/such/folder");
            ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::Ok); });
            d.accept();
            QVERIFY(answer.seen());
            QCOMPARE(answer.text(), QString("Please check this file first"));
            QCOMPARE(d.result(), int(QDialog::Rejected));
            QVERIFY(d.chosenPath().isEmpty());
        }
        {
            // A missing final "/" is added.
            QVERIFY(QDir(home.dir.path()).mkdir("elsewhere"));
            WorkspacePathDialog d(home.workspaceFolder());
            d.pathField()->setText(home.dir.path() + "/elsewhere");
            d.accept();
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(d.chosenPath(), home.dir.path() + "/elsewhere/");
            QString problem;
            QVERIFY(w->setWorkspaceFolder(d.chosenPath(), &problem));
        }
        // The configuration file holds the new folder; commands use it.
        session::Configuration again;
        std::string problem;
        QVERIFY(session::loadConfiguration(home.places, again, &problem));
        QCOMPARE(QString::fromStdString(again.workspacePath), home.dir.path() + "/elsewhere/");
        QCOMPARE(w->folderPane()->text(), "Current Path: [ " + home.dir.path() + "/elsewhere/ ]");
        QVERIFY(typeLine(*w, ")save there"));
        QVERIFY(QFile::exists(home.dir.path() + "/elsewhere/there.wox"));
        QVERIFY(before != again.workspacePath);
    }

    void breakStopsALongLineAndKeepsTheWorkspace() {
        Home home;
        auto w = startedWindow(home);
        QVERIFY(typeLine(*w, "kept<-1 2 3"));
        SessionView* v = w->sessionView();
        QSignalSpy done(w.get(), &MainWindow::lineFinished);
        QVERIFY(startEndlessLine(*w));
        // The window goes on: events are handled while the line runs.
        QTest::qWait(300);
        QVERIFY(w->runner().busy());
        QVERIFY(v->isReadOnly());
        QVERIFY(w->breakAction()->isEnabled());
        QTest::keyClicks(v, "ignored");
        w->breakAction()->trigger();
        QVERIFY(done.wait(10000));
        QVERIFY(!v->isReadOnly());
        QVERIFY(!w->breakAction()->isEnabled());
        QVERIFY2(v->toPlainText().contains("interrupt"), qPrintable(v->toPlainText()));
        QVERIFY(!v->toPlainText().contains("ignored"));
        QVERIFY(typeLine(*w, "kept"));
        QVERIFY(v->toPlainText().endsWith("      kept\n1 2 3\n      "));
    }

    void closingDuringALineStopsItFirst() {
        Home home;
        auto w = startedWindow(home);
        SessionView* v = w->sessionView();
        QVERIFY(startEndlessLine(*w));
        QTest::qWait(100);
        QVERIFY(w->runner().busy());
        // A menu command waits for the line, it does not run beside it.
        QVERIFY(!w->openWorkspaceFile(home.workspaceFolder() + "x.wox"));
        ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::Yes); });
        QVERIFY(!w->close());
        QTRY_VERIFY(answer.seen());
        QCOMPARE(answer.text(), QString("Are you sure?"));
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(v->toPlainText().contains("interrupt"));
        QVERIFY(!v->toPlainText().contains(")load"));
    }

    void interpreterDiagnosticsShowAsMessageBoxes() {
        Home home;
        auto w = startedWindow(home);
        ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::Ok); });
        QSignalSpy done(&w->runner(), &LineRunner::finished);
        // From the interpreter's own thread, as during a line.
        w->runner().run([&w] { w->interpreter().link().diagnostic("ws needs larger table or heap"); });
        QVERIFY(done.wait(10000));
        QVERIFY(answer.seen());
        QCOMPARE(answer.text(), QString("ws needs larger table or heap"));
    }
};

static Register registered([] { return new MainWindowTest; });

}  // namespace wox::gui::test

#include "main_window_test.moc"
