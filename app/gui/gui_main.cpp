// wox-gui: the Wox interpreter as a desktop program with a session window
// and function editors.
#include <QApplication>

#include "app_icon.h"
#include "desktop_start.h"
#include "view_settings.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(wox::gui::ViewSettings::kOrganisation);
    QApplication::setApplicationName(wox::gui::ViewSettings::kApplication);
    QApplication::setDesktopFileName(QStringLiteral("wox-gui"));
    QApplication::setWindowIcon(wox::gui::appIcon());

    QStringList args = QApplication::arguments();
    args.removeFirst();
    wox::gui::DesktopStart start = wox::gui::startDesktop(args);
    if (!start.window) return start.status;
    return QApplication::exec();
}
