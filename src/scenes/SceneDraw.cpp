#include "scenes/SceneDraw.h"

#include <utility>

namespace qm {
namespace {

std::function<void(const SceneDrawCall&)>& Observer() {
  static std::function<void(const SceneDrawCall&)> observer;
  return observer;
}

}  // namespace

void SceneCls(Surface& surface) {
  if (auto& observer = Observer()) observer(SceneDrawCall{});
  surface.Cls();
}

void ScenePaint(Surface& surface, const PictureView& cell, float x, float y,
                std::optional<float> width, std::optional<float> height, RasterOp op) {
  if (auto& observer = Observer()) {
    observer(SceneDrawCall{SceneDrawCall::Kind::Paint, cell, x, y, width, height, op});
  }
  surface.PaintPicture(cell, x, y, width, height, op);
}

void ScenePaintMasked(Surface& surface, const PictureView& mask, const PictureView& image, float x,
                      float y, std::optional<float> width, std::optional<float> height) {
  if (auto& observer = Observer()) {
    observer(
        SceneDrawCall{SceneDrawCall::Kind::Paint, mask, x, y, width, height, RasterOp::SrcAnd});
    observer(
        SceneDrawCall{SceneDrawCall::Kind::Paint, image, x, y, width, height, RasterOp::SrcInvert});
  }
  surface.PaintMasked(mask, image, x, y, width, height);
}

void SetSceneDrawObserverForTesting(std::function<void(const SceneDrawCall&)> observer) {
  Observer() = std::move(observer);
}

}  // namespace qm
