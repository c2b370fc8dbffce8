#pragma once
// The main window: a multiple-document frame holding the session window and
// any number of function editors, with the menus, the toolbar and the
// status bar. It owns the interpreter and the session; lines run on the
// line runner's thread, and while one runs the window only repaints, takes
// Break, and answers what the line asks of it (an editor, a message box).
#include <QMainWindow>
#include <memory>
#include <string>

#include "document_transcript.h"
#include "engine/interpreter.h"
#include "line_runner.h"
#include "session/configuration.h"
#include "session/session.h"
#include "session/start_up.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace wox::gui {

class FunctionEditorView;
class SessionView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(const session::ConfigurationPlaces& places, const session::Configuration& config,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Whether the interpreter has its workspace heap.
    bool interpreterReady() const { return interpreterReady_; }
    // Loads a workspace file before the first display; false with the
    // reason when it cannot.
    bool loadAtStart(const std::string& path, std::string* problem);
    const session::StartFile& startFile() const { return startFile_; }
    // The first display: banner, the loaded workspace's name or "CLEAR WS",
    // the first prompt.
    void startSession();

    Interpreter& interpreter() { return *in_; }
    session::Session& session() { return *session_; }
    SessionView* sessionView() const { return view_; }
    LineRunner& runner() { return runner_; }
    const session::Configuration& configuration() const { return config_; }
    QAction* breakAction() const { return breakAction_; }
    QLabel* folderPane() const { return folderPane_; }
    QLabel* positionPane() const { return positionPane_; }

    bool isSessionModified() const;
    FunctionEditorView* openFunctionEditor(const QString& name);
    QList<FunctionEditorView*> functionEditors() const;
    // LOAD or SAVE of a chosen file, echoed over the input line as the
    // menus do.
    bool openWorkspaceFile(const QString& path);
    bool saveWorkspaceAs(const QString& path);
    // Stores a new workspace folder in the configuration and shows it.
    bool setWorkspaceFolder(const QString& folder, QString* problem);

    // The menu commands (also for tests, which drive their dialogs).
    void fileNew();
    void fileOpen();
    void fileSave();
    void fileSaveAs();
    void workspacePath();
    void chooseColour();
    void chooseFont();
    void openHelp(int index);

signals:
    // A line, a menu command or a commit has finished.
    void lineFinished();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void buildMenus();
    void buildStatusBar();
    void applyViewSettings();
    void enter();
    void runPasted(const QStringList& lines);
    bool runMenuCommand(const QString& echo, session::Command command, std::string argument = {});
    void commit(FunctionEditorView* editor, const std::vector<std::string>& lines);
    void onStarted();
    void onFinished();
    void showFolder();
    void updateTitle();
    void setSessionModified(bool modified);
    void rememberFile(const QString& path);
    void fillRecentMenu();
    QPlainTextEdit* activeText() const;

    session::ConfigurationPlaces places_;
    session::Configuration config_;
    std::unique_ptr<Interpreter> in_;
    LineRunner runner_;
    QMdiArea* mdi_;
    SessionView* view_;
    QMdiSubWindow* sessionWindow_;
    std::unique_ptr<DocumentTranscript> document_;
    std::unique_ptr<CrossThreadTranscript> transcript_;
    std::unique_ptr<session::Session> session_;
    session::StartFile startFile_;
    bool interpreterReady_ = false;
    QLabel* folderPane_ = nullptr;
    QLabel* versionPane_ = nullptr;
    QLabel* positionPane_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* breakAction_ = nullptr;
    QString lastFind_;
    bool savedDuringLine_ = false;
    bool closePending_ = false;
    bool modified_ = false;
};

}  // namespace wox::gui
