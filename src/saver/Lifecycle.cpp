// The saver window's own handlers: start-up, the input that ends the saver, the
// password check before it closes, and what it gives back when it closes.
#include <cmath>
#include <string>

#include "app/NumericText.h"
#include "app/RegistryAccess.h"
#include "app/Settings.h"
#include "app/mSSaver.h"
#include "saver/frmSSaver.h"
#include "winsys/Host.h"
#include "winsys/Registry.h"

namespace qm {
namespace {

constexpr int kMouseMoveThreshold = 5;  // pixels along either axis
// ShowCursor is called until the display count passes these, so the pointer is surely
// shown for the prompt and surely hidden again afterwards. The cap only guards against
// a host whose count does not move; a real one gets there in a few calls.
constexpr int kSurelyShown = 5;
constexpr int kSurelyHidden = -5;
constexpr int kMaxCursorCalls = 10000;

// Mouse input ends the saver only while "Mouse" has the numeric value 0 itself, not
// rounded: a hand-edited "0.4" turns the mouse off here, although the setup dialog's
// box, which shows the value as a whole number, shows it unticked. A text with no
// leading number (a single blank, say) counts as 0, so the mouse stays enabled.
bool MouseEnabled() {
  return LeadingNumber(Mouse) == 0.0;
}

}  // namespace

void frmSSaver::Form_Load() {
  {
    // The password switch and the settings come from one reading of the store.
    const HeldRegistryReads once;
    // Only the value's presence matters, not what it holds.
    std::string ignored;
    UsePassword =
        RegReadValue(Hive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword", ignored);
    LoadSettings();
  }
  SystemFolder = "c:\\windows\\system\\";
  if (RunMode == kRunModePreview) {
    Host().ShowCursor(true);
  } else if (RunMode == kRunModeFullScreen) {
    Host().ShowCursor(false);
  }
  StartBanners();
  // The match table's five 200 x 250 panels.
  PictureClip3.SetCols(5);
  PictureClip3.SetRows(1);
  Timer1.Enabled = true;
}

void frmSSaver::Form_Click() {
  if (MouseEnabled() && RunMode == kRunModeFullScreen) Unload();
}

void frmSSaver::Form_DblClick() {
  Form_Click();
}

void frmSSaver::form_MouseDown(int, int, float, float) {
  Form_Click();
}

void frmSSaver::Form_MouseMove(int, int, float x, float y) {
  if (!MouseEnabled() || RunMode != kRunModeFullScreen) return;
  const bool moved = std::fabs(LastMouseX - x) >= kMouseMoveThreshold ||
                     std::fabs(LastMouseY - y) >= kMouseMoveThreshold;
  // (0, 0) means nothing recorded yet: the first event after opening only records.
  if (moved && (LastMouseX != 0 || LastMouseY != 0)) {
    Unload();
    return;
  }
  // Small moves carry the reference along, so a slowly creeping pointer never closes.
  LastMouseX = RoundToInt16(x);
  LastMouseY = RoundToInt16(y);
}

void frmSSaver::form_KeyDown(int, int) {
  if (RunMode == kRunModeFullScreen) Unload();
}

void frmSSaver::Form_KeyPress(int) {
  if (RunMode == kRunModeFullScreen) Unload();
}

void frmSSaver::Form_QueryUnload(bool& cancel, int) {
  // Every close request goes through here, whatever its source.
  if (RunMode != kRunModeFullScreen || !UsePassword) return;
  for (int i = 0; i < kMaxCursorCalls && Host().ShowCursor(true) <= kSurelyShown; ++i) {
  }
  if (Host().VerifyScreenSavePwd()) return;
  // Wrong password or cancelled prompt: hide the pointer again and keep running.
  for (int i = 0; i < kMaxCursorCalls && Host().ShowCursor(false) >= kSurelyHidden; ++i) {
  }
  cancel = true;
}

void frmSSaver::Form_Unload(bool&) {
  if (RunMode == kRunModeFullScreen && UsePassword) Host().ScreenSaverStopped();
  Timer1.Enabled = false;
  if (RunMode == kRunModeFullScreen) Host().ShowCursor(true);
}

}  // namespace qm
