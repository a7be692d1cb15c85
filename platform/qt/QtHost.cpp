#include "qt/QtHost.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <filesystem>

#include "qt/PasswordPrompt.h"
#include "winsys/Cp1252.h"
#include "winsys/DrivePath.h"

namespace qm::qt {
namespace {

// "mailto:x", "http://x" and the like carry a scheme; "c:\x" is a drive letter.
bool HasUrlScheme(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = text[i];
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                    (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
    if (!ok) return false;
  }
  return true;
}

QString FromCore(const std::string& text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

}  // namespace

int QtHost::ShowCursor(bool show) {
  pointerCount_ += show ? 1 : -1;
  SyncPointer();
  return pointerCount_;
}

void QtHost::SyncPointer() {
  const bool hide = pointerCount_ < 0;
  if (!pointerOwned_ || hide == pointerHidden_ || !qGuiApp) return;
  if (hide) {
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
  pointerHidden_ = hide;
}

bool QtHost::VerifyScreenSavePwd() {
  ++promptsShown_;
  return prompt_ ? prompt_() : RunPasswordPrompt(nullptr, false);
}

QUrl ShellTarget(const std::string& file, const std::string& directory) {
  if (HasUrlScheme(file)) return QUrl(FromCore(file));
  QString path = QString::fromStdString(HostPath(file));
  if (QFileInfo(path).isRelative() && !directory.empty()) {
    path = QDir(QString::fromStdString(HostPath(directory))).filePath(path);
  }
  if (!QFileInfo::exists(path)) {
    const QString text = FromCore(file);
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
      return QUrl(QStringLiteral("http://") + text);
    if (text.startsWith(QLatin1String("ftp."), Qt::CaseInsensitive))
      return QUrl(QStringLiteral("ftp://") + text);
  }
  return QUrl::fromLocalFile(path);
}

void QtHost::ShellOpen(const std::string& file, const std::string& directory) {
  QDesktopServices::openUrl(ShellTarget(file, directory));
}

bool QtHost::StartProgram(const std::string& path) {
  return QProcess::startDetached(QString::fromStdString(HostPath(path)), {});
}

void QtHost::MessageBox(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::NoIcon, FromCore(caption), FromCore(text), QMessageBox::Ok);
  // A plain OK, as in the dialogs the box opens over (some styles give it an icon).
  for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());
  box.exec();
}

double QtHost::SecondsSinceMidnight() {
  // Not QTime::currentTime(): Qt calls tzset() every time, which looks the zone file
  // up on disk again, and the scenes ask for the time on every step.
  return LocalSecondsSinceMidnight();
}

std::string QtHost::ProgramFolder() {
  // What Qt's application folder is on Linux, and known before Qt starts (the
  // full-screen form loads first).
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return program.parent_path().string();
  return qApp ? QCoreApplication::applicationDirPath().toStdString()
              : std::filesystem::current_path(error).string();
}

}  // namespace qm::qt
