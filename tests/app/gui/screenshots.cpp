// Pictures of the real window, for people to look at: a session with a few
// lines and a function editor beside it.
#include <QDir>
#include <QScreen>
#include <QWindow>

#include "function_editor_view.h"
#include "gui_fixture.h"

using namespace wox::gui;
using namespace wox::gui::test;

int runScreenshots(const QString& folder) {
    if (!QDir().mkpath(folder)) return 1;
    Home home;
    auto w = std::make_unique<MainWindow>(home.places, home.config);
    w->resize(1100, 760);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return 1;
    w->startSession();
    for (const char* line : {"a<-3 4#!12", "a", "+/a", "{avg: (+/x)%#x}", "avg 1 2 3 4", "1%0", "@.avg"})
        if (!typeLine(*w, line)) return 1;
    if (w->functionEditors().isEmpty()) return 1;
    if (!QTest::qWaitForWindowExposed(w.get())) return 1;
    QTest::qWait(500);
    bool ok = true;
    QScreen* screen = w->windowHandle()->screen();
    ok &= screen->grabWindow(w->winId()).save(folder + "/session-and-editor.png");
    ok &= w->grab().save(folder + "/main-window.png");
    return ok ? 0 : 1;
}
