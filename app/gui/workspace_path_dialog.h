#pragma once
// The Workspace Path dialog: shows the workspace folder, lets the user type
// or browse for another, and accepts only a folder that exists.
#include <QDialog>

class QLineEdit;

namespace wox::gui {

class WorkspacePathDialog : public QDialog {
    Q_OBJECT
public:
    // `current` empty shows "path error".
    explicit WorkspacePathDialog(const QString& current, QWidget* parent = nullptr);

    QLineEdit* pathField() const { return field_; }
    // The chosen folder, ending with "/", once accepted.
    const QString& chosenPath() const { return chosen_; }

    void accept() override;

private:
    void browse();

    QLineEdit* field_;
    QString chosen_;
};

}  // namespace wox::gui
