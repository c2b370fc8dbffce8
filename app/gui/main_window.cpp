#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QToolBar>
#include <QUrl>

#include "app_icon.h"
#include "function_editor_view.h"
#include "gui_texts.h"
#include "help_documents.h"
#include "open_name.h"
#include "session/function_requests.h"
#include "session/start_up.h"
#include "session_view.h"
#include "view_settings.h"
#include "workspace_path_dialog.h"

namespace wox::gui {

using text::qtext;

namespace {

constexpr int kFolderPaneWidth = 400;
constexpr int kVersionPaneWidth = 200;
constexpr int kPositionPaneWidth = 200;
constexpr int kRecentFiles = 4;
constexpr std::string_view kClearWs = "CLEAR WS";

QString prompt() { return qtext(session::kPrompt); }

}  // namespace

MainWindow::MainWindow(const session::ConfigurationPlaces& places, const session::Configuration& config,
                       QWidget* parent)
    : QMainWindow(parent),
      places_(places),
      config_(config),
      in_(std::make_unique<Interpreter>()),
      runner_(this),
      mdi_(new QMdiArea),
      view_(new SessionView) {
    setWindowTitle(qtext(text::kCaption).trimmed());
    setWindowIcon(appIcon());
    setAcceptDrops(true);
    setCentralWidget(mdi_);
    sessionWindow_ = mdi_->addSubWindow(view_);
    sessionWindow_->setWindowIcon(appIcon());
    // Closing the session closes the program, with its question.
    sessionWindow_->installEventFilter(this);

    document_ = std::make_unique<DocumentTranscript>(*view_);
    transcript_ = std::make_unique<CrossThreadTranscript>(*document_, runner_);
    session_ = std::make_unique<session::Session>(*in_, *transcript_);
    session_->setSavedListener([this] { savedDuringLine_ = true; });
    session_->setEditorOpener([this](std::string_view name) {
        QString n = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        runner_.onGuiThread([&] { openFunctionEditor(n); });
    });
    session_->setOff([this] { QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection); });
    // The diagnostics the interpreter shows in a message box (the terminal
    // writes them to standard error).
    interpreterReady_ = session::readyInterpreter(*in_);
    session_->setMessageBox([this](std::string_view message) {
        QString m = QString::fromLatin1(message.data(), static_cast<qsizetype>(message.size()));
        runner_.onGuiThread([&] { QMessageBox::warning(this, qtext(text::kCaption), m); });
    });

    view_->setBeforeEdit([this](int line) { session_->beforeKeyOn(line); });
    connect(view_, &SessionView::enterPressed, this, &MainWindow::enter);
    connect(view_, &SessionView::pastedLines, this, &MainWindow::runPasted);
    connect(view_, &SessionView::wordDoubleClicked, this, [this](const QString& word) {
        if (!runner_.busy() && session::isDefinedFunction(*in_, fromDocumentText(word)))
            openFunctionEditor(word);
    });
    connect(&runner_, &LineRunner::started, this, &MainWindow::onStarted);
    connect(&runner_, &LineRunner::finished, this, &MainWindow::onFinished);

    buildMenus();
    buildStatusBar();
    applyViewSettings();
    sessionWindow_->show();

    resize(1000, 720);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() {
    // The interpreter must not write into a window that is going away.
    session_->setMessageBox(nullptr);
}

bool MainWindow::loadAtStart(const std::string& path, std::string* problem) {
    // Only workspace files: a script read at start would run on the
    // window's thread, out of Break's reach.
    startFile_ = session::StartFile();
    startFile_.path = path;
    return session::openStartFile(*in_, startFile_, problem);
}

void MainWindow::startSession() {
    // The session fills the frame; editors open over it.
    sessionWindow_->setGeometry(mdi_->viewport()->rect());
    session::startSession(*session_, config_, startFile_, true);
    updateTitle();
    setSessionModified(false);
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
    positionPane_->setText(view_->positionText());
    view_->setFocus();
}

// ---- running lines ------------------------------------------------------

void MainWindow::enter() {
    runner_.run([this] { session_->enter(); });
}

void MainWindow::runPasted(const QStringList& lines) {
    // Every whole line runs in turn; the last piece stays on the input line.
    std::vector<std::string> whole;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) whole.push_back(fromDocumentText(lines[i]));
    std::string rest = fromDocumentText(lines.back());
    runner_.run([this, whole = std::move(whole), rest] {
        session_->enter();
        for (const std::string& line : whole) session_->submit(line);
        transcript_->caretToEnd();
        transcript_->append(rest);
    });
}

