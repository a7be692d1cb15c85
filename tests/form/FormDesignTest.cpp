#include <gtest/gtest.h>

#include "saver/frmSSaver.h"
#include "winsys/Text.h"

// The window as designed: every figure below is the design's twips divided by 15.

namespace qm {
namespace {

void ExpectBox(const Control& c, int left, int top, int width, int height, const char* what) {
  EXPECT_EQ(c.Left, left) << what;
  EXPECT_EQ(c.Top, top) << what;
  EXPECT_EQ(c.Width, width) << what;
  EXPECT_EQ(c.Height, height) << what;
}

// White text in Arial over a transparent background, as every label of the panel has.
void ExpectText(const Label& l, const char* caption, float pt, bool bold, bool italic,
                const char* what) {
  EXPECT_EQ(l.Caption, caption) << what;
  EXPECT_EQ(l.TextFont.Name, "Arial") << what;
  EXPECT_FLOAT_EQ(l.TextFont.SizePt, pt) << what;
  EXPECT_EQ(l.TextFont.Bold, bold) << what;
  EXPECT_EQ(l.TextFont.Italic, italic) << what;
  EXPECT_TRUE(l.Transparent) << what;
  EXPECT_EQ(l.ForeColor, 0xFFFFFFu) << what;
}

TEST(FormDesign, WindowAndTimers) {
  frmSSaver f;
  EXPECT_EQ(f.Caption, "Screen Saver");
  EXPECT_EQ(f.Canvas.Width(), 631);
  EXPECT_EQ(f.Canvas.Height(), 495);
  EXPECT_EQ(f.Width(), 9465.0f);
  EXPECT_EQ(f.Height(), 7425.0f);
  EXPECT_EQ(f.Canvas.BackColor(), 0x000000u);
  EXPECT_EQ(f.Timer1.Interval, 50);
  EXPECT_FALSE(f.Timer1.Enabled);
  EXPECT_EQ(f.Timer2.Interval, 0);
  EXPECT_FALSE(f.Timer2.Enabled);
  f.Move(0, 0, 800, 600);
  EXPECT_EQ(f.Width(), 12000.0f);
  EXPECT_EQ(f.Height(), 9000.0f);
  f.Move(0, 0, 800, 768);  // only the height changes
  EXPECT_EQ(f.Width(), 12000.0f);
  EXPECT_EQ(f.Height(), 11520.0f);
}

TEST(FormDesign, MatchTablePanelAndItsChildren) {
  frmSSaver f;
  ExpectBox(f.picTabela, 58, 116, 202, 250, "picTabela");
  EXPECT_FALSE(f.picTabela.Visible);
  EXPECT_FALSE(f.picTabela.Picture);

  const int lineY[5] = {84, 114, 144, 174, 204};
  for (int i = 0; i < 5; ++i) {
    const Line& l = f.Line1[static_cast<size_t>(i)];
    EXPECT_EQ(l.X1, 16) << i;
    EXPECT_EQ(l.X2, i == 0 ? 184 : 186) << i;
    EXPECT_EQ(l.Y1, lineY[i]) << i;
    EXPECT_EQ(l.Y2, lineY[i]) << i;
    EXPECT_EQ(l.Color, 0xFFFFFFu) << i;
    EXPECT_TRUE(l.Visible);
  }

  const int dayTop[6] = {56, 86, 116, 146, 176, 206};
  for (int i = 0; i < 6; ++i) {
    const Label& d = f.lblJogo01Dia[static_cast<size_t>(i)];
    if (i == 2) {
      ExpectBox(d, 10, dayTop[i], 181, 9, "lblJogo01Dia(2)");
    } else {
      ExpectBox(d, 4, dayTop[i], 193, 9, "lblJogo01Dia");
    }
    ExpectText(d, "Day/Time", 6.75f, false, false, "lblJogo01Dia");
    EXPECT_EQ(d.Align, Alignment::Center);
  }

  const int match[6][3] = {{2, 68, 193},  {6, 98, 187},  {4, 128, 193},
                           {4, 158, 191}, {4, 188, 193}, {4, 218, 193}};
  for (int i = 0; i < 6; ++i) {
    const Label& m = f.lblJogo01[static_cast<size_t>(i)];
    ExpectBox(m, match[i][0], match[i][1], match[i][2], 13, "lblJogo01");
    ExpectText(m, "Jogo 01", 8.25f, true, false, "lblJogo01");
    EXPECT_EQ(m.Align, Alignment::Center);
  }

  // Widened past the design's 97 pixels so that the longest titles show whole, but not
  // past the panel.
  EXPECT_EQ(f.lblGrupo.Left, 12);
  EXPECT_EQ(f.lblGrupo.Top, 10);
  EXPECT_EQ(f.lblGrupo.Height, 32);
  for (const char* title : {"Semifinais", "3\xBA Lugar", "Quartas"})
    EXPECT_LE(TextWidth(f.lblGrupo.TextFont, title), f.lblGrupo.Width) << title;
  EXPECT_LE(f.lblGrupo.Left + f.lblGrupo.Width, f.picTabela.Width);
  ExpectText(f.lblGrupo, "Oitavas", 20.25f, true, true, "lblGrupo");
}

TEST(FormDesign, Images) {
  frmSSaver f;
  ExpectBox(f.Image1, 388, 24, 50, 62, "Image1");
  EXPECT_FALSE(f.Image1.Visible);
  ASSERT_TRUE(f.Image1.Picture);
  EXPECT_EQ(f.Image1.Picture->Width, 50);
  EXPECT_EQ(f.Image1.Picture->Height, 62);
  ExpectBox(f.imgPropaganda01, 42, 414, 468, 60, "imgPropaganda01");
  EXPECT_FALSE(f.imgPropaganda01.Visible);
  EXPECT_FALSE(f.imgPropaganda01.Picture);
}

TEST(FormDesign, PictureGridsAndTheirCells) {
  frmSSaver f;
  struct Grid {
    const PictureClip* clip;
    int rows, cols, cellW, cellH;
    const char* name;
  };
  const Grid grids[] = {
      {&f.PictureClip3, 1, 1, 1000, 250, "PictureClip3"},
      {&f.PictureClip2, 2, 2, 319, 200, "PictureClip2"},
      {&f.PictureClip1, 3, 5, 110, 154, "PictureClip1"},
      {&f.BolaClip, 2, 7, 30, 30, "BolaClip"},
      {&f.Taca1Clip[0], 2, 1, 40, 95, "Taca1Clip(0)"},  // 191 / 2
      {&f.Taca1Clip[1], 2, 1, 35, 96, "Taca1Clip(1)"},  // 193 / 2
  };
  for (const Grid& g : grids) {
    EXPECT_EQ(g.clip->Rows(), g.rows) << g.name;
    EXPECT_EQ(g.clip->Cols(), g.cols) << g.name;
    EXPECT_EQ(g.clip->CellWidth(), g.cellW) << g.name;
    EXPECT_EQ(g.clip->CellHeight(), g.cellH) << g.name;
    const int cells = g.rows * g.cols;
    const PictureView lastCell = g.clip->GraphicCell(cells - 1);
    ASSERT_FALSE(lastCell.Empty()) << g.name;
    // The last cell starts at the last row and column.
    const Picture& sheet = *g.clip->GetPicture();
    EXPECT_EQ(lastCell.Data, sheet.Pixels.data() +
                                 static_cast<size_t>((g.rows - 1) * g.cellH) * sheet.Width +
                                 (g.cols - 1) * g.cellW)
        << g.name;
    EXPECT_TRUE(g.clip->GraphicCell(cells).Empty()) << g.name;
  }
}

// Drawing a sprite as the flying scenes do (its mask with AND, then the picture with
// XOR) over a coloured background must show the picture where the mask is black and
// leave the background where it is white.
void ExpectSpriteOverBackground(const PictureClip& clip, int pictureCell, int maskCell,
                                const char* what) {
  const Pixel bg = 0x3366CC;
  const PictureView pic = clip.GraphicCell(pictureCell);
  const PictureView mask = clip.GraphicCell(maskCell);
  ASSERT_FALSE(pic.Empty()) << what;
  ASSERT_EQ(pic.Width, mask.Width);
  ASSERT_EQ(pic.Height, mask.Height);
  Surface s(pic.Width, pic.Height, bg);
  s.PaintPicture(mask, 0, 0, std::nullopt, std::nullopt, RasterOp::SrcAnd);
  s.PaintPicture(pic, 0, 0, std::nullopt, std::nullopt, RasterOp::SrcInvert);
  int shown = 0;
  for (int y = 0; y < pic.Height; ++y)
    for (int x = 0; x < pic.Width; ++x) {
      const bool opaque = mask.At(x, y) == 0x000000;
      const Pixel want = opaque ? (pic.At(x, y) & 0xFFFFFFu) : bg;
      ASSERT_EQ(s.Pixels().At(x, y), want)
          << what << " cell " << pictureCell << " at " << x << "," << y;
      shown += opaque;
    }
  EXPECT_GT(shown, 0) << what << " cell " << pictureCell << " shows nothing";
  EXPECT_LT(shown, pic.Width * pic.Height) << what << " cell " << pictureCell << " hides nothing";
}

TEST(FormDesign, EverySpriteCellOverItsMaskKeepsTheBackgroundOutsideTheShape) {
  frmSSaver f;
  for (int frame = 0; frame < 7; ++frame)
    ExpectSpriteOverBackground(f.BolaClip, frame, frame + 7, "BolaClip");
  ExpectSpriteOverBackground(f.Taca1Clip[0], 0, 1, "Taca1Clip(0)");
  ExpectSpriteOverBackground(f.Taca1Clip[1], 0, 1, "Taca1Clip(1)");
}

}  // namespace
}  // namespace qm
