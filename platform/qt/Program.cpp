#include "qt/Program.h"

#include <sys/resource.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "app/Main.h"
#include "app/mSSaver.h"
#include "headless/SceneOverlay.h"
#include "qt/HackOptions.h"
#include "qt/KeepOnTop.h"
#include "qt/PasswordChangeDialog.h"
#include "qt/QtConnection.h"
#include "qt/QtHost.h"
#include "qt/SaverWindow.h"
#include "qt/StartupTrace.h"
#include "qt/XWindows.h"
#include "qt/dialogs/LayoutDialog.h"
#include "qt/dialogs/Setup.h"
#include "winsys/Cp1252.h"
#include "winsys/RegistryFile.h"

namespace qm::qt {
namespace {

// XScreenSaver's previews are small: below this width a module draws as a preview.
constexpr int kSmallestFullWidth = 320;

void SetCaption(SaverWindow& window) {
  window.setWindowTitle(QString::fromStdString(Cp1252ToUtf8(window.Form().Caption)));
}

// True when window `id` exists; otherwise says so on stderr. `fromPreviewSwitch`: the
// id came from "/p", whose trailing digits are read as a decimal number, so that a
// hexadecimal id as xwininfo prints it names another window.
bool ReportMissingWindow(uint64_t id, bool fromPreviewSwitch) {
  if (id != 0 && ForeignWindowSize(id)) return true;
  if (id == 0) {
    std::fprintf(stderr, "quillmark: no window given to draw the preview in\n");
  } else {
    std::fprintf(stderr, "quillmark: there is no window %llu to draw in%s\n",
                 static_cast<unsigned long long>(id),
                 fromPreviewSwitch ? " (the id after /p is read as a decimal number)" : "");
  }
  return false;
}

// Any X client may destroy another's window. With its own window gone the saver has
// nothing to show and no input to wait for (its grabs went with it), so it ends, as when
// the window closes. Qt does not notice the loss of a window of its own: X is asked, as
// for a foreign one.
class EndWithOwnWindow {
 public:
  explicit EndWithOwnWindow(SaverWindow& window) : window_(window), id_(window.winId()) {
    SyncQtConnection();
    watch_ = ForeignWindowWatch::Open(id_);
    if (!watch_) {
      // Gone already, or a watch X would not give (then the window is still there).
      if (!ForeignWindowSize(id_)) End();
      return;
    }
    notifier_.emplace(watch_->Fd(), QSocketNotifier::Read);
    QObject::connect(&*notifier_, &QSocketNotifier::activated, [this] { Check(); });
    Check();  // an end that came while the watch was set up is already read
  }

 private:
  void Check() {
    if (!watch_->Poll() || !watch_->Gone()) return;
    notifier_->setEnabled(false);
    End();
  }

  void End() {
    // The saver closing itself, or a window Qt made anew (it does not once shown). A
    // saver that waits for a button's release has unloaded but not ended: with its
    // window gone, that release will not come to it.
    if (window_.Ended() || window_.winId() != id_) return;
    // Tearing down Qt's view of a window that is gone would only earn X errors, and
    // nothing is left to save.
    std::fflush(nullptr);
    std::_Exit(0);
  }

