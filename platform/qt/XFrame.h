// Puts the saver's frame straight into its X window, past Qt's backing store. Qt would
// copy every changed pixel into a shared-memory image of the whole window and have the
// server copy it again; for a full-screen window the first of those uploads is the whole
// screen, and the server spends longer faulting in and copying it than the saver spends
// on everything else before its first scene frame. Here the window's own background is
// black, so the server fills it on mapping and on every exposure, and a picture mostly
// black needs only its other pixels sent. A local server reads the pixels from memory
// shared with it (MIT-SHM), and where the frame itself lives in that memory
// (PixelMemory) nothing is copied at all; only a remote server gets them through the
// socket.
//
// The puts, and the request whose reply says the server has done them, go through a
// connection of our own: on Qt's, every such reply woke Qt's event reader, one more
// wake-up a frame for the saver and for the server. Requests on two connections keep
// no order between them, which costs nothing here: the window exists before the
// first put (Open asks the server about it through Qt's connection), and a put that
// reaches the window before Qt's request to map it is painted again on the exposure
// that follows. Where our own connection cannot be opened, Qt's serves. No X type
// crosses this header.
#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>

#include "winsys/Picture.h"
#include "winsys/Surface.h"

namespace qm::qt {

class XFrame {
 public:
  // nullptr when Qt has no X connection or the window's pixels are not 24-bit
  // 0xRRGGBB (the frame's layout), so the caller keeps painting through Qt.
  static std::unique_ptr<XFrame> Open(uint64_t window);
  ~XFrame();
  XFrame(const XFrame&) = delete;
  XFrame& operator=(const XFrame&) = delete;

  // Memory for a frame's pixels that a local server reads where it is: a frame in it
  // is put with nothing copied. Elsewhere (a remote display) it is plain memory. It
  // belongs to this object, so whatever holds memory from it must be gone first.
  std::pmr::memory_resource* PixelMemory();
  // Returns once the server has done every put flushed so far. Until then it may still
  // be reading the pixels of a frame in PixelMemory(), which must not change meanwhile.
  void WaitForServer();

  // From now on the server paints the window black wherever it is exposed.
  void SetBlackBackground();
  // Sends rectangle `r` of `frame` (device pixels, clipped to the frame).
  void Put(const Picture& frame, const Rect& r);
  // The same where the window already shows black in `r`: only the rows that hold
  // something else are sent, each band of rows from its first to its last such pixel.
  void PutOverBlack(const Picture& frame, const Rect& r);
  // Hands everything put so far to the server.
  void Flush();

 private:
  struct Connection;
  class SharedPixels;
  explicit XFrame(std::unique_ptr<Connection> connection);
  std::unique_ptr<Connection> connection_;
  std::unique_ptr<SharedPixels> pixels_;
};

}  // namespace qm::qt
