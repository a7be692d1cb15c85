// Where a dialog opens. Qt places a top-level window by its inside until the window
// manager has framed it, so a dialog centred by Qt's measures sits off centre by about
// half its title bar; here the manager is asked for the frame first.
#pragma once

class QRect;
class QWidget;

namespace qm::qt {

// Moves `dialog` (a top-level widget at its final size, not shown yet) so that its
// frame, as the window manager will draw it, is centred on `over` and kept inside
// `room` where it fits (both in Qt's logical pixels, on the root window). Creates the
// dialog's native window. Waits a fifth of a second at most for the manager's answer;
// without one (no window manager, or one that does not say), the inside is centred.
void CentreFrameOn(QWidget& dialog, const QRect& over, const QRect& room);

}  // namespace qm::qt
