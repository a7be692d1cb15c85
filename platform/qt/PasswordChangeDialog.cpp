#include "qt/PasswordChangeDialog.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <cstdio>
#include <memory>

#include "app/Password.h"
#include "qt/DialogPlacement.h"
#include "qt/XWindows.h"

namespace qm::qt {
namespace {

QLineEdit* PasswordField(QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setEchoMode(QLineEdit::Password);
  field->setMinimumWidth(220);
  return field;
}

std::string Utf8(const QLineEdit* field) {
  return field->text().toUtf8().toStdString();
}

class PasswordChangeDialog final : public QDialog {
 public:
  PasswordChangeDialog() {
    setWindowTitle("Change Password");
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    if (ScreenSavePasswordIsSet()) {
      old_ = PasswordField(this);
      form_->addRow("&Old password:", old_);
    }
    new_ = PasswordField(this);
    confirm_ = PasswordField(this);
    form_->addRow("&New password:", new_);
    form_->addRow("&Confirm new password:", confirm_);
    layout->addLayout(form_);
    status_ = new QLabel(this);
    status_->setText("Leave the new password empty to turn the password off.");
    layout->addWidget(status_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // Plain buttons, as in the program's other dialogs (some styles give them icons).
    for (QAbstractButton* button : buttons->buttons()) button->setIcon(QIcon());
    layout->addWidget(buttons);
    // One size, as the program's other dialogs have: stretched, its rows drift apart.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordChangeDialog::TryChange);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  }

 private:
  void TryChange() {
    // Enter after the right old password alone would otherwise turn the password off:
    // ask. A wrong one is reported below as usual.
    if (old_ && new_->text().isEmpty() && confirm_->text().isEmpty() &&
        CheckScreenSavePassword(Utf8(old_)) &&
        QMessageBox::question(this, "Turn Password Off",
                              "Both new password fields are empty. Turn the password off, so "
                              "that the screen saver no longer asks for one?",
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) != QMessageBox::Yes) {
      new_->setFocus();
      return;
    }
    switch (
        ChangeScreenSavePassword(old_ ? Utf8(old_) : std::string(), Utf8(new_), Utf8(confirm_))) {
      case PasswordChange::Set:
      case PasswordChange::Cleared:
        accept();
        return;
      case PasswordChange::WrongOldPassword:
        if (old_) {
          status_->setText("The old password is not correct.");
          old_->clear();
        } else {
          // Another program set a password after this dialog opened: it is asked for now.
          old_ = PasswordField(this);
          form_->insertRow(0, "&Old password:", old_);
          status_->setText("A password was set meanwhile: enter it as the old password.");
        }
        old_->setFocus();
        return;
      case PasswordChange::ConfirmationDiffers:
        status_->setText("The new password and its confirmation differ.");
        new_->clear();
        confirm_->clear();
        new_->setFocus();
        return;
      case PasswordChange::TooLong:
        status_->setText(QString("The new password is too long: at most %1 characters, fewer "
                                 "with accented letters.")
                             .arg(kLongestPassword));
        new_->setFocus();
        return;
      case PasswordChange::NotStored:
        status_->setText("The password could not be stored.");
        std::fprintf(stderr, "quillmark: the screen-saver password could not be stored\n");
        return;
    }
  }

  QFormLayout* form_ = nullptr;
  QLineEdit* old_ = nullptr;
  QLineEdit* new_ = nullptr;
  QLineEdit* confirm_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace

int RunPasswordChange(uint64_t parent) {
  std::unique_ptr<QWindow> foreign;  // outlives the dialog that names it
  PasswordChangeDialog dialog;
  const auto onScreen = parent != 0 ? ForeignWindowOnScreen(parent) : std::nullopt;
  if (onScreen) {
    foreign.reset(QWindow::fromWinId(static_cast<WId>(parent)));
    dialog.winId();  // the native window must exist before it can name a parent
    if (QWindow* own = dialog.windowHandle()) own->setTransientParent(foreign.get());
    // Over the window that asked for it, as a dialog of its own would open; a foreign
    // parent gives Qt nothing to place it by, and it would sit in the screen's corner.
    dialog.adjustSize();
    const qreal ratio = dialog.devicePixelRatioF();
    const QRect over(static_cast<int>(onScreen->X / ratio), static_cast<int>(onScreen->Y / ratio),
                     static_cast<int>(onScreen->Width / ratio),
                     static_cast<int>(onScreen->Height / ratio));
    const QScreen* screen = QGuiApplication::primaryScreen();
    CentreFrameOn(dialog, over, screen ? screen->availableGeometry() : QRect());
  }
  dialog.exec();
  return 0;
}

}  // namespace qm::qt
