// The picture-grid control: one picture cut into Rows x Cols equal cells, numbered
// row by row from 0. Never visible; it only hands out cells.
#pragma once

#include <functional>

#include "winsys/Picture.h"

namespace qm {

class PictureClip {
 public:
  // Makes the picture when it is first needed.
  using PictureSource = std::function<PicturePtr()>;

  PictureClip() = default;
  PictureClip(PicturePtr picture, int rows, int cols);
  // The picture comes from `source`, called once, the first time the picture, a cell or
  // a cell size is asked for: a grid that a run never uses costs nothing to set up.
  // Like the rest of the control, on one thread only.
  PictureClip(PictureSource source, int rows, int cols);

  const PicturePtr& GetPicture() const;
  void SetPicture(PicturePtr picture);

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  // Counts below 1 are taken as 1.
  void SetRows(int rows);
  void SetCols(int cols);

  // Cell size in pixels: the picture's size divided by the counts (integer division).
  int CellWidth() const;
  int CellHeight() const;

  // The cell with the given row-by-row number; an index outside 0 .. Rows*Cols-1 or a
  // missing picture gives an empty view (draws nothing).
  PictureView GraphicCell(int index) const;

 private:
  mutable PictureSource source_;  // until the picture is first needed
  mutable PicturePtr picture_;
  int rows_ = 1;
  int cols_ = 1;
};

}  // namespace qm
