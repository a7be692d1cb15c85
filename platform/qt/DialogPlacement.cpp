#include "qt/DialogPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "qt/QtConnection.h"
#include "qt/XWindows.h"

namespace qm::qt {
namespace {

constexpr int kFrameAnswerMs = 200;

int Clamp(int start, int length, int roomStart, int roomLength) {
  // A dialog larger than the room keeps its top-left corner in sight.
  return std::max(roomStart, std::min(start, roomStart + roomLength - length));
}

}  // namespace

void CentreFrameOn(QWidget& dialog, const QRect& over, const QRect& room) {
  int left = 0, right = 0, top = 0, bottom = 0;
  // Only an X window can be asked about; other platforms (the tests' offscreen one)
  // place windows frameless.
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    const WId id = dialog.winId();
    SyncQtConnection();  // the manager is asked about the window on another connection
    if (const auto frame = ProspectiveFrame(id, kFrameAnswerMs)) {
      const qreal ratio = dialog.devicePixelRatioF();
      const auto logical = [ratio](int device) {
        return static_cast<int>(std::lround(device / ratio));
      };
      left = logical(frame->Left);
      right = logical(frame->Right);
      top = logical(frame->Top);
      bottom = logical(frame->Bottom);
    }
  }
  QRect outside(0, 0, dialog.width() + left + right, dialog.height() + top + bottom);
  outside.moveCenter(over.center());
  if (!room.isEmpty()) {
    outside.moveLeft(Clamp(outside.left(), outside.width(), room.left(), room.width()));
    outside.moveTop(Clamp(outside.top(), outside.height(), room.top(), room.height()));
  }
  // With its native window made, Qt moves a widget by its inside.
  dialog.move(outside.left() + left, outside.top() + top);
}

}  // namespace qm::qt
