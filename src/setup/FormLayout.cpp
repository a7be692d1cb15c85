#include "setup/FormLayout.h"

#include <utility>

namespace qm {

const LayoutItem* FormLayout::Find(const std::string& name) const {
  for (const LayoutItem& item : Items) {
    if (item.Name == name) return &item;
  }
  return nullptr;
}

LayoutItem MakeLayoutItem(std::string name, ControlKind kind, std::string container,
                          std::string caption, int left, int top, int width, int height, int tab,
                          Font font) {
  LayoutItem item;
  item.Name = std::move(name);
  item.Kind = kind;
  item.Container = std::move(container);
  item.Caption = std::move(caption);
  item.Left = left;
  item.Top = top;
  item.Width = width;
  item.Height = height;
  item.TabIndex = tab;
  item.TextFont = std::move(font);
  return item;
}

Font SansSerif(bool bold) {
  Font font;
  font.Name = "MS Sans Serif";
  font.SizePt = 8.25f;
  font.Bold = bold;
  return font;
}

}  // namespace qm
