#include "winsys/PictureClip.h"

#include <algorithm>
#include <cstdint>

namespace qm {

PictureClip::PictureClip(PicturePtr picture, int rows, int cols)
    : picture_(std::move(picture)), rows_(std::max(rows, 1)), cols_(std::max(cols, 1)) {}

PictureClip::PictureClip(PictureSource source, int rows, int cols)
    : source_(std::move(source)), rows_(std::max(rows, 1)), cols_(std::max(cols, 1)) {}

const PicturePtr& PictureClip::GetPicture() const {
  if (source_) {
    // Moved out first: the source runs once even if it throws or returns nothing.
    const PictureSource source = std::move(source_);
    source_ = nullptr;
    picture_ = source();
  }
  return picture_;
}

void PictureClip::SetPicture(PicturePtr picture) {
  source_ = nullptr;
  picture_ = std::move(picture);
}

void PictureClip::SetRows(int rows) {
  rows_ = std::max(rows, 1);
}

void PictureClip::SetCols(int cols) {
  cols_ = std::max(cols, 1);
}

int PictureClip::CellWidth() const {
  const PicturePtr& picture = GetPicture();
  return picture ? picture->Width / cols_ : 0;
}

int PictureClip::CellHeight() const {
  const PicturePtr& picture = GetPicture();
  return picture ? picture->Height / rows_ : 0;
}

PictureView PictureClip::GraphicCell(int index) const {
  const PicturePtr& picture = GetPicture();
  if (!picture || index < 0 || index >= int64_t{rows_} * cols_) return {};
  const int cw = CellWidth();
  const int ch = CellHeight();
  if (cw <= 0 || ch <= 0) return {};
  const int row = index / cols_;
  const int col = index % cols_;
  PictureView cell;
  cell.Data = picture->Pixels.data() + static_cast<size_t>(row) * ch * picture->Width +
              static_cast<size_t>(col) * cw;
  cell.Stride = picture->Width;
  cell.Width = cw;
  cell.Height = ch;
  return cell;
}

}  // namespace qm
