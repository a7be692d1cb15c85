#include "setup/FormLayout.h"

namespace qm {

const LayoutItem* FormLayout::Find(const std::string& name) const {
  for (const LayoutItem& item : Items) {
    if (item.Name == name) return &item;
  }
  return nullptr;
}

Font SansSerif(bool bold) {
  Font font;
  font.Name = "MS Sans Serif";
  font.SizePt = 8.25f;
  font.Bold = bold;
  return font;
}

}  // namespace qm
