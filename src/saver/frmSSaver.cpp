#include "saver/frmSSaver.h"

#include "saver/Artwork.h"

namespace qm {
namespace {

// The design is laid out in twips; the window's scale unit is the pixel.
constexpr int Px(int twips) {
  return twips / 15;
}

void Place(Control& c, int left, int top, int width, int height) {
  c.Left = Px(left);
  c.Top = Px(top);
  c.Width = Px(width);
  c.Height = Px(height);
}

Label MatchTableLabel(const char* caption, float sizePt, bool bold, bool italic) {
  Label l;
  l.Caption = caption;
  l.TextFont.Name = "Arial";
  l.TextFont.SizePt = sizePt;
  l.TextFont.Bold = bold;
  l.TextFont.Italic = italic;
  l.ForeColor = 0xFFFFFF;
  l.Transparent = true;
  return l;
}

// A run shows one scene, and most scenes use one or two of the grids: each sheet is
// decoded when its grid is first used, not while the window is being built.
PictureClip ArtGrid(ArtId id, int rows, int cols) {
  return PictureClip([id] { return LoadArt(id); }, rows, cols);
}

}  // namespace

frmSSaver::frmSSaver() : Canvas(Px(9465), Px(7425), 0x000000) {
  PictureClip3 = ArtGrid(ArtId::PanelSheet, 1, 1);
  PictureClip2 = ArtGrid(ArtId::ChampionSheet, 2, 2);
  Timer2.Interval = 0;
  Timer2.Enabled = false;
  PictureClip1 = ArtGrid(ArtId::PosterSheet, 3, 5);

  Place(picTabela, 870, 1740, 3030, 3750);
  picTabela.Visible = false;

  // Separators: x 240 to 2790 (the first to 2760), 450 twips apart from y 1260.
  for (int i = 0; i < 5; ++i) {
    Line& l = Line1[static_cast<size_t>(i)];
    l.X1 = Px(240);
    l.X2 = Px(i == 0 ? 2760 : 2790);
    l.Y1 = l.Y2 = Px(1260 + 450 * i);
    l.Color = 0xFFFFFF;
  }

  for (int i = 0; i < 6; ++i) {
    Label& d = lblJogo01Dia[static_cast<size_t>(i)];
    d = MatchTableLabel("Day/Time", 6.75f, false, false);
    d.Align = Alignment::Center;
    if (i == 2) {
      Place(d, 150, 840 + 450 * i, 2715, 135);
    } else {
      Place(d, 60, 840 + 450 * i, 2895, 135);
    }
  }

  struct Geometry {
    int left, top, width;
  };
  constexpr Geometry kMatch[6] = {{30, 1020, 2895}, {90, 1470, 2805}, {60, 1920, 2895},
                                  {60, 2370, 2865}, {60, 2820, 2895}, {60, 3270, 2895}};
  for (int i = 0; i < 6; ++i) {
    Label& m = lblJogo01[static_cast<size_t>(i)];
    m = MatchTableLabel("Jogo 01", 8.25f, true, false);
    m.Align = Alignment::Center;
    Place(m, kMatch[i].left, kMatch[i].top, kMatch[i].width, 195);
  }

  lblGrupo = MatchTableLabel("Oitavas", 20.25f, true, true);
  Place(lblGrupo, 180, 150, 1455, 480);
  // At its designed 97 pixels the title cuts "Semifinais" to "Semifin" and "3º Lugar" to
  // "3º"; it may run to the panel's right edge, where nothing else lies beside it.
  lblGrupo.Width = picTabela.Width - lblGrupo.Left;

  BolaClip = ArtGrid(ArtId::BallSheet, 2, 7);
  Timer1.Interval = 50;
  Timer1.Enabled = false;
  Taca1Clip[0] = ArtGrid(ArtId::TrophyWorldCup, 2, 1);
  Taca1Clip[1] = ArtGrid(ArtId::TrophyJulesRimet, 2, 1);

  Image1.SetPicture(LoadArt(ArtId::TableCard));
  Place(Image1, 5820, 360, 750, 930);
  Image1.Visible = false;

  Place(imgPropaganda01, 630, 6210, 7020, 900);
  imgPropaganda01.Visible = false;
}

void frmSSaver::Move(int, int, int width, int height) {
  // The position belongs to the host's window; only the size reaches the surface.
  if (width != Canvas.Width() || height != Canvas.Height()) Canvas.Resize(width, height);
}

bool frmSSaver::Unload() {
  // A close request made while the password prompt is up (on Windows, the character of
  // the very key that brought it up arrives meanwhile) would open a second prompt over
  // the first; the prompt's own answer decides instead.
  if (closing_) return false;
  bool cancel = false;
  closing_ = true;
  Form_QueryUnload(cancel, 0);
  closing_ = false;
  if (cancel) return false;
  Form_Unload(cancel);
  unloaded_ = true;
  return true;
}

}  // namespace qm
