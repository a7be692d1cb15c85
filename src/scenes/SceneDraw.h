// The two drawing operations the picture scenes use on the saver window. Every scene
// draws through these, so that tests can watch which cell went where, at what size
// and with which raster operation, without decoding pixels.
#pragma once

#include <functional>
#include <optional>

#include "winsys/Picture.h"
#include "winsys/Surface.h"

namespace qm {

struct SceneDrawCall {
  enum class Kind { Cls, Paint };
  Kind What = Kind::Cls;
  // Paint only: the cell drawn (a view into its grid's picture), where and how.
  PictureView Cell;
  float X = 0;
  float Y = 0;
  std::optional<float> Width;
  std::optional<float> Height;
  RasterOp Op = RasterOp::SrcCopy;
};

// Clears the surface (Surface::Cls), telling the observer first.
void SceneCls(Surface& surface);

// Draws a cell (Surface::PaintPicture with the same arguments), telling the observer
// first. An empty cell is still reported and draws nothing.
void ScenePaint(Surface& surface, const PictureView& cell, float x, float y,
                std::optional<float> width, std::optional<float> height, RasterOp op);

// Draws a sprite: its mask with SrcAnd, then its picture with SrcInvert, both at the
// same place and size (Surface::PaintMasked). The observer sees the two calls in that
// order.
void ScenePaintMasked(Surface& surface, const PictureView& mask, const PictureView& image, float x,
                      float y, std::optional<float> width, std::optional<float> height);

// Tests install an observer that sees every call above; an empty function removes it.
// The drawing itself happens either way.
void SetSceneDrawObserverForTesting(std::function<void(const SceneDrawCall&)> observer);

}  // namespace qm
