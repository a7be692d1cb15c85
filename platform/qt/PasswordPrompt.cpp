#include "qt/PasswordPrompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/Password.h"

namespace qm::qt {
namespace {

constexpr int kWrongPasswordPauseMs = 1000;
constexpr int kIdleTimeoutMs = 30000;

class PasswordPromptDialog final : public QDialog {
 public:
  explicit PasswordPromptDialog(QWidget* over)
      : QDialog(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::X11BypassWindowManagerHint) {
    setWindowTitle("Quillmark");
    setModal(true);
    setObjectName("QuillmarkPasswordPrompt");
    setStyleSheet("#QuillmarkPasswordPrompt { border: 2px solid palette(mid); }");
    auto* layout = new QVBoxLayout(this);
    message_ = new QLabel("Type the screen-saver password:", this);
    field_ = new QLineEdit(this);
    field_->setEchoMode(QLineEdit::Password);
    field_->setMinimumWidth(260);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(message_);
    layout->addWidget(field_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(field_, &QLineEdit::returnPressed, this, &QDialog::accept);
    connect(field_, &QLineEdit::textEdited, this, [this] { idle_.start(); });
    idle_.setSingleShot(true);
    idle_.setInterval(kIdleTimeoutMs);
    connect(&idle_, &QTimer::timeout, this, &QDialog::reject);
    adjustSize();
    QScreen* screen = over ? over->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) move(screen->geometry().center() - rect().center());
  }

  QString Text() const { return field_->text(); }
  void ShowWrong() {
    message_->setText("Wrong password.");
    field_->clear();
    field_->setEnabled(false);
  }

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    idle_.start();
    // No window manager gives a bypassing window the focus: take the keyboard.
    activateWindow();
    field_->setFocus();
    QTimer::singleShot(0, field_, [this] { field_->grabKeyboard(); });
  }
  void hideEvent(QHideEvent* event) override {
    field_->releaseKeyboard();
    QDialog::hideEvent(event);
  }

 private:
  QLabel* message_ = nullptr;
  QLineEdit* field_ = nullptr;
  QTimer idle_;
};

}  // namespace

bool RunPasswordPrompt(QWidget* over) {
  PasswordPromptDialog dialog(over);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QByteArray typed = dialog.Text().toUtf8();
  if (CheckScreenSavePassword(std::string_view(typed.constData(), typed.size()))) return true;

  // Keep the prompt up, refusing input, for a moment before the saver goes on.
  dialog.ShowWrong();
  dialog.show();
  QEventLoop pause;
  QTimer::singleShot(kWrongPasswordPauseMs, &pause, &QEventLoop::quit);
  pause.exec();  // keys typed now reach only the disabled field
  dialog.hide();
  return false;
}

}  // namespace qm::qt
