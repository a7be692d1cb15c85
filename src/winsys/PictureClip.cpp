#include "winsys/PictureClip.h"

#include <algorithm>
#include <cstdint>

namespace qm {

PictureClip::PictureClip(PicturePtr picture, int rows, int cols)
    : picture_(std::move(picture)), rows_(std::max(rows, 1)), cols_(std::max(cols, 1)) {}

void PictureClip::SetPicture(PicturePtr picture) {
  picture_ = std::move(picture);
}

void PictureClip::SetRows(int rows) {
  rows_ = std::max(rows, 1);
}

void PictureClip::SetCols(int cols) {
  cols_ = std::max(cols, 1);
}

int PictureClip::CellWidth() const {
  return picture_ ? picture_->Width / cols_ : 0;
}

int PictureClip::CellHeight() const {
  return picture_ ? picture_->Height / rows_ : 0;
}

PictureView PictureClip::GraphicCell(int index) const {
  if (!picture_ || index < 0 || index >= int64_t{rows_} * cols_) return {};
  const int cw = CellWidth();
  const int ch = CellHeight();
  if (cw <= 0 || ch <= 0) return {};
  const int row = index / cols_;
  const int col = index % cols_;
  PictureView cell;
  cell.Data = picture_->Pixels.data() + static_cast<size_t>(row) * ch * picture_->Width +
              static_cast<size_t>(col) * cw;
  cell.Stride = picture_->Width;
  cell.Width = cw;
  cell.Height = ch;
  return cell;
}

}  // namespace qm