  SaverWindow& window_;
  const WId id_;
  std::unique_ptr<ForeignWindowWatch> watch_;
  std::optional<QSocketNotifier> notifier_;
};

// The full-screen form, loaded and placed over the whole X screen.
struct LoadedForm {
  std::unique_ptr<frmSSaver> Form;
  std::chrono::steady_clock::time_point At;
};

// The saver that takes input loads its form before Qt starts: its first tick is due one
// interval after the load and its first pictures one more after that, and starting Qt
// takes longer than loading the form; had the form waited for it, every run would show
// its scene later by that much. Nothing of the form needs Qt, and what the host does
// for it meanwhile (the pointer) waits for Qt. Nothing when the X screen cannot be
// measured.
std::optional<LoadedForm> LoadFullScreenForm() {
  const auto root = RootWindowSize();
  if (!root) {
    std::fprintf(stderr, "quillmark: cannot measure the X screen\n");
    return std::nullopt;
  }
  RunMode = kRunModeFullScreen;
  ScreenRect = RectL{0, 0, root->Width, root->Height};
  LoadedForm loaded{std::make_unique<frmSSaver>(), {}};
  loaded.Form->Form_Load();
  loaded.At = std::chrono::steady_clock::now();
  TraceStartup("form loaded");
  return loaded;
}

// Full screen: one window over the whole root window, above all others (below them for
// a hack, which takes no input). It bypasses the window manager (which might otherwise
// shrink, decorate or stack it) and so places itself, and takes the keyboard itself
// when it takes input.
int RunFullScreen(QtHost& host, bool takeInput, LoadedForm loaded) {
  SaverWindow window(host, takeInput ? SaverWindow::Input::Deliver : SaverWindow::Input::Ignore,
                     std::move(loaded.Form));
  Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
  flags |= takeInput ? Qt::WindowStaysOnTopHint
                     : Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus;
  window.setWindowFlags(flags);
  window.StartLoaded(loaded.At);
  SetCaption(window);
  window.SetGrabPointer(window.Form().UsePassword);
  window.move(0, 0);
  window.SetDeviceSize(ScreenRect.Right, ScreenRect.Bottom);
  window.show();
  // The screen can change size while the saver runs (a monitor plugged in, a laptop
  // docked, a mode switched): the window follows it, so that no part of a grown screen
  // is left uncovered. Without a watch the window keeps its first size.
  const auto rootWatch = ForeignWindowWatch::Open(RootWindowId());
  std::optional<QSocketNotifier> rootNotifier;
  if (rootWatch) {
    const auto followRoot = [&window, &rootWatch] {
      rootWatch->Poll();
      const WindowSize now = rootWatch->Size();
      if (now.Width == ScreenRect.Right && now.Height == ScreenRect.Bottom) return;
      ScreenRect = RectL{0, 0, now.Width, now.Height};
      window.move(0, 0);
      window.SetDeviceSize(ScreenRect.Right, ScreenRect.Bottom);
      // A password prompt up meanwhile must stay in sight: it holds the keyboard.
      if (QWidget* prompt = QApplication::activeModalWidget();
          prompt && !window.geometry().contains(prompt->frameGeometry())) {
        prompt->move(window.geometry().center() - prompt->rect().center());
      }
    };
    rootNotifier.emplace(rootWatch->Fd(), QSocketNotifier::Read);
    QObject::connect(&*rootNotifier, &QSocketNotifier::activated, followRoot);
    QTimer::singleShot(0, followRoot);  // a resize since the window was sized
  }
  std::optional<KeepOnTop> keepOnTop;
  if (takeInput) {
    window.raise();
    // Watched once the event loop runs, so as not to hold up the first frame.
    QTimer::singleShot(0, &window, [&] { keepOnTop.emplace(window); });
  } else {
    // A hack told to draw on the root window, run by hand rather than by XScreenSaver
    // (which always names a window of its own): it lies under every other window, as a
    // drawing on the root window would, so that the terminal it was started from stays
    // in sight to stop it. Input passes through it.
    window.lower();
  }
  TraceStartup("window shown");
  // Watched once the event loop runs, so as not to hold up the first frame.
  std::optional<EndWithOwnWindow> ownWatch;
  QTimer::singleShot(0, &window, [&] { ownWatch.emplace(window); });
  return QApplication::exec();
}

// A host window larger than the screen (a mistake, or any id handed to the program)
// would have the surface take its size, gigabytes at the extreme, and each step take
// seconds: the saver draws at most a screen's worth, from the host's top-left corner.
WindowSize AtMostScreen(WindowSize size) {
  if (const auto root = RootWindowSize()) {
    size.Width = std::min(size.Width, root->Width);
    size.Height = std::min(size.Height, root->Height);
  }
  return size;
}

// Preview and XScreenSaver's window: a child of a foreign X window, as large as its
// inside and following its resizes; ends when that window is destroyed. Qt neither
// measures a foreign window nor reports its resizes, so X is asked directly.
int RunEmbedded(QtHost& host, uint64_t parent, bool module) {
  auto watch = ForeignWindowWatch::Open(parent);
  if (!watch) {
    ReportMissingWindow(parent, !module);  // gone since it was first checked
    return 1;
  }
  const WindowSize size = AtMostScreen(watch->Size());
  RunMode = (module && size.Width >= kSmallestFullWidth) ? kRunModeFullScreen : kRunModePreview;
  PreviewParent = parent;
  ScreenRect = RectL{0, 0, size.Width, size.Height};

  // The foreign window outlives ours: ours is its child, and would go with it first.
  std::unique_ptr<QWindow> host_window;
  SaverWindow window(host, SaverWindow::Input::Ignore);
  window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                        Qt::WindowDoesNotAcceptFocus);
  window.Load();
  if (RunMode == kRunModePreview) window.Form().Caption = "Preview";
  SetCaption(window);

