// The pictures the program carries inside it, decoded once on first use and shared.
#pragma once

#include "winsys/Picture.h"

namespace qm {

enum class ArtId {
  PanelSheet,        // PictureClip3: 1000 x 250, five 200 x 250 panels
  ChampionSheet,     // PictureClip2: 638 x 400, 2 x 2 cells of 319 x 200
  PosterSheet,       // PictureClip1: 550 x 462, 3 x 5 cells of 110 x 154
  BallSheet,         // BolaClip: 210 x 60, 2 x 7 cells of 30 x 30 (frames, then masks)
  TrophyWorldCup,    // Taca1Clip(0): 40 x 191, picture above its mask
  TrophyJulesRimet,  // Taca1Clip(1): 35 x 193, picture above its mask
  TableCard,         // Image1: 50 x 62 "Tabela da Copa" card
  Icon,              // 32 x 32 red ring
  Preview0,          // setup dialog previews, 100 x 220 (Preview2: 100 x 221)
  Preview1,
  Preview2,
  Preview3,
  Preview4,
  Preview21,
  Preview22,
  IconMask,  // 32 x 32: black where the icon is opaque, white where it is transparent
};

// Never null: a picture that cannot be decoded comes back as a black picture of its
// listed size, so the program still runs (with a message on stderr); an id outside the
// list gives a 1 x 1 black picture. Safe to call from any thread.
PicturePtr LoadArt(ArtId id);

}  // namespace qm