bool MainWindow::runMenuCommand(const QString& echo, session::Command command, std::string argument) {
    if (runner_.busy()) {
        statusBar()->showMessage(qtext(text::kBusy), 5000);
        return false;
    }
    std::string shown = fromDocumentText(echo);
    return runner_.run([this, shown, command, argument = std::move(argument)] {
        transcript_->selectInputLine();
        transcript_->append(shown);
        transcript_->caretToEnd();
        in_->interruptRequested.store(false);
        (void)session_->runCommand(command, argument);
        transcript_->caretToEnd();
        transcript_->append("\r\n" + std::string(session::kPrompt));
        in_->interruptRequested.store(false);
    });
}

void MainWindow::onStarted() {
    savedDuringLine_ = false;
    view_->setBusy(true);
    breakAction_->setEnabled(true);
    statusBar()->showMessage(qtext(text::kRunning));
}

void MainWindow::onFinished() {
    view_->setBusy(false);
    breakAction_->setEnabled(false);
    statusBar()->clearMessage();
    session_->setWorkspaceFolder(config_.workspacePath);
    setSessionModified(!savedDuringLine_);
    updateTitle();
    view_->ensureCursorVisible();
    emit lineFinished();
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

void MainWindow::updateTitle() {
    const std::string& name = session_->workspaceName();
    sessionWindow_->setWindowTitle(qtext(name.empty() ? kClearWs : std::string_view(name)) + "[*]");
}

void MainWindow::setSessionModified(bool modified) {
    modified_ = modified;
    sessionWindow_->setWindowModified(modified);
}

bool MainWindow::isSessionModified() const { return modified_; }

// ---- function editors ---------------------------------------------------

QList<FunctionEditorView*> MainWindow::functionEditors() const {
    QList<FunctionEditorView*> editors;
    for (QMdiSubWindow* w : mdi_->subWindowList())
        if (auto* e = qobject_cast<FunctionEditorView*>(w->widget())) editors.push_back(e);
    return editors;
}

FunctionEditorView* MainWindow::openFunctionEditor(const QString& name) {
    for (FunctionEditorView* e : functionEditors()) {
        if (e->functionName() == name) {
            mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(e->parentWidget()));
            return e;
        }
    }
    std::vector<std::string> source = session::functionSource(*in_, fromDocumentText(name));
    if (source.empty()) return nullptr;
    auto* editor = new FunctionEditorView(name, source);
    editor->setFont(view_->font());
    QMdiSubWindow* w = mdi_->addSubWindow(editor);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowIcon(appIcon());
    connect(editor, &FunctionEditorView::commitRequested, this,
            [this, editor](const std::vector<std::string>& lines) { commit(editor, lines); });
    const QRect area = mdi_->viewport()->rect();
    w->setGeometry(area.width() / 3, area.height() / 6, area.width() * 3 / 5, area.height() * 3 / 5);
    w->show();
    editor->setFocus();
    return editor;
}

void MainWindow::commit(FunctionEditorView* editor, const std::vector<std::string>& lines) {
    if (runner_.busy()) {
        statusBar()->showMessage(qtext(text::kBusy), 5000);
        return;
    }
    if (!session::defineEdited(*in_, lines)) {
        // The editor stays open, so what was typed is not lost.
        QMessageBox::warning(this, qtext(text::kCaption), qtext(text::kEditorNotStored));
        return;
    }
    setSessionModified(true);
    editor->parentWidget()->close();
    emit lineFinished();
}

// ---- files --------------------------------------------------------------

void MainWindow::fileNew() { runMenuCommand(QString(text::kClearEcho).arg(prompt()), session::Command::Clear); }