  host_window.reset(QWindow::fromWinId(static_cast<WId>(parent)));
  window.winId();
  window.windowHandle()->setParent(host_window.get());
  window.move(0, 0);
  window.SetDeviceSize(size.Width, size.Height);
  window.show();

  bool gone = false;
  const auto poll = [&] {
    if (!watch->Poll()) return;
    if (watch->Gone()) {
      gone = true;
      QCoreApplication::exit(0);
      return;
    }
    const WindowSize now = AtMostScreen(watch->Size());
    ScreenRect = RectL{0, 0, now.Width, now.Height};
    window.SetDeviceSize(ScreenRect.Right, ScreenRect.Bottom);
  };
  QSocketNotifier notifier(watch->Fd(), QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, poll);
  QTimer::singleShot(0, poll);  // events Xlib already read before the notifier existed
  std::optional<EndWithOwnWindow> ownWatch;
  QTimer::singleShot(0, &window, [&] { ownWatch.emplace(window); });

  const int code = QApplication::exec();
  if (gone) {
    // Our window died with its parent; tearing down Qt's view of it would only earn X
    // errors. Nothing is left to save.
    std::fflush(nullptr);
    std::_Exit(code);
  }
  return code;
}

int RunHack(QtHost& host, const HackOptions& options) {
  host.SetPointerOwned(false);  // pointer, input and locking belong to XScreenSaver
  // So a request to close the window (XScreenSaver's or anyone's) asks for no password.
  host.SetPasswordPrompt([] { return true; });
  if (options.Window != 0) return RunEmbedded(host, options.Window, true);
  std::optional<LoadedForm> loaded = LoadFullScreenForm();
  return loaded ? RunFullScreen(host, false, std::move(*loaded)) : 1;
}

}  // namespace

