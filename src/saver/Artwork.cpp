// The embedded pictures are PNG bytes made by the artwork generator (assets/gen) and
// compiled in by qm_embed; each is decoded on first use and shared from then on.
#include "saver/Artwork.h"

#include <stb_image.h>

#include <array>
#include <cstdio>
#include <mutex>

namespace qm::art {
#define QM_ART_BLOB(name)            \
  extern const unsigned char name[]; \
  extern const unsigned long name##_size;
QM_ART_BLOB(PanelSheetPng)
QM_ART_BLOB(ChampionSheetPng)
QM_ART_BLOB(PosterSheetPng)
QM_ART_BLOB(BallSheetPng)
QM_ART_BLOB(TrophyWorldCupPng)
QM_ART_BLOB(TrophyJulesRimetPng)
QM_ART_BLOB(TableCardPng)
QM_ART_BLOB(IconPng)
QM_ART_BLOB(IconMaskPng)
QM_ART_BLOB(Preview0Png)
QM_ART_BLOB(Preview1Png)
QM_ART_BLOB(Preview2Png)
QM_ART_BLOB(Preview3Png)
QM_ART_BLOB(Preview4Png)
QM_ART_BLOB(Preview21Png)
QM_ART_BLOB(Preview22Png)
#undef QM_ART_BLOB
}  // namespace qm::art

namespace qm {

namespace {

struct Entry {
  const unsigned char* data;
  unsigned long size;
  int width;  // the listed size; a decoded picture of any other size is refused
  int height;
  const char* name;
};

constexpr int kArtCount = static_cast<int>(ArtId::IconMask) + 1;

Entry EntryFor(ArtId id) {
  using namespace art;
  switch (id) {
    case ArtId::PanelSheet:
      return {PanelSheetPng, PanelSheetPng_size, 1000, 250, "panel sheet"};
    case ArtId::ChampionSheet:
      return {ChampionSheetPng, ChampionSheetPng_size, 638, 400, "championship sheet"};
    case ArtId::PosterSheet:
      return {PosterSheetPng, PosterSheetPng_size, 550, 462, "poster sheet"};
    case ArtId::BallSheet:
      return {BallSheetPng, BallSheetPng_size, 210, 60, "ball sheet"};
    case ArtId::TrophyWorldCup:
      return {TrophyWorldCupPng, TrophyWorldCupPng_size, 40, 191, "World Cup trophy"};
    case ArtId::TrophyJulesRimet:
      return {TrophyJulesRimetPng, TrophyJulesRimetPng_size, 35, 193, "Jules Rimet trophy"};
    case ArtId::TableCard:
      return {TableCardPng, TableCardPng_size, 50, 62, "table card"};
    case ArtId::Icon:
      return {IconPng, IconPng_size, 32, 32, "icon"};
    case ArtId::IconMask:
      return {IconMaskPng, IconMaskPng_size, 32, 32, "icon mask"};
    case ArtId::Preview0:
      return {Preview0Png, Preview0Png_size, 100, 220, "preview 0"};
    case ArtId::Preview1:
      return {Preview1Png, Preview1Png_size, 100, 220, "preview 1"};
    case ArtId::Preview2:
      return {Preview2Png, Preview2Png_size, 100, 221, "preview 2"};
    case ArtId::Preview3:
      return {Preview3Png, Preview3Png_size, 100, 220, "preview 3"};
    case ArtId::Preview4:
      return {Preview4Png, Preview4Png_size, 100, 220, "preview 4"};
    case ArtId::Preview21:
      return {Preview21Png, Preview21Png_size, 100, 220, "preview 21"};
    case ArtId::Preview22:
      return {Preview22Png, Preview22Png_size, 100, 220, "preview 22"};
  }
  return {nullptr, 0, 1, 1, "unknown picture"};
}

PicturePtr Decode(const Entry& e) {
  auto picture = std::make_shared<Picture>(e.width, e.height);
  int w = 0, h = 0, channels = 0;
  stbi_uc* rgb = e.data
                     ? stbi_load_from_memory(e.data, static_cast<int>(e.size), &w, &h, &channels, 3)
                     : nullptr;
  if (!rgb) {
    std::fprintf(stderr, "quillmark: the embedded %s cannot be decoded; drawing it black\n",
                 e.name);
    return picture;
  }
  if (w != e.width || h != e.height) {
    std::fprintf(stderr, "quillmark: the embedded %s is %dx%d, not %dx%d; drawing it black\n",
                 e.name, w, h, e.width, e.height);
  } else {
    for (size_t i = 0; i < picture->Pixels.size(); ++i)
      picture->Pixels[i] = Rgb(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
  }
  stbi_image_free(rgb);
  return picture;
}

}  // namespace

PicturePtr LoadArt(ArtId id) {
  static std::mutex mutex;
  static std::array<PicturePtr, kArtCount> cache;
  const int index = static_cast<int>(id);
  const std::lock_guard<std::mutex> lock(mutex);
  if (index < 0 || index >= kArtCount) {
    static const PicturePtr unknown = std::make_shared<Picture>(1, 1);
    return unknown;
  }
  if (!cache[index]) cache[index] = Decode(EntryFor(id));
  return cache[index];
}

}  // namespace qm
