// Every picture on one labelled sheet, small sprites also at three times their size,
// so the whole set can be judged at a glance.
#include <algorithm>
#include <cstdio>

#include "Art.h"
#include "Font.h"
#include "Palette.h"

namespace art {

namespace {

struct Item {
  std::string label;
  const Canvas* picture;
  int scale;
  int x = 0, y = 0;
};

// The pictures the design holds in 8 bits or a GIF palette, and the 4-bit icon. A
// quantiser that fails leaves a full-colour picture: still right, only deeper.
Canvas Paletted(Canvas c) {
  ReduceColours(c, 256);
  return c;
}
Canvas FourBit(Canvas c) {
  ReduceToWindows16(c);
  return c;
}

}  // namespace

std::vector<NamedPicture> AllPictures() {
  std::vector<NamedPicture> v;
  // Largest first, so the sheet packs into few rows.
  v.push_back({"posters.png", "PictureClip1 550x462", PosterSheet(), false});
  v.push_back({"champions.png", "PictureClip2 638x400", ChampionSheet(), false});
  v.push_back({"panels.png", "PictureClip3 1000x250", Paletted(PanelSheet()), false});
  v.push_back({"ball.png", "BolaClip 210x60", Paletted(BallSheet()), true});
  v.push_back(
      {"trophy_worldcup.png", "Taca1Clip(0) 40x191", Paletted(WorldCupTrophySheet()), true});
  v.push_back(
      {"trophy_julesrimet.png", "Taca1Clip(1) 35x193", Paletted(JulesRimetTrophySheet()), true});
  v.push_back({"table_card.png", "Image1 50x62", Paletted(TableCard()), true});
  v.push_back({"icon.png", "icon 32x32", FourBit(Icon()), true});
  v.push_back({"icon_mask.png", "icon mask", IconMask(), true});
  for (int i : {0, 1, 2, 3, 4, 21, 22})
    v.push_back({"preview" + std::to_string(i) + ".png", "Setup Image1(" + std::to_string(i) + ")",
                 Preview(i), false});
  return v;
}

Canvas ContactSheet(const std::vector<NamedPicture>& pictures) {
  constexpr int kWidth = 1400, kGap = 16, kLabel = 18;
  std::vector<Item> items;
  for (const auto& p : pictures) {
    items.push_back({p.label, &p.picture, 1});
    if (p.small) items.push_back({"3x", &p.picture, 3});
  }
  int x = kGap, y = kGap + 30, rowH = 0;
  const Fonts& f = TheFonts();
  for (Item& it : items) {
    const int w =
        std::max(it.picture->W() * it.scale, static_cast<int>(f.sans.Measure(it.label, 12)) + 2);
    const int h = it.picture->H() * it.scale + kLabel;
    if (x + w > kWidth - kGap && x > kGap) {
      x = kGap;
      y += rowH + kGap;
      rowH = 0;
    }
    it.x = x;
    it.y = y;
    x += w + kGap;
    rowH = std::max(rowH, h);
  }
  Canvas sheet(kWidth, y + rowH + kGap, Hex(0x3a3a40));
  f.bold.Draw(sheet, "Quillmark artwork", 20, kGap, 30, Col{1, 1, 1});
  for (const Item& it : items) {
    f.sans.Draw(sheet, it.label, 12, it.x, it.y + 12, Hex(0xe0e0e0));
    sheet.Draw(*it.picture, it.x, it.y + kLabel, it.picture->W() * it.scale,
               it.picture->H() * it.scale);
  }
  return sheet;
}

bool WriteDesktopIcon(const std::string& path, const std::vector<NamedPicture>& pictures) {
  const auto find = [&pictures](const std::string& file) -> const Canvas* {
    for (const auto& p : pictures)
      if (p.file == file) return &p.picture;
    return nullptr;
  };
  const Canvas* icon = find("icon.png");
  const Canvas* mask = find("icon_mask.png");
  if (!icon || !mask || icon->W() != mask->W() || icon->H() != mask->H()) {
    std::fprintf(stderr, "artgen: no icon and mask of one size for %s\n", path.c_str());
    return false;
  }
  const std::vector<uint32_t> under = mask->ToRgb();
  std::vector<uint8_t> alpha(under.size());
  for (size_t i = 0; i < under.size(); ++i) alpha[i] = (under[i] & 0xFFFFFFu) == 0 ? 255 : 0;
  return WritePng(path, icon->ToRgb(), icon->W(), icon->H(), alpha);
}

}  // namespace art
