// Taking the pointer grab for a window and knowing whether X granted it. Qt's own grab
// call reports success whenever the request raises no X error, also when another
// client holds the pointer and X answered "already grabbed".
#pragma once

class QWindow;

namespace qm::qt {

// Grabs the pointer for `window` (a mapped window of this program) and says whether
// this program now holds it. A grab this program already holds, on this or another of
// its windows, simply moves here. False without an X11 connection or while another
// client holds the pointer; the caller asks again later.
bool GrabPointer(QWindow& window);

}  // namespace qm::qt
