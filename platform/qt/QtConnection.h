// Qt's own X connection, for the program's requests that go beside it on connections of
// their own.
#pragma once

namespace qm::qt {

// Waits until the X server has done all that Qt asked of it so far, so that another
// connection finds the windows Qt made (Qt may still hold their creation in its
// buffer). Does nothing when Qt is not on X11.
void SyncQtConnection();

// Sends what Qt holds in its buffer without waiting (Qt sends it when its event loop
// next runs, which may be a whole frame away). Does nothing when Qt is not on X11.
void FlushQtConnection();

}  // namespace qm::qt
