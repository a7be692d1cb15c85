// Qt's own X connection, for the program's requests that go beside it on connections of
// their own.
#pragma once

namespace qm::qt {

// Waits until the X server has done all that Qt asked of it so far, so that another
// connection finds the windows Qt made (Qt may still hold their creation in its
// buffer). Does nothing when Qt is not on X11.
void SyncQtConnection();

}  // namespace qm::qt
