// The desktop program's tests. They run on the offscreen platform in a home
// of their own; with "-screenshots DIR" they take pictures of the real
// window instead (under an X server).
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "gui_fixture.h"

int runScreenshots(const QString& folder);

int main(int argc, char** argv) {
    // Settings and configuration never reach the user's own files.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Harnwick");
    QApplication::setApplicationName("wox-gui-tests");

    QStringList args = QApplication::arguments();
    if (int i = args.indexOf("-screenshots"); i >= 0 && i + 1 < args.size()) return runScreenshots(args[i + 1]);

    int failed = 0;
    for (const auto& make : wox::gui::test::registry()) {
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
