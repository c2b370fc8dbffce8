// wox-gui: the Wox interpreter as a desktop program with a session window
// and function editors.
#include <gsl/gsl_errno.h>

#include <QApplication>
#include <QMessageBox>
#include <string>

#include "app_icon.h"
#include "gui_texts.h"
#include "main_window.h"
#include "session/configuration.h"
#include "view_settings.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(wox::gui::ViewSettings::kOrganisation);
    QApplication::setApplicationName(wox::gui::ViewSettings::kApplication);
    QApplication::setDesktopFileName(QStringLiteral("wox-gui"));
    QApplication::setWindowIcon(wox::gui::appIcon());
    gsl_set_error_handler_off();
    using wox::gui::text::qtext;

    wox::session::ConfigurationPlaces places = wox::session::configurationPlaces();
    wox::session::Configuration config;
    std::string problem;
    if (!wox::session::loadConfiguration(places, config, &problem)) {
        QMessageBox::critical(nullptr, qtext(wox::gui::text::kCaption),
                              qtext(wox::gui::text::kConfigurationMissing) + "\n" + QString::fromStdString(problem));
        return 1;
    }

    // Flags: -t and -v show what they stand for; a flag given last ends the
    // program there. Any other argument is a workspace file to open.
    QStringList args = QApplication::arguments();
    args.removeFirst();
    QString workspace;
    bool lastWasFlag = false;
    for (const QString& a : args) {
        lastWasFlag = a == "-t" || a == "-v";
        if (a == "-t") QMessageBox::information(nullptr, qtext(wox::gui::text::kCaption), qtext(wox::gui::text::kTestFlag));
        else if (a == "-v")
            QMessageBox::information(nullptr, qtext(wox::gui::text::kCaption),
                                     qtext(wox::gui::text::kVersionFlag) + " " WOX_VERSION_TEXT);
        else workspace = a;
    }
    if (lastWasFlag) return 0;

    wox::gui::MainWindow window(places, config);
    if (!window.interpreter().ws.region.ok()) {
        QMessageBox::critical(nullptr, qtext(wox::gui::text::kCaption), QStringLiteral("cannot reserve the workspace heap"));
        return 1;
    }
    if (!workspace.isEmpty() && !window.loadAtStart(workspace.toStdString(), &problem))
        QMessageBox::warning(&window, qtext(wox::gui::text::kCaption),
                             QStringLiteral("cannot load %1: %2").arg(workspace, QString::fromStdString(problem)));
    window.show();
    window.startSession();
    return QApplication::exec();
}