int RunProgram(int argc, char** argv, const std::vector<std::string>& arguments) {
  const char* environmentWindow = std::getenv("XSCREENSAVER_WINDOW");
  const std::optional<HackOptions> hack = ParseHackOptions(arguments, environmentWindow);
  StartCommand command;
  if (hack) {
    if (!hack->Error.empty()) {
      std::fprintf(stderr, "quillmark: %s\n", hack->Error.c_str());
      return 1;
    }
    for (const std::string& ignored : hack->Ignored) {
      std::fprintf(stderr, "quillmark: ignoring %s\n", ignored.c_str());
    }
    if (!hack->Display.empty()) setenv("DISPLAY", hack->Display.c_str(), 1);
  } else {
    command = Main(JoinArguments(arguments));
    if (command.Request == StartRequest::Nothing) return 0;
  }
  // Every remaining request shows a window: without a display, say so rather than let
  // Qt abort.
  if (!RootWindowSize()) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
      std::fprintf(stderr, "quillmark: cannot open the X display: DISPLAY is not set\n");
    } else {
      std::fprintf(stderr, "quillmark: cannot open the X display \"%s\"\n", display);
    }
    return 1;
  }
  // A preview with nowhere to draw ends before any window exists.
  const uint64_t target = hack ? hack->Window : command.Window;
  if ((hack && target != 0) || (!hack && command.Request == StartRequest::Preview)) {
    if (!ReportMissingWindow(target, !hack)) return 1;
  }

  // A typed password lives on in memory nobody wipes (Qt's strings among it): a crash
  // of the saver or of the change dialog must not write it into a core file.
  if (!hack && (command.Request == StartRequest::FullScreen ||
                command.Request == StartRequest::ChangePassword)) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
  }
  // Qt reads none of our arguments: "-display" and friends are handled above. The
  // saver is an X11 program (foreign windows, grabs, a window above the window
  // manager's); in a Wayland session Qt would pick its Wayland platform, where the
  // full-screen window is an ordinary one, so it is told to use X11 (XWayland serves
  // it). A platform chosen in the environment (often for the whole session) still
  // serves the dialogs, but not the saver's windows, which could not work there. Told
  // by argument, not by the environment, which the programs the saver starts (a mail
  // program, a browser) inherit.
  const bool saverWindow = hack || command.Request == StartRequest::FullScreen ||
                           command.Request == StartRequest::Preview;
  static char platformOption[] = "-platform";
  static char platformName[] = "xcb";
  std::vector<char*> qtArgv{argc > 0 ? argv[0] : nullptr};
  if (argc > 0 && (saverWindow || !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))) {
    qtArgv.push_back(platformOption);
    qtArgv.push_back(platformName);
  }
  int qtArgc = argc > 0 ? static_cast<int>(qtArgv.size()) : 0;
  qtArgv.push_back(nullptr);
  TraceStartup("main");

  RegistryFile store(DefaultRegistryPath());
  // XScreenSaver's --scene: the window loads that scene's settings as if stored.
  std::optional<headless::SceneOverlay> overlay;
  if (hack && !hack->Scene.empty()) overlay.emplace(store, hack->Scene);
  SetRegistry(overlay ? static_cast<RegistryBackend*>(&*overlay) : &store);
  QtHost host;
  SetHost(&host);
  struct Restore {
    ~Restore() {
      SetHost(nullptr);
      SetRegistry(nullptr);
    }
  } restore;
  std::optional<LoadedForm> fullScreen;
  if (!hack && command.Request == StartRequest::FullScreen) {
    fullScreen = LoadFullScreenForm();
    if (!fullScreen) return 1;
  }

  QApplication app(qtArgc, qtArgv.data());
  TraceStartup("application ready");
  host.SyncPointer();
  if (saverWindow && QGuiApplication::platformName() != QLatin1String("xcb")) {
    std::fprintf(stderr, "quillmark: the saver draws through X11, not Qt's \"%s\" platform\n",
                 qPrintable(QGuiApplication::platformName()));
    return 1;
  }
  QApplication::setApplicationName("Quillmark");
  // The red ring on every window of ours, the password dialog and message boxes too.
  QApplication::setWindowIcon(IconPixmap());

  if (hack) return RunHack(host, *hack);
  switch (command.Request) {
    case StartRequest::FullScreen:
      return RunFullScreen(host, true, std::move(*fullScreen));
    case StartRequest::Preview:
      return RunEmbedded(host, command.Window, false);
    case StartRequest::Configure:
      return RunSetupDialog();
    case StartRequest::ChangePassword:
      return RunPasswordChange(command.Window);
    case StartRequest::Nothing:
      break;
  }
  return 0;
}

}  // namespace qm::qt