void MainWindow::fileSave() { runMenuCommand(QString(text::kSaveEcho).arg(prompt()), session::Command::Save); }

bool MainWindow::openWorkspaceFile(const QString& path) {
    QString name = commandFileName(path, QString::fromStdString(config_.workspacePath));
    if (!runMenuCommand(QString(text::kLoadEcho).arg(prompt(), name), session::Command::Load, fromDocumentText(name)))
        return false;
    rememberFile(path);
    return true;
}

bool MainWindow::saveWorkspaceAs(const QString& path) {
    QString name = commandFileName(path, QString::fromStdString(config_.workspacePath));
    if (!runMenuCommand(QString(text::kSaveAsEcho).arg(prompt(), name), session::Command::Save, fromDocumentText(name)))
        return false;
    rememberFile(path);
    return true;
}

void MainWindow::fileOpen() {
    if (runner_.busy()) return;
    QFileDialog dialog(this, tr("Open"), QString::fromStdString(config_.workspacePath), qtext(text::kOpenFilter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    openWorkspaceFile(dialog.selectedFiles().front());
}

void MainWindow::fileSaveAs() {
    if (runner_.busy()) return;
    QFileDialog dialog(this, tr("Save As"), QString::fromStdString(config_.workspacePath), qtext(text::kSaveFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("wox"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    saveWorkspaceAs(dialog.selectedFiles().front());
}

void MainWindow::rememberFile(const QString& path) {
    QStringList recent = ViewSettings::recentFiles();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kRecentFiles) recent.removeLast();
    ViewSettings::setRecentFiles(recent);
}

void MainWindow::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList recent = ViewSettings::recentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        QString path = recent[i];
        recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this,
                               [this, path] { openWorkspaceFile(path); });
    }
    recentMenu_->setEnabled(!recent.isEmpty());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
    for (const QUrl& url : e->mimeData()->urls()) {
        if (url.isLocalFile()) {
            openWorkspaceFile(url.toLocalFile());
            break;
        }
    }
}

// ---- options and help ---------------------------------------------------

bool MainWindow::setWorkspaceFolder(const QString& folder, QString* problem) {
    session::Configuration c = config_;
    c.workspacePath = fromDocumentText(folder);
    std::string why;
    if (!session::saveConfiguration(places_, c, &why)) {
        *problem = QString::fromStdString(why);
        return false;
    }
    config_ = c;
    session::prepareWorkspaceFolder(config_.workspacePath, [this](std::string_view warning) {
        QMessageBox::warning(this, qtext(text::kCaption), QString::fromUtf8(warning.data(), static_cast<qsizetype>(warning.size())));
    });
    if (!runner_.busy()) session_->setWorkspaceFolder(config_.workspacePath);
    showFolder();
    return true;
}

void MainWindow::workspacePath() {
    WorkspacePathDialog dialog(QString::fromStdString(config_.workspacePath), this);
    if (dialog.exec() != QDialog::Accepted) return;
    QString problem;
    if (!setWorkspaceFolder(dialog.chosenPath(), &problem)) QMessageBox::warning(this, qtext(text::kCaption), problem);
}

void MainWindow::chooseColour() {
    QColor colour = QColorDialog::getColor(ViewSettings::textColour(), this);
    if (!colour.isValid()) return;
    ViewSettings::setColours(colour, Qt::white);
    applyViewSettings();
}

void MainWindow::chooseFont() {
    bool ok = false;
    QFont font = QFontDialog::getFont(&ok, view_->font(), this);
    if (!ok) return;
    ViewSettings::setFont(font);
    applyViewSettings();
}

void MainWindow::applyViewSettings() {
    QPalette p = view_->palette();
    p.setColor(QPalette::Text, ViewSettings::textColour());
    if (QColor background = ViewSettings::background(); background.isValid()) p.setColor(QPalette::Base, background);
    view_->setPalette(p);
    view_->setFont(ViewSettings::font());
}

void MainWindow::openHelp(int index) {
    if (config_.binaryPath.empty()) return;
    QString path = QString::fromStdString(config_.binaryPath) + qtext(kHelpDocuments[static_cast<std::size_t>(index)].file);
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        QMessageBox::warning(this, qtext(text::kCaption), qtext(text::kHelpMissing) + path);
}

void MainWindow::showFolder() {
    folderPane_->setText(config_.workspacePath.empty()
                             ? qtext(text::kPathNotClear)
                             : QString(text::kCurrentPath).arg(QString::fromStdString(config_.workspacePath)));
}

// ---- closing ------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == sessionWindow_ && e->type() == QEvent::Close) {
        e->ignore();
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
        return true;
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (runner_.busy()) {
        // Stop the line first; the window closes when it has ended.
        closePending_ = true;
        in_->interruptRequested.store(true);
        e->ignore();
        return;
    }
    if (modified_) {
        QMessageBox box(QMessageBox::Question, qtext(text::kCaption), qtext(text::kAreYouSure),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes) {
            e->ignore();
            return;
        }
        setSessionModified(false);
    }
    e->accept();
}

