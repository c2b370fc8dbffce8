// The desktop program's start in a home of its own: a fresh workspace folder
// gets the standard library, so the first `do` finds it; a workspace file
// that does not load is reported and the session starts clear; a flag given
// last ends the program.
#include <QFile>

#include "desktop_start.h"
#include "gui_fixture.h"

namespace wox::gui::test {

namespace {

// Points HOME and XDG_CONFIG_HOME into a fresh folder while it lives.
class FreshHome {
public:
    FreshHome() : home_(qgetenv("HOME")), config_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", dir_.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toLocal8Bit());
    }
    ~FreshHome() {
        qputenv("HOME", home_);
        qputenv("XDG_CONFIG_HOME", config_);
    }
    FreshHome(const FreshHome&) = delete;
    FreshHome& operator=(const FreshHome&) = delete;
    // Where the configuration written on a first start puts it.
    QString workspaceFolder() const { return dir_.path() + "/wox/ws/"; }

private:
    QTemporaryDir dir_;
    QByteArray home_;
    QByteArray config_;
};

}  // namespace

class DesktopStartTest : public QObject {
    Q_OBJECT
private slots:
    void aFreshWorkspaceFolderGetsTheStandardLibraryForDo() {
        FreshHome home;
        DesktopStart start = startDesktop({});
        QVERIFY(start.window);
        QVERIFY(QFile::exists(home.workspaceFolder() + "standard.vsf"));
        QCOMPARE(QString::fromStdString(start.window->session().workspaceFolder()), home.workspaceFolder());
        QVERIFY(typeLine(*start.window, "do 'CREATE TABLE t1 (a b; ''IC''; 5)'"));
        const QString t = start.window->sessionView()->toPlainText();
        QVERIFY2(t.endsWith("      do 'CREATE TABLE t1 (a b; ''IC''; 5)'\ntable t1 created.\n      "), qPrintable(t));
        QVERIFY(typeLine(*start.window, "#t1.b"));
        QVERIFY(start.window->sessionView()->toPlainText().endsWith("      #t1.b\n0 5\n      "));
    }

    void aFolderChosenLaterGetsTheStandardLibraryToo() {
        FreshHome home;
        DesktopStart start = startDesktop({});
        QVERIFY(start.window);
        QTemporaryDir other;
        const QString folder = other.path() + "/";
        QString problem;
        QVERIFY2(start.window->setWorkspaceFolder(folder, &problem), qPrintable(problem));
        QVERIFY(QFile::exists(folder + "standard.vsf"));
        QVERIFY(typeLine(*start.window, "do 'CREATE TABLE t2 (a b; ''IC''; 5)'"));
        QVERIFY2(start.window->sessionView()->toPlainText().endsWith("table t2 created.\n      "),
                 qPrintable(start.window->sessionView()->toPlainText()));
    }

    void aWorkspaceThatDoesNotLoadIsReportedAndTheSessionStartsClear() {
        FreshHome home;
        const QString absent = home.workspaceFolder() + "absent.wox";
        ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::Ok); });
        DesktopStart start = startDesktop({absent});
        QVERIFY(start.window);
        QVERIFY(answer.seen());
        QCOMPARE(answer.text(), "cannot load " + absent + ": the file is not found");
        QCOMPARE(start.window->sessionView()->toPlainText(), QString("WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n      "));
        QVERIFY(!start.window->isSessionModified());
    }

    void aFlagGivenLastEndsTheProgramAfterItsBox() {
        FreshHome home;
        ModalAnswer answer([](QWidget* box) { press(box, QMessageBox::Ok); });
        DesktopStart start = startDesktop({"-v"});
        QVERIFY(!start.window);
        QCOMPARE(start.status, 0);
        QCOMPARE(answer.text(), QString("version " WOX_VERSION_TEXT));
    }
};

static Register registered([] { return new DesktopStartTest; });

}  // namespace wox::gui::test

#include "desktop_start_test.moc"
