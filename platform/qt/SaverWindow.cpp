#include "qt/SaverWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "qt/PasswordPrompt.h"
#include "qt/PointerGrab.h"
#include "qt/QtHost.h"
#include "qt/StartupTrace.h"
#include "qt/XFrame.h"
#include "qt/dialogs/LayoutDialog.h"

namespace qm::qt {
namespace {

// Past this many rectangles waiting for the next direct paint they are folded into
// their bounding box, so a window that is not painted for a while cannot pile them up.
constexpr size_t kMaxWaitingRects = 256;

std::chrono::microseconds SinceThen(std::chrono::steady_clock::time_point then) {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               then);
}

// The form's mouse button and shift masks, as the Windows run-time passes them.
int ButtonMask(Qt::MouseButtons buttons) {
  int mask = 0;
  if (buttons & Qt::LeftButton) mask |= 1;
  if (buttons & Qt::RightButton) mask |= 2;
  if (buttons & Qt::MiddleButton) mask |= 4;
  return mask;
}

int ShiftMask(Qt::KeyboardModifiers modifiers) {
  int mask = 0;
  if (modifiers & Qt::ShiftModifier) mask |= 1;
  if (modifiers & Qt::ControlModifier) mask |= 2;
  if (modifiers & Qt::AltModifier) mask |= 4;
  return mask;
}

}  // namespace

int VirtualKeyCode(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return key;  // Qt and Windows share the ASCII codes of letters and digits
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 0x0D;
    case Qt::Key_Shift:
      return 0x10;
    case Qt::Key_Control:
      return 0x11;
    case Qt::Key_Alt:
      return 0x12;
    case Qt::Key_Pause:
      return 0x13;
    case Qt::Key_CapsLock:
      return 0x14;
    case Qt::Key_Escape:
      return 0x1B;
    case Qt::Key_Space:
      return 0x20;
    case Qt::Key_PageUp:
      return 0x21;
    case Qt::Key_PageDown:
      return 0x22;
    case Qt::Key_End:
      return 0x23;
    case Qt::Key_Home:
      return 0x24;
    case Qt::Key_Left:
      return 0x25;
    case Qt::Key_Up:
      return 0x26;
    case Qt::Key_Right:
      return 0x27;
    case Qt::Key_Down:
      return 0x28;
    case Qt::Key_Print:
      return 0x2C;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return 0x2E;
    case Qt::Key_Meta:
      return 0x5B;
    case Qt::Key_Menu:
      return 0x5D;
    case Qt::Key_NumLock:
      return 0x90;
    case Qt::Key_ScrollLock:
      return 0x91;
    default:
      return 0;
  }
}

int WaitForTick(std::chrono::microseconds elapsed, int periodMs, bool first) {
  using std::chrono::microseconds;
  const microseconds period = std::chrono::milliseconds(std::max(periodMs, 1));
  if (elapsed < microseconds::zero()) elapsed = microseconds::zero();
  microseconds wait;
  if (first) {
    if (elapsed >= period - kTickTolerance) return 0;
    wait = period - elapsed;
  } else {
    wait = period - elapsed % period;
    if (wait < kTickTolerance) wait += period;
  }
  return static_cast<int>((wait.count() + 999) / 1000);
}

int KeyPressCode(const QString& text) {
  if (text.size() != 1) return 0;
  const char16_t c = text.at(0).unicode();
  return (c >= 1 && c <= 255) ? c : 0;
}

SaverWindow::SaverWindow(QtHost& host, Input input, std::unique_ptr<frmSSaver> loaded)
    : QWidget(nullptr),
      host_(host),
      input_(input),
      form_(loaded ? std::move(loaded) : std::make_unique<frmSSaver>()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  // The red ring, for task lists and window switchers.
  setWindowIcon(IconPixmap());
  grabRetry_.setSingleShot(true);
  grabRetry_.setInterval(kGrabRetryMs);
  releaseWait_.setSingleShot(true);
  releaseWait_.setInterval(kReleaseWaitMs);
  QObject::connect(&releaseWait_, &QTimer::timeout, this, [this] { End(); });
  releasePoll_.setInterval(kReleasePollMs);
  QObject::connect(&releasePoll_, &QTimer::timeout, this, [this] {
    if (QGuiApplication::mouseButtons() == Qt::NoButton) End();
  });
  QObject::connect(&grabRetry_, &QTimer::timeout, this, [this] { RetryGrabs(); });
  for (int i = 0; i < 2; ++i) {
    timers_[i].setTimerType(Qt::PreciseTimer);
    QObject::connect(&timers_[i], &QTimer::timeout, this, [this, i] { Tick(i); });
  }
  if (input_ == Input::Deliver) {
    host_.SetPasswordPrompt([this] {
      // The grabs are not let go: the prompt takes them over from this window and hands
      // them back before it goes, so no key or click can reach another window between.
      grabRetry_.stop();
      const bool right = RunPasswordPrompt(this, grabPointer_);
      if (!form_->IsUnloaded()) TakeGrabs();
      return right;
    });
  }
}

