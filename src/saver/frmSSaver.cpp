#include "saver/frmSSaver.h"

namespace qm {

// The design is filled in by the renderer work; until then the window is bare.
frmSSaver::frmSSaver() {
  Timer1.Interval = 50;
}

void frmSSaver::Move(int, int, int width, int height) {
  Canvas.Resize(width, height);
}

bool frmSSaver::Unload() {
  bool cancel = false;
  Form_QueryUnload(cancel, 0);
  if (cancel) return false;
  Form_Unload(cancel);
  unloaded_ = true;
  return true;
}

std::vector<Rect> frmSSaver::ComposeFrame(Picture&) {
  return {};
}

}  // namespace qm
