#include "desktop_start.h"

#include <QMessageBox>
#include <string>

#include "gui_texts.h"
#include "session/start_up.h"

namespace wox::gui {

using text::qtext;

namespace {

// Problems name files, whose paths are UTF-8.
void warn(QWidget* over, std::string_view problem) {
    QMessageBox::warning(over, qtext(text::kCaption),
                         QString::fromUtf8(problem.data(), static_cast<qsizetype>(problem.size())));
}

}  // namespace

DesktopStart startDesktop(const QStringList& arguments) {
    DesktopStart start;
    const session::ConfigurationPlaces places = session::configurationPlaces();
    session::Configuration config;
    std::string problem;
    if (!session::loadStartConfiguration(places, config, &problem,
                                         [](std::string_view why) { warn(nullptr, why); })) {
        QMessageBox::critical(nullptr, qtext(text::kCaption),
                              qtext(text::kConfigurationMissing) + "\n" + QString::fromStdString(problem));
        start.status = 1;
        return start;
    }

    QString workspace;
    bool lastWasFlag = false;
    for (const QString& a : arguments) {
        lastWasFlag = a == "-t" || a == "-v";
        if (a == "-t") QMessageBox::information(nullptr, qtext(text::kCaption), qtext(text::kTestFlag));
        else if (a == "-v")
            QMessageBox::information(nullptr, qtext(text::kCaption), qtext(text::kVersionFlag) + " " WOX_VERSION_TEXT);
        else workspace = a;
    }
    if (lastWasFlag) return start;

    auto window = std::make_unique<MainWindow>(places, config);
    if (!window->interpreterReady()) {
        QMessageBox::critical(nullptr, qtext(text::kCaption), qtext(session::kNoWorkspaceHeap));
        start.status = 1;
        return start;
    }
    // A workspace that does not load is reported; the session starts clear.
    if (!workspace.isEmpty() && !window->loadAtStart(workspace.toStdString(), &problem))
        warn(window.get(), session::startFileProblem(window->startFile(), problem));
    window->show();
    window->startSession();
    start.window = std::move(window);
    return start;
}

}  // namespace wox::gui