// ---- menus and bars -----------------------------------------------------

QPlainTextEdit* MainWindow::activeText() const {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    return w ? qobject_cast<QPlainTextEdit*>(w->widget()) : view_;
}

void MainWindow::buildMenus() {
    QStyle* st = style();
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* newAction = file->addAction(st->standardIcon(QStyle::SP_FileIcon), tr("&New"), this, &MainWindow::fileNew);
    newAction->setShortcut(QKeySequence::New);
    QAction* openAction =
        file->addAction(st->standardIcon(QStyle::SP_DialogOpenButton), tr("&Open..."), this, &MainWindow::fileOpen);
    openAction->setShortcut(QKeySequence::Open);
    QAction* saveAction =
        file->addAction(st->standardIcon(QStyle::SP_DialogSaveButton), tr("&Save"), this, &MainWindow::fileSave);
    saveAction->setShortcut(QKeySequence::Save);
    file->addAction(tr("Save &As..."), this, &MainWindow::fileSaveAs);
    file->addSeparator();
    recentMenu_ = file->addMenu(tr("Recent &Files"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
    fillRecentMenu();
    file->addSeparator();
    file->addAction(tr("E&xit"), this, &QWidget::close)->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(tr("&Undo"), this, [this] {
            if (QPlainTextEdit* t = activeText(); t != view_) t->undo();
            if (auto* e = qobject_cast<FunctionEditorView*>(activeText())) e->renumber();
        })
        ->setShortcut(QKeySequence::Undo);
    edit->addSeparator();
    QAction* cutAction = edit->addAction(tr("Cu&t"), this, [this] {
        if (QPlainTextEdit* t = activeText(); t == view_) view_->cutText(); else t->cut();
    });
    cutAction->setShortcut(QKeySequence::Cut);
    QAction* copyAction = edit->addAction(tr("&Copy"), this, [this] { activeText()->copy(); });
    copyAction->setShortcut(QKeySequence::Copy);
    QAction* pasteAction = edit->addAction(tr("&Paste"), this, [this] {
        if (QPlainTextEdit* t = activeText(); t == view_) view_->pasteText(); else t->paste();
    });
    pasteAction->setShortcut(QKeySequence::Paste);
    edit->addAction(tr("C&lear"), this, [this] {
        if (QPlainTextEdit* t = activeText(); t == view_) view_->clearSelection(); else t->textCursor().removeSelectedText();
    });
    // The keys reach the windows themselves; the menu only shows them.
    for (QAction* a : {cutAction, copyAction, pasteAction}) a->setShortcutContext(Qt::WidgetShortcut);
    edit->addSeparator();
    edit->addAction(tr("&Find..."), this, [this] {
        bool ok = false;
        QString what = QInputDialog::getText(this, tr("Find"), tr("Find what:"), QLineEdit::Normal, lastFind_, &ok);
        if (ok && !what.isEmpty()) {
            lastFind_ = what;
            activeText()->find(what);
        }
    })->setShortcut(QKeySequence::Find);
    edit->addAction(tr("Find &Next"), this, [this] {
        if (!lastFind_.isEmpty()) activeText()->find(lastFind_);
    })->setShortcut(QKeySequence::FindNext);
    edit->addAction(tr("&Replace..."), this, [this] {
        // Replacing in the session would change lines behind its back.
        QPlainTextEdit* t = activeText();
        if (t == view_) return;
        bool ok = false;
        QString what = QInputDialog::getText(this, tr("Replace"), tr("Find what:"), QLineEdit::Normal, lastFind_, &ok);
        if (!ok || what.isEmpty()) return;
        QString with = QInputDialog::getText(this, tr("Replace"), tr("Replace with:"), QLineEdit::Normal, {}, &ok);
        if (!ok) return;
        lastFind_ = what;
        t->moveCursor(QTextCursor::Start);
        while (t->find(what)) t->textCursor().insertText(with);
        if (auto* e = qobject_cast<FunctionEditorView*>(t)) e->renumber();
    })->setShortcut(QKeySequence::Replace);

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    toolbar_ = addToolBar(tr("Toolbar"));
    toolbar_->setObjectName("toolbar");
    viewMenu->addAction(toolbar_->toggleViewAction());
    QAction* statusAction = viewMenu->addAction(tr("&Status Bar"));
    statusAction->setCheckable(true);
    statusAction->setChecked(true);
    connect(statusAction, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });

    QMenu* run = menuBar()->addMenu(tr("&Run"));
    breakAction_ = run->addAction(st->standardIcon(QStyle::SP_BrowserStop), tr("&Break"), this,
                                  [this] { in_->interruptRequested.store(true); });
    // Ctrl+Break arrives as Pause or Cancel, depending on the keyboard.
    breakAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Pause), QKeySequence(Qt::CTRL | Qt::Key_Cancel),
                                QKeySequence(Qt::Key_Pause)});
    breakAction_->setShortcutContext(Qt::ApplicationShortcut);
    breakAction_->setEnabled(false);

    QMenu* options = menuBar()->addMenu(tr("&Options"));
    options->addAction(tr("&Colors..."), this, &MainWindow::chooseColour);
    options->addAction(tr("&Font..."), this, &MainWindow::chooseFont);
    options->addAction(tr("&Workspace Path..."), this, &MainWindow::workspacePath);

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    window->addAction(tr("&Cascade"), mdi_, &QMdiArea::cascadeSubWindows);
    window->addAction(tr("&Tile"), mdi_, &QMdiArea::tileSubWindows);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    for (std::size_t i = 0; i < kHelpDocuments.size(); ++i)
        help->addAction(qtext(kHelpDocuments[i].title), this, [this, i] { openHelp(static_cast<int>(i)); });
    help->addSeparator();
    QAction* about = help->addAction(tr("&About Wox..."), this, [this] {
        QMessageBox::about(this, tr("About Wox"),
                           tr("<b>WOX version %1</b><p>An interpreter for an array language of the APL family "
                              "with ASCII primitives.</p>")
                               .arg(QStringLiteral(WOX_VERSION_TEXT)));
    });

    toolbar_->addAction(newAction);
    toolbar_->addAction(openAction);
    toolbar_->addAction(saveAction);
    toolbar_->addSeparator();
    toolbar_->addAction(breakAction_);
    toolbar_->addSeparator();
    toolbar_->addAction(about);
}

void MainWindow::buildStatusBar() {
    folderPane_ = new QLabel;
    folderPane_->setMinimumWidth(kFolderPaneWidth);
    versionPane_ = new QLabel(qtext(session::kVersionMarker));
    versionPane_->setMinimumWidth(kVersionPaneWidth);
    positionPane_ = new QLabel(qtext(text::kPositionAtStart));
    positionPane_->setMinimumWidth(kPositionPaneWidth);
    statusBar()->addPermanentWidget(folderPane_);
    statusBar()->addPermanentWidget(versionPane_);
    statusBar()->addPermanentWidget(positionPane_);
    connect(view_, &SessionView::positionChanged, positionPane_, &QLabel::setText);
    showFolder();
}

}  // namespace wox::gui
