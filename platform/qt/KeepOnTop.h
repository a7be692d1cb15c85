// Keeps the full-screen saver window above every other window. The window bypasses the
// window manager, so nobody else keeps it there: a window mapped or raised later would
// cover it, and another client may unmap it. While the password prompt is up, the
// prompt goes on top and the saver right under it, so that neither step ever covers
// the prompt.
//
// The root window's children are watched on a connection of the program's own: a
// window that comes over the saver is covered again as soon as the event arrives. While
// events keep coming, the stacking is checked every 50 ms at the most. Raises that keep
// being needed come further and further apart, down to one a second, as another program
// keeping a window of its own on top would otherwise keep both busy. A slow timer checks
// as well, in case an event is missed; without the watch (it could not connect), the
// timer raises the window every second whatever lies above it.
#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <memory>

#include "qt/XWindows.h"

namespace qm::qt {

class SaverWindow;

class KeepOnTop {
 public:
  // `window` is shown and must outlive this object.
  explicit KeepOnTop(SaverWindow& window);
  ~KeepOnTop();
  KeepOnTop(const KeepOnTop&) = delete;
  KeepOnTop& operator=(const KeepOnTop&) = delete;

  static constexpr int kBlindRaiseMs = 1000;  // without the watch
  static constexpr int kCheckMs = 5000;       // with it
  // Between two raises the watch asks for: at first, and at the most when they keep
  // coming less than kQuietMs apart.
  static constexpr int kFirstSpacingMs = 100;
  static constexpr int kSlowestRaiseMs = 1000;
  static constexpr int kQuietMs = 1500;
  // Between two checks the watch asks for. Each costs a few round trips to the X server,
  // and a window moved about below the saver (which cannot cover it, but X tells no move
  // from a restacking without the whole stacking order) sends an event at every step.
  static constexpr int kCheckSpacingMs = 50;

 private:
  // Checks now, or as soon as the spacing allows.
  void CheckSoon();
  void Check();
  // Raises now, or as soon as the spacing allows.
  void RaiseSoon();
  void Raise();

  SaverWindow& window_;
  std::unique_ptr<StackingWatch> watch_;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer periodic_;
  QTimer heldBack_;
  QTimer checkLater_;
  std::chrono::steady_clock::time_point lastCheck_{};
  std::chrono::steady_clock::time_point lastRaise_{};
  std::chrono::milliseconds spacing_{kFirstSpacingMs};
};

}  // namespace qm::qt