SaverWindow::~SaverWindow() {
  host_.SetPasswordPrompt(nullptr);
  // The form's surface may hold memory of direct_'s, which must outlive it.
  form_.reset();
}

void SaverWindow::BeforeFormChanges() {
  if (direct_) direct_->WaitForServer();
}

void SaverWindow::Load() {
  CallForm([](frmSSaver& form) { form.Form_Load(); });
}

void SaverWindow::StartLoaded(std::chrono::steady_clock::time_point loadedAt) {
  loadedAt_ = loadedAt;
  CallForm([](frmSSaver&) {});
}

void SaverWindow::SetDeviceSize(int width, int height) {
  // Before the surface takes its size, so that its pixels are laid out once, in the
  // memory they are shown from.
  OpenDirect();
  BeforeFormChanges();
  form_->Move(0, 0, width, height);
  const qreal ratio = devicePixelRatioF();
  resize(static_cast<int>(std::ceil(width / ratio)), static_cast<int>(std::ceil(height / ratio)));
  Present();
}

void SaverWindow::CallForm(const std::function<void(frmSSaver&)>& call) {
  if (ended_ || form_->IsUnloaded()) return;
  BeforeFormChanges();
  call(*form_);
  Rearm();
  Present();
}

void SaverWindow::Tick(int which) {
  if (ended_ || form_->IsUnloaded()) return;
  if (form_->Closing()) {
    KeepSchedule(which);  // no tick interrupts the prompt, and none comes sooner for it
    return;
  }
  BeforeFormChanges();
  if (which == 0) {
    if (ticksPresented_ == 0) TraceStartup("first scene step");
    form_->Timer1_Timer();
  } else {
    form_->Timer2_Timer();
  }
  Rearm();
  KeepSchedule(which);
  // Only the first two ticks matter here; counting stops there (a run may last years).
  if (which == 0 && ticksPresented_ < 2) ++ticksPresented_;
  Present();
  if (which == 0 && ticksPresented_ == 1) TraceStartup("first scene step presented");
}

void SaverWindow::Rearm() {
  const Timer* timers[2] = {&form_->Timer1, &form_->Timer2};
  for (int i = 0; i < 2; ++i) {
    const Timer& t = *timers[i];
    Armed& a = armed_[i];
    const bool changed = a.enabled != t.Enabled || a.interval != t.Interval;
    a.enabled = t.Enabled;
    a.interval = t.Interval;
    if (!t.Ticking() || form_->IsUnloaded()) {
      timers_[i].stop();
      a.scheduleFrom.reset();
    } else if (changed || !timers_[i].isActive()) {
      // A repeating QTimer that just ticked already counts from this tick.
      a.scheduleFrom = loadedAt_;
      timers_[i].start(a.scheduleFrom
                           ? WaitForTick(SinceThen(*a.scheduleFrom), t.TickPeriod(), true)
                           : t.TickPeriod());
    }
  }
  loadedAt_.reset();
}

void SaverWindow::KeepSchedule(int which) {
  Armed& a = armed_[which];
  if (!a.scheduleFrom || !timers_[which].isActive()) return;
  const int period = (which == 0 ? form_->Timer1 : form_->Timer2).TickPeriod();
  const int due = WaitForTick(SinceThen(*a.scheduleFrom), period, false);
  // Back in step: from here on a period from each tick is the same thing.
  if (due >= period - 1) a.scheduleFrom.reset();
  timers_[which].start(a.scheduleFrom ? due : period);
}

void SaverWindow::End() {
  if (ended_) return;
  ended_ = true;
  releaseWait_.stop();
  releasePoll_.stop();
  ReleaseGrabs();
  hide();
  // exit(), not quit(): quit() is refused while a foreign window is alive.
  QCoreApplication::exit(0);
}

