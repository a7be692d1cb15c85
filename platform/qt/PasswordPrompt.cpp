#include "qt/PasswordPrompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "app/Password.h"
#include "qt/PointerGrab.h"

namespace qm::qt {
namespace {

constexpr int kWrongPasswordPauseMs = 1000;
constexpr int kIdleTimeoutMs = 30000;
constexpr int kGrabKeeperMs = 100;

class PasswordPromptDialog final : public QDialog {
 public:
  PasswordPromptDialog(QWidget* over, bool pointer)
      : QDialog(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::X11BypassWindowManagerHint),
        over_(over),
        pointer_(pointer) {
    setWindowTitle("Quillmark");
    setModal(true);
    setObjectName("QuillmarkPasswordPrompt");
    setStyleSheet("#QuillmarkPasswordPrompt { border: 2px solid palette(mid); }");
    auto* layout = new QVBoxLayout(this);
    message_ = new QLabel("Type the screen-saver password:", this);
    field_ = new QLineEdit(this);
    field_->setEchoMode(QLineEdit::Password);
    field_->setMinimumWidth(260);
    // A popup menu takes the grabs, and on closing gives them to no window of ours.
    field_->setContextMenuPolicy(Qt::NoContextMenu);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(message_);
    layout->addWidget(field_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(field_, &QLineEdit::returnPressed, this, &QDialog::accept);
    connect(field_, &QLineEdit::textEdited, this, [this] { idle_.start(); });
    idle_.setSingleShot(true);
    idle_.setInterval(kIdleTimeoutMs);
    connect(&idle_, &QTimer::timeout, this, &QDialog::reject);
    grabKeeper_.setInterval(kGrabKeeperMs);
    connect(&grabKeeper_, &QTimer::timeout, this, [this] { TakeGrabs(); });
    adjustSize();
    QScreen* screen = over ? over->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) move(screen->geometry().center() - rect().center());
  }

  QString Text() const { return field_->text(); }
  // The wrong-password pause: nothing typed or clicked counts, and nothing closes the
  // prompt but the end of the pause.
  void ShowWrong() {
    message_->setText("Wrong password.");
    field_->clear();
    field_->setEnabled(false);
    buttons_->setEnabled(false);
    pausing_ = true;
  }
  void EndPause() { pausing_ = false; }

  void setVisible(bool visible) override {
    // X lets a grab go when its window is unmapped: the grabs go back to the saver first.
    if (!visible && isVisible()) HandBackGrabs();
    QDialog::setVisible(visible);
  }
  void done(int result) override {
    if (!pausing_) QDialog::done(result);
  }

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    idle_.start();
    // No window manager gives a bypassing window the focus: take the keyboard.
    activateWindow();
    field_->setFocus();
    QTimer::singleShot(0, this, [this] { TakeGrabs(); });
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (pausing_) return;
    QDialog::keyPressEvent(event);
  }

 private:
  // The same X client asking for a grab on another of its windows moves the grab
  // there, so the saver's grabs pass to the prompt without a moment between. They are
  // asked for again as long as the prompt is up, in case anything (another program
  // holding the keyboard, a popup of Qt's) took them away; asking for a grab the
  // window holds changes nothing.
  void TakeGrabs() {
    QWindow* window = windowHandle();
    if (!window || !isVisible()) return;
    window->setKeyboardGrabEnabled(true);
    if (pointer_) GrabPointer(*window);
    if (!grabKeeper_.isActive()) grabKeeper_.start();
  }
  void HandBackGrabs() {
    grabKeeper_.stop();
    QWindow* saver = over_ ? over_->windowHandle() : nullptr;
    if (!saver) return;
    saver->setKeyboardGrabEnabled(true);
    if (pointer_) GrabPointer(*saver);
  }

  QWidget* over_;
  bool pointer_;
  bool pausing_ = false;
  QLabel* message_ = nullptr;
  QLineEdit* field_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  QTimer idle_;
  QTimer grabKeeper_;
};

}  // namespace

bool RunPasswordPrompt(QWidget* over, bool pointer) {
  PasswordPromptDialog dialog(over, pointer);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QByteArray typed = dialog.Text().toUtf8();
  if (CheckScreenSavePassword(std::string_view(typed.constData(), typed.size()))) return true;

  // Keep the prompt up, refusing input, for a moment before the saver goes on.
  dialog.ShowWrong();
  dialog.show();
  QEventLoop pause;
  QTimer::singleShot(kWrongPasswordPauseMs, &pause, &QEventLoop::quit);
  pause.exec();  // keys typed now reach only the deaf prompt
  dialog.EndPause();
  dialog.hide();
  return false;
}

}  // namespace qm::qt
