// The saver window on Qt: hosts one frmSSaver, turns Qt's input events and two
// QTimers into calls of the form's handlers, and presents the rectangles each call
// changed. After every call into the form both timers are re-armed from the form's
// Timer1/Timer2 (a timer that ticked, or whose interval or enabled state changed,
// counts afresh from that moment), the frame is composed and, once the form has
// unloaded, the window hides and the event loop ends with exit code 0.
//
// The framebuffer has one pixel per device pixel: sizes given here are device pixels,
// and the widget's logical geometry follows from the device pixel ratio.
//
// Where the X window can take the framebuffer's pixels as they are, they go to it
// directly (XFrame) and Qt's backing store is never filled; elsewhere Qt paints them.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "saver/frmSSaver.h"
#include "winsys/Picture.h"

namespace qm::qt {

class QtHost;
class XFrame;

class SaverWindow final : public QWidget {
 public:
  enum class Input {
    Deliver,  // the full-screen saver: input goes to the form's handlers
    Ignore,   // preview and XScreenSaver: the window takes no input at all
  };
  // `loaded`, where given, is a form whose Form_Load has run already (see StartLoaded);
  // otherwise the window makes its own, to be loaded with Load().
  SaverWindow(QtHost& host, Input input, std::unique_ptr<frmSSaver> loaded = nullptr);
  ~SaverWindow() override;

  frmSSaver& Form() { return *form_; }
  // Whether the run has ended (the window hidden, the event loop told to stop).
  bool Ended() const { return ended_; }

  // Form_Load, then the timers armed. Once, before the window is shown.
  void Load();
  // For a form handed over loaded: arms the timers as if they had been armed at
  // `loadedAt`, when its Form_Load ran (before Qt could run timers), so that each tick
  // comes a whole number of intervals after the load; one overdue by then comes at
  // once. Once, before the window is shown, instead of Load().
  void StartLoaded(std::chrono::steady_clock::time_point loadedAt);
  // Sizes the form and the window (device pixels).
  void SetDeviceSize(int width, int height);
  // Runs `call` on the form, then re-arms, composes, and ends the run on unload.
  void CallForm(const std::function<void(frmSSaver&)>& call);

  // Full screen with the password on: keyboard and pointer are grabbed so that
  // nothing reaches other windows (the keyboard is grabbed in any case, or a key
  // pressed while another window has the focus would not end the saver).
  // X refuses a grab while another client holds one (the program of a hot key that
  // started the saver, with the key still down): TakeGrabs then asks again every
  // kGrabRetryMs until the keyboard is granted, for a minute at most (then says so on
  // stderr), and ReleaseGrabs stops asking.
  void SetGrabPointer(bool grab) { grabPointer_ = grab; }
  void TakeGrabs();
  void ReleaseGrabs();
  static constexpr int kGrabRetryMs = 100;
  static constexpr int kGrabTries = 600;

  // A button press that ended the saver leaves the window up, frozen, until every
  // button is let go, so that the release comes here rather than to the window
  // beneath, which would get a release it never saw pressed (a context menu, a
  // "Back"). Should the release never come (another client took the pointer), the run
  // ends after this long anyway.
  static constexpr int kReleaseWaitMs = 3000;
  // How often the wait looks at the buttons. A button pressed in the password prompt
  // is let go to the prompt as far as Qt is concerned, gone or not, so its release
  // never reaches this window as an event.
  static constexpr int kReleasePollMs = 20;

 protected:
  QPaintEngine* paintEngine() const override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Tab is a key like any other here, not a move between controls.
  bool focusNextPrevChild(bool) override { return false; }

 private:
  // Sends frames straight to the X window from now on, where it can.
  void OpenDirect();
  // The form is about to draw: the server must be done reading its last frame.
  void BeforeFormChanges();
  void Rearm();
  void Present();
  void PaintDirect(const QRegion& region);
  void ReportSceneFrame();
  void Tick(int which);
  void MouseMoved(const QMouseEvent& event);
  // After a tick of a timer armed from an earlier moment: the wait for its next tick.
  void KeepSchedule(int which);
  // Hides the window and ends the event loop; once.
  void End();
  bool TakesInput() const { return input_ == Input::Deliver; }
  void RetryGrabs();

  QtHost& host_;
  Input input_;
  std::unique_ptr<frmSSaver> form_;
  QTimer timers_[2];
  QTimer grabRetry_;
  struct Armed {
    bool enabled = false;
    int interval = 0;
    // Where set, the timer keeps to ticks a whole number of periods after this moment
    // rather than a period after each tick, until it is back in step with them.
    std::optional<std::chrono::steady_clock::time_point> scheduleFrom;
  } armed_[2];
  std::optional<std::chrono::steady_clock::time_point> loadedAt_;  // until the first arming
  Picture frame_;  // where the window is composed when controls lie over the surface
  const Picture* shown_ = &frame_;  // frame_ or the form's surface; set by every Present
  QImage image_;                    // wraps shown_'s pixels; rebuilt by every Present
  std::unique_ptr<XFrame> direct_;  // null: Qt paints
  std::vector<Rect> damage_;        // device pixels composed since the last direct paint
  bool windowBlack_ = false;        // nothing put since the server painted it black
  bool grabPointer_ = false;
  bool keyboardHeld_ = false;
  bool pointerHeld_ = false;
  int grabTries_ = 0;
  bool ended_ = false;
  QTimer releaseWait_;  // running while an unloaded form waits for the buttons' release
  QTimer releasePoll_;  // runs with releaseWait_
  int ticksPresented_ = 0;
  bool sceneFramePending_ = false;
  bool sceneFrameReported_ = false;
};

// The wait in ms, at least 1, for the next tick of a timer that ticks every `periodMs`
// ms counting from a moment `elapsed` ago: up to the next whole number of periods, or
// the one after where that is under kTickTolerance away (a tick delivered a moment
// early is the one due then). `first`: no tick has come yet, and the first (one period
// in) is due at once (0) from kTickTolerance before it on.
inline constexpr std::chrono::microseconds kTickTolerance{2000};
int WaitForTick(std::chrono::microseconds elapsed, int periodMs, bool first);

// The form's key code (a Windows virtual-key code) for a Qt key; 0 when it has none.
int VirtualKeyCode(int qtKey);
// The character the form's KeyPress receives for a key's text: its code in 1..255,
// or 0 when the key makes no single 8-bit character.
int KeyPressCode(const QString& text);

}  // namespace qm::qt