void SaverWindow::Present() {
  if (form_->IsUnloaded()) {
    if (ended_ || releaseWait_.isActive()) return;
    // Qt's button state is up to date with the press being handled, and with any
    // release a password prompt took meanwhile.
    if (TakesInput() && isVisible() && QGuiApplication::mouseButtons() != Qt::NoButton) {
      releaseWait_.start();
      releasePoll_.start();
      return;
    }
    End();
    return;
  }
  std::vector<Rect> changed;
  shown_ = &form_->ShowFrame(frame_, changed);
  const Picture& shown = *shown_;
  if (shown.Width <= 0 || shown.Height <= 0) {
    image_ = QImage();
    return;
  }
  image_ = QImage(reinterpret_cast<const uchar*>(shown.Pixels.data()), shown.Width, shown.Height,
                  shown.Width * 4, QImage::Format_RGB32);
  if (changed.empty()) return;
  if (direct_ && !windowBlack_) {
    damage_.insert(damage_.end(), changed.begin(), changed.end());
    if (damage_.size() > kMaxWaitingRects) damage_.assign(1, BoundingBox(damage_));
    if (isVisible()) {
      // The window has had its first paint: the change goes to X now, without a trip
      // through Qt's repaint machinery, which costs more than the sending itself.
      if (ticksPresented_ > 0 && !sceneFrameReported_) sceneFramePending_ = true;
      PaintDirect(QRegion());
      ReportSceneFrame();
      return;
    }
  }
  const qreal ratio = devicePixelRatioF();
  QRegion region;
  for (const Rect& r : changed) {
    if (r.Empty()) continue;
    const int left = static_cast<int>(std::floor(r.X / ratio));
    const int top = static_cast<int>(std::floor(r.Y / ratio));
    const int right = static_cast<int>(std::ceil((r.X + r.Width) / ratio));
    const int bottom = static_cast<int>(std::ceil((r.Y + r.Height) / ratio));
    region += QRect(left, top, right - left, bottom - top);
  }
  update(region);
  if (ticksPresented_ > 0 && !sceneFrameReported_) sceneFramePending_ = true;
}

QPaintEngine* SaverWindow::paintEngine() const {
  // Painting on screen with no engine: Qt leaves every pixel to paintEvent.
  return direct_ ? nullptr : QWidget::paintEngine();
}

void SaverWindow::PaintDirect(const QRegion& region) {
  if (windowBlack_) {
    // All black since it was mapped: what is black in the frame is right already.
    direct_->PutOverBlack(*shown_, Rect{0, 0, shown_->Width, shown_->Height});
    windowBlack_ = false;
  } else {
    for (const Rect& r : damage_) direct_->Put(*shown_, r);
    // The rest was exposed, and the server has just painted it black.
    QRegion composed;
    if (!region.isEmpty()) {
      for (const Rect& r : damage_) composed += QRect(r.X, r.Y, r.Width, r.Height);
    }
    const qreal ratio = devicePixelRatioF();
    for (const QRect& r : region) {
      const int left = static_cast<int>(std::floor(r.x() * ratio));
      const int top = static_cast<int>(std::floor(r.y() * ratio));
      const int right = static_cast<int>(std::ceil((r.x() + r.width()) * ratio));
      const int bottom = static_cast<int>(std::ceil((r.y() + r.height()) * ratio));
      const QRegion exposed = QRegion(left, top, right - left, bottom - top) - composed;
      for (const QRect& e : exposed) {
        direct_->PutOverBlack(*shown_, Rect{e.x(), e.y(), e.width(), e.height()});
      }
    }
  }
  damage_.clear();
  direct_->Flush();
}

void SaverWindow::ReportSceneFrame() {
  if (!sceneFramePending_) return;
  sceneFramePending_ = false;
  sceneFrameReported_ = true;
  TraceStartup("first scene frame painted");
}

void SaverWindow::paintEvent(QPaintEvent* event) {
  if (direct_) {
    PaintDirect(event->region());
    ReportSceneFrame();
    return;
  }
  QPainter painter(this);
  if (image_.isNull()) {
    painter.fillRect(event->rect(), Qt::black);
    return;
  }
  const qreal ratio = devicePixelRatioF();
  for (const QRect& r : event->region()) {
    const QRectF source(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio);
    painter.drawImage(QRectF(r), image_, source);
  }
  ReportSceneFrame();
}

bool SaverWindow::eventFilter(QObject* watched, QEvent* event) {
  // Moves are taken from the window, before Qt picks a widget for them: Qt drops a move
  // made with a button held when it did not see that button go down in a widget (held
  // since before the saver started, or since the password prompt), and such a move
  // must count like any other.
  if (event->type() == QEvent::MouseMove && watched == windowHandle())
    MouseMoved(*static_cast<QMouseEvent*>(event));
  return false;
}

