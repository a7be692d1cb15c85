#include "headless/Runner.h"

#include <algorithm>

#include "app/mSSaver.h"

namespace qm::headless {

Runner::Runner(const RunnerOptions& options)
    : previousHost_(&qm::Host()),
      previousRunMode_(RunMode),
      previousScreenRect_(ScreenRect),
      options_(options) {
  options_.width = std::max(options_.width, 0);
  options_.height = std::max(options_.height, 0);
  SetHost(&host_);
  clockStartMs_ = host_.clockMs;
  // The start-up sets the mode and the rectangle before the window exists.
  RunMode = options_.preview ? kRunModePreview : kRunModeFullScreen;
  ScreenRect = RectL{0, 0, options_.width, options_.height};
  form_ = std::make_unique<frmSSaver>();
}

Runner::~Runner() {
  form_.reset();
  RunMode = previousRunMode_;
  ScreenRect = previousScreenRect_;
  SetHost(previousHost_);
}

void Runner::Load() {
  if (loaded_) return;
  loaded_ = true;
  form_->Form_Load();
  if (options_.preview) form_->Caption = "Preview";
  form_->Move(0, 0, ScreenRect.Right, ScreenRect.Bottom);
  Rearm(-1);
  Compose();
}

void Runner::Rearm(int justTicked) {
  const Timer* timers[2] = {&form_->Timer1, &form_->Timer2};
  for (int i = 0; i < 2; ++i) {
    Armed& a = armed_[i];
    const Timer& t = *timers[i];
    const bool changed = a.enabled != t.Enabled || a.interval != t.Interval;
    a.enabled = t.Enabled;
    a.interval = t.Interval;
    if (!t.Ticking() || form_->IsUnloaded()) {
      a.due = -1;
    } else if (changed || i == justTicked || a.due < 0) {
      a.due = now_ + t.TickPeriod();
    }
  }
}

void Runner::Compose() {
  lastChanged_ = form_->ComposeFrame(frame_);
}

void Runner::Tick(int which) {
  ++ticks_[which];
  if (which == 0) {
    form_->Timer1_Timer();
  } else {
    form_->Timer2_Timer();
  }
  Rearm(which);
  Compose();
}

void Runner::AdvanceTo(int64_t ms) {
  if (!loaded_) Load();
  while (!form_->IsUnloaded()) {
    int next = -1;
    for (int i = 0; i < 2; ++i) {
      if (armed_[i].due < 0 || armed_[i].due > ms) continue;
      if (next < 0 || armed_[i].due < armed_[next].due) next = i;
    }
    if (next < 0) break;
    now_ = std::max(now_, armed_[next].due);
    host_.clockMs = clockStartMs_ + static_cast<double>(now_);
    Tick(next);
  }
  now_ = std::max(now_, ms);
  host_.clockMs = clockStartMs_ + static_cast<double>(now_);
}

int Runner::RunTimer1Ticks(int n) {
  if (!loaded_) Load();
  const int start = ticks_[0];
  // Each pass moves the clock to Timer1's due time, so the loop always progresses.
  while (ticks_[0] - start < n && !form_->IsUnloaded() && armed_[0].due >= 0) {
    AdvanceTo(armed_[0].due);
  }
  return ticks_[0] - start;
}

void Runner::Deliver(const std::function<void(frmSSaver&)>& event) {
  if (!loaded_) Load();
  if (form_->IsUnloaded()) return;
  event(*form_);
  Rearm(-1);
  Compose();
}

const Picture& Runner::Frame() {
  if (!loaded_) Load();
  Compose();
  return frame_;
}

}  // namespace qm::headless
