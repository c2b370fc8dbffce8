#include "workspace_path_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui_texts.h"

namespace wox::gui {

using text::qtext;

WorkspacePathDialog::WorkspacePathDialog(const QString& current, QWidget* parent)
    : QDialog(parent), field_(new QLineEdit(current.isEmpty() ? qtext(text::kPathError) : current)) {
    setWindowTitle(qtext(text::kPathDialogTitle));
    field_->setMinimumWidth(360);
    auto* browse = new QPushButton(tr("&Browse..."));
    connect(browse, &QPushButton::clicked, this, &WorkspacePathDialog::browse);
    auto* row = new QHBoxLayout;
    row->addWidget(field_);
    row->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &WorkspacePathDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WorkspacePathDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Folder of workspace and script files:")));
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void WorkspacePathDialog::browse() {
    QString folder = QFileDialog::getExistingDirectory(this, qtext(text::kBrowseTitle), field_->text());
    if (folder.isEmpty()) return;
    if (!folder.endsWith(u'/')) folder += u'/';
    field_->setText(folder);
}

void WorkspacePathDialog::accept() {
    QString path = field_->text().trimmed();
    QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isDir()) {
        QMessageBox::warning(this, qtext(text::kCaption), qtext(text::kCheckPathFirst));
        return;
    }
    if (!path.endsWith(u'/')) path += u'/';
    chosen_ = path;
    QDialog::accept();
}

}  // namespace wox::gui