void SaverWindow::MouseMoved(const QMouseEvent& event) {
  if (!TakesInput()) return;
  const QPointF at = event.position() * devicePixelRatioF();
  const int buttons = ButtonMask(event.buttons());
  const int shift = ShiftMask(event.modifiers());
  CallForm([&](frmSSaver& form) {
    form.Form_MouseMove(buttons, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
  });
}

void SaverWindow::mousePressEvent(QMouseEvent* event) {
  if (!TakesInput()) return;
  const QPointF at = event->position() * devicePixelRatioF();
  const int button = ButtonMask(event->button());
  // A side button ends the saver when it is let go (a click, below): ended at the press,
  // the saver would leave the release to the window beneath, which may take it as
  // "Back" and leave the page the user was on.
  if (button == 0) return;
  const int shift = ShiftMask(event->modifiers());
  CallForm([&](frmSSaver& form) {
    form.form_MouseDown(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
  });
}

void SaverWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (!TakesInput()) return;
  if (form_->IsUnloaded()) {
    if (event->buttons() == Qt::NoButton) End();
    return;
  }
  CallForm([](frmSSaver& form) { form.Form_Click(); });
}

void SaverWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!TakesInput() || ButtonMask(event->button()) == 0) return;
  CallForm([](frmSSaver& form) { form.Form_DblClick(); });
}

void SaverWindow::keyPressEvent(QKeyEvent* event) {
  if (!TakesInput()) return;
  const int code = VirtualKeyCode(event->key());
  const int shift = ShiftMask(event->modifiers());
  const int prompts = host_.PromptsShown();
  CallForm([&](frmSSaver& form) { form.form_KeyDown(code, shift); });
  // One key asks for the password once: the character is not delivered as a second
  // close request after a prompt the key itself brought up.
  const int character = KeyPressCode(event->text());
  if (character != 0 && host_.PromptsShown() == prompts) {
    CallForm([&](frmSSaver& form) { form.Form_KeyPress(character); });
  }
}

void SaverWindow::closeEvent(QCloseEvent* event) {
  if (ended_) {
    event->accept();
    return;
  }
  CallForm([](frmSSaver& form) { form.Unload(); });
  if (form_->IsUnloaded()) {
    End();  // asked to close: no waiting for buttons
    event->accept();
  } else {
    event->ignore();
  }
}

void SaverWindow::OpenDirect() {
  if (direct_ || ended_) return;
  // The window exists (winId() creates it) and is not mapped yet: with its background
  // black from now on, mapping it shows black at once, and the first paint sends only
  // the rest.
  direct_ = XFrame::Open(winId());
  if (!direct_) return;
  setAttribute(Qt::WA_PaintOnScreen);
  direct_->SetBlackBackground();
  // Drawn where the server reads it: changed rectangles go out with no copy.
  form_->Canvas.UsePixelMemory(direct_->PixelMemory());
  windowBlack_ = true;
  damage_.clear();
}

void SaverWindow::showEvent(QShowEvent* event) {
  OpenDirect();
  if (QWindow* window = windowHandle()) window->installEventFilter(this);
  QWidget::showEvent(event);
  if (TakesInput()) {
    // The window must be mapped before X lets it take a grab.
    QTimer::singleShot(0, this, [this] { TakeGrabs(); });
  }
}

void SaverWindow::TakeGrabs() {
  if (!TakesInput() || ended_ || !isVisible()) return;
  activateWindow();
  setFocus();
  keyboardHeld_ = false;
  pointerHeld_ = false;
  grabTries_ = 0;
  RetryGrabs();
}

void SaverWindow::RetryGrabs() {
  // The grabs are the window's, not QWidget's: QWidget's do not say whether X granted
  // them, and Qt sends every key to a QWidget grabber whichever window it came to, so
  // the password prompt could not take them over. Each is asked for until X grants it.
  QWindow* window = windowHandle();
  if (!window || ended_) return;
  if (!keyboardHeld_) keyboardHeld_ = window->setKeyboardGrabEnabled(true);
  if (grabPointer_ && !pointerHeld_) pointerHeld_ = GrabPointer(*window);
  if (keyboardHeld_ && (pointerHeld_ || !grabPointer_)) return;
  if (++grabTries_ < kGrabTries) {
    grabRetry_.start();
  } else {
    std::fprintf(stderr, "%s",
                 keyboardHeld_ ? "quillmark: another program keeps the pointer grabbed; clicks "
                                 "may reach other windows\n"
                               : "quillmark: another program keeps the keyboard grabbed; keys "
                                 "may reach other windows\n");
  }
}

void SaverWindow::ReleaseGrabs() {
  grabRetry_.stop();
  keyboardHeld_ = false;
  pointerHeld_ = false;
  if (QWindow* window = windowHandle()) {
    window->setKeyboardGrabEnabled(false);
    window->setMouseGrabEnabled(false);
  }
}

}  // namespace qm::qt
