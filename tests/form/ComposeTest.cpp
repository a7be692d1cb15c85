#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "saver/Compose.h"

namespace qm {
namespace {

PicturePtr Solid(int w, int h, Pixel colour) {
  return std::make_shared<Picture>(w, h, colour);
}

// A window of 100 x 80 whose panel children are all hidden, so a test sees only what
// it puts there.
std::unique_ptr<frmSSaver> BareForm() {
  auto f = std::make_unique<frmSSaver>();
  f->Move(0, 0, 100, 80);
  for (Line& l : f->Line1) l.Visible = false;
  for (Label& l : f->lblJogo01Dia) l.Visible = false;
  for (Label& l : f->lblJogo01) l.Visible = false;
  f->lblGrupo.Visible = false;
  return f;
}

// What the frame must hold: everything composed afresh.
Picture Reference(const frmSSaver& f) {
  Picture ref(f.Canvas.Width(), f.Canvas.Height());
  ComposeRegion(f, ref, Rect{0, 0, ref.Width, ref.Height});
  return ref;
}

// A rectangle as {X, Y, Width, Height}, to compare in one assertion.
std::array<int, 4> Box(const Rect& r) {
  return {r.X, r.Y, r.Width, r.Height};
}

int64_t Area(const std::vector<Rect>& rects) {
  int64_t a = 0;
  for (const Rect& r : rects) a += int64_t{r.Width} * r.Height;
  return a;
}

TEST(Compose, LayersSurfaceThenImagesThenPanel) {
  auto f = BareForm();
  const Picture red(100, 80, 0xFF0000);
  f->Canvas.PaintPicture(PictureView(red), 0, 0);
  f->Image1.SetPicture(Solid(20, 20, 0x00FF00));
  f->Image1.Left = 0;
  f->Image1.Top = 0;
  f->Image1.Visible = true;
  f->imgPropaganda01.SetPicture(Solid(20, 20, 0x0000FF));
  f->imgPropaganda01.Left = 10;
  f->imgPropaganda01.Top = 10;
  f->imgPropaganda01.Visible = true;
  f->picTabela.Left = 15;
  f->picTabela.Top = 15;
  f->picTabela.Width = 10;
  f->picTabela.Height = 10;
  f->picTabela.BackColor = 0x123456;
  f->picTabela.Visible = true;

  Picture frame;
  f->ComposeFrame(frame);
  ASSERT_EQ(frame.Width, 100);
  ASSERT_EQ(frame.Height, 80);
  EXPECT_EQ(frame.At(5, 5), 0x00FF00u);    // Image1 over the surface
  EXPECT_EQ(frame.At(12, 12), 0x0000FFu);  // the banner over Image1
  EXPECT_EQ(frame.At(16, 16), 0x123456u);  // the panel over the banner
  EXPECT_EQ(frame.At(27, 27), 0x0000FFu);  // banner beyond the panel
  EXPECT_EQ(frame.At(50, 50), 0xFF0000u);  // the surface itself

  // Hidden controls leave the surface showing.
  f->Image1.Visible = false;
  f->imgPropaganda01.Visible = false;
  f->picTabela.Visible = false;
  f->ComposeFrame(frame);
  EXPECT_EQ(frame.At(5, 5), 0xFF0000u);
  EXPECT_EQ(frame.At(12, 12), 0xFF0000u);
  EXPECT_EQ(frame.At(16, 16), 0xFF0000u);
}

TEST(Compose, PanelDrawsItsPictureThenChildrenClippedToIt) {
  auto f = BareForm();
  PictureBox& box = f->picTabela;
  box.Left = 10;
  box.Top = 20;
  box.Width = 30;
  box.Height = 12;
  box.BackColor = 0x000001;
  box.Picture = Solid(20, 12, 0x404040);  // narrower than the box: back colour beyond
  box.Visible = true;
  Line& line = f->Line1[1];
  line.X1 = 2;
  line.Y1 = 3;
  line.X2 = 60;  // runs past the box
  line.Y2 = 3;
  line.Color = 0xFFFFFF;
  line.Visible = true;
  Line& shortLine = f->Line1[2];
  shortLine.X1 = 2;
  shortLine.Y1 = 6;
  shortLine.X2 = 6;  // the end point itself is not drawn
  shortLine.Y2 = 6;
  shortLine.Color = 0x00FF00;
  shortLine.Visible = true;

  Picture frame;
  f->ComposeFrame(frame);
  EXPECT_EQ(frame.At(10, 20), 0x404040u);  // picture from the box's corner
  EXPECT_EQ(frame.At(29, 20), 0x404040u);
  EXPECT_EQ(frame.At(30, 20), 0x000001u);  // back colour beyond the picture
  EXPECT_EQ(frame.At(40, 20), 0x000000u);  // outside the box: the surface
  EXPECT_EQ(frame.At(11, 23), 0x404040u);  // the line starts at x = 2
  for (int x = 12; x < 40; ++x) EXPECT_EQ(frame.At(x, 23), 0xFFFFFFu) << x;
  EXPECT_EQ(frame.At(40, 23), 0x000000u);  // clipped at the box's right edge
  for (int x = 12; x < 16; ++x) EXPECT_EQ(frame.At(x, 26), 0x00FF00u) << x;
  EXPECT_EQ(frame.At(16, 26), 0x404040u);
}

TEST(Compose, LabelsDrawTextInsideTheirBoxOnlyAndOpaqueOnesFillFirst) {
  auto f = BareForm();
  PictureBox& box = f->picTabela;
  box.Left = 0;
  box.Top = 0;
  box.Width = 100;
  box.Height = 80;
  box.Visible = true;
  Label& l = f->lblJogo01[0];
  l.Left = 10;
  l.Top = 10;
  l.Width = 60;
  l.Height = 13;
  l.Caption = "Brasil x Escocia";
  l.Visible = true;
  Picture frame;
  f->ComposeFrame(frame);
  bool ink = false;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) {
      if (frame.At(x, y) == 0) continue;
      ink = true;
      ASSERT_TRUE(x >= 10 && x < 70 && y >= 10 && y < 23) << x << "," << y;
    }
  EXPECT_TRUE(ink);

  l.Transparent = false;
  l.BackColor = 0x0000A0;
  l.Caption = "";
  f->ComposeFrame(frame);
  EXPECT_EQ(frame.At(10, 10), 0x0000A0u);
  EXPECT_EQ(frame.At(69, 22), 0x0000A0u);
  EXPECT_EQ(frame.At(70, 22), 0x000000u);
}

TEST(Compose, OnlyWhatChangedIsRedoneAndTheFrameStaysRight) {
  auto f = BareForm();
  f->Image1.SetPicture(Solid(8, 8, 0x00FF00));
  Picture frame;
  EXPECT_EQ(Area(f->ComposeFrame(frame)), 100 * 80);  // the first frame is whole
  EXPECT_TRUE(f->ComposeFrame(frame).empty());        // nothing changed since

  const Picture sprite(6, 4, 0xABCDEF);
  f->Canvas.PaintPicture(PictureView(sprite), 30, 40);
  auto changed = f->ComposeFrame(frame);
  EXPECT_EQ(Area(changed), 6 * 4);
  EXPECT_EQ(frame.At(30, 40), 0xABCDEFu);

  // An image moved and shown: its old place (hidden, so nothing) and its new one.
  f->Image1.Left = 70;
  f->Image1.Top = 5;
  f->Image1.Visible = true;
  changed = f->ComposeFrame(frame);
  EXPECT_EQ(Area(changed), 8 * 8);
  EXPECT_EQ(frame.At(70, 5), 0x00FF00u);

  // Moved again: the old place shows the surface again.
  f->Image1.Left = 0;
  f->Image1.Top = 0;
  changed = f->ComposeFrame(frame);
  EXPECT_EQ(Area(changed), 2 * 8 * 8);
  EXPECT_EQ(frame.At(70, 5), 0x000000u);

  // A caption change redoes the panel only, and only while the panel is shown.
  f->lblGrupo.Caption = std::string(1, 'A');
  EXPECT_TRUE(f->ComposeFrame(frame).empty());
  f->picTabela.Left = 5;
  f->picTabela.Top = 5;
  f->picTabela.Visible = true;
  f->lblGrupo.Visible = true;
  changed = f->ComposeFrame(frame);
  EXPECT_EQ(Area(changed), 95 * 75);  // the 202 x 250 panel at (5, 5), cut by the window
  f->lblGrupo.Caption = std::string(1, 'B');
  f->Cls();
  f->Canvas.PaintPicture(PictureView(sprite), 90, 75);  // clipped at two edges
  f->ComposeFrame(frame);

  const Picture ref = Reference(*f);
  ASSERT_EQ(frame.Pixels.size(), ref.Pixels.size());
  EXPECT_TRUE(frame.Pixels == ref.Pixels);

  // A new window size recomposes everything.
  f->Move(0, 0, 50, 40);
  EXPECT_EQ(Area(f->ComposeFrame(frame)), 50 * 40);
  EXPECT_EQ(frame.Width, 50);
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
}

TEST(Compose, ASpriteMovedALittleIsRedoneAsOneRectangle) {
  auto f = BareForm();
  Picture frame;
  f->ComposeFrame(frame);
  const Picture sprite(6, 4, 0xABCDEF);
  f->Canvas.PaintPicture(PictureView(sprite), 30, 40);
  f->ComposeFrame(frame);

  // Old place (30, 40) 6 x 4 and new place (32, 41) 6 x 4 overlap in 4 x 3: together
  // they cover 24 + 24 - 12 = 36 pixels, their bounding box (30, 40) 8 x 5 covers 40,
  // a quarter of 36 or less more.
  f->Cls();
  f->Canvas.PaintPicture(PictureView(sprite), 32, 41);
  const std::vector<Rect> changed = f->ComposeFrame(frame);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(Box(changed[0]), (std::array<int, 4>{30, 40, 8, 5}));
  EXPECT_EQ(frame.At(30, 40), 0x000000u);
  EXPECT_EQ(frame.At(37, 44), 0xABCDEFu);

  // Moved far: 24 + 24 pixels against a box of 46 x 24, kept apart.
  f->Cls();
  f->Canvas.PaintPicture(PictureView(sprite), 72, 61);
  EXPECT_EQ(f->ComposeFrame(frame).size(), 2u);
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
}

// Merging must not snowball: a box made of two rectangles counts only what they asked
// for. A (0, 0) 10 x 10 and B (11, 0) 10 x 10 become the box (0, 0) 21 x 10, 210
// pixels of which 200 were asked for (10 more, within a quarter). C (0, 15) 21 x 10
// then makes a box of 21 x 25 = 525 against 200 + 210 = 410 asked: 115 more, over a
// quarter, so C stays apart. (Taking the first box as all asked, 420, the 105 more
// would have passed.)
TEST(Compose, MergedBoxesCountOnlyWhatWasAskedFor) {
  auto f = BareForm();
  Picture frame;
  f->ComposeFrame(frame);
  const Picture square(10, 10, 0x00FF00), bar(21, 10, 0x0000FF);
  f->Canvas.PaintPicture(PictureView(square), 0, 0);
  f->Canvas.PaintPicture(PictureView(square), 11, 0);
  f->Canvas.PaintPicture(PictureView(bar), 0, 15);
  const std::vector<Rect> changed = f->ComposeFrame(frame);
  ASSERT_EQ(changed.size(), 2u);
  EXPECT_EQ(Box(changed[0]), (std::array<int, 4>{0, 0, 21, 10}));
  EXPECT_EQ(Box(changed[1]), (std::array<int, 4>{0, 15, 21, 10}));
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
}

// With nothing over the surface the host is handed the surface itself; a control shown
// brings the composed frame back, whole, and hiding it hands the surface back with the
// control's place among the changes.
TEST(Compose, ShowsTheSurfaceItselfWhileNoControlIsVisible) {
  auto f = BareForm();
  Picture frame;
  std::vector<Rect> changed;
  const Picture* shown = &f->ShowFrame(frame, changed);
  EXPECT_EQ(shown, &f->Canvas.Pixels());
  EXPECT_EQ(Area(changed), 100 * 80);  // a new surface: all of it is news
  EXPECT_EQ(frame.Width, 0);           // nothing composed, nothing copied

  const Picture sprite(6, 4, 0xABCDEF);
  f->Canvas.PaintPicture(PictureView(sprite), 30, 40);
  shown = &f->ShowFrame(frame, changed);
  EXPECT_EQ(shown, &f->Canvas.Pixels());
  EXPECT_EQ(Area(changed), 6 * 4);
  EXPECT_EQ(shown->At(30, 40), 0xABCDEFu);

  // An image without a picture draws nothing and covers nothing.
  f->Image1.SetPicture(nullptr);
  f->Image1.Visible = true;
  shown = &f->ShowFrame(frame, changed);
  EXPECT_EQ(shown, &f->Canvas.Pixels());
  EXPECT_TRUE(changed.empty());

  // The banner shown: the frame is composed, and whole, as it was never kept up.
  f->imgPropaganda01.SetPicture(Solid(10, 10, 0x0000FF));
  f->imgPropaganda01.Left = 50;
  f->imgPropaganda01.Top = 20;
  f->imgPropaganda01.Visible = true;
  shown = &f->ShowFrame(frame, changed);
  EXPECT_EQ(shown, &frame);
  EXPECT_EQ(Area(changed), 100 * 80);
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
  EXPECT_EQ(frame.At(55, 25), 0x0000FFu);

  // While it shows, a sprite under it changes only what it covers.
  f->Canvas.PaintPicture(PictureView(sprite), 2, 2);
  f->ShowFrame(frame, changed);
  EXPECT_EQ(Area(changed), 6 * 4);

  // Hidden again: the surface, with the banner's 10 x 10 to redo.
  f->imgPropaganda01.Visible = false;
  shown = &f->ShowFrame(frame, changed);
  EXPECT_EQ(shown, &f->Canvas.Pixels());
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0].X, 50);
  EXPECT_EQ(changed[0].Y, 20);
  EXPECT_EQ(Area(changed), 10 * 10);

  // The surface moves on without the frame; shown once more, the frame catches up.
  f->Cls();
  f->Canvas.PaintPicture(PictureView(sprite), 60, 60);
  f->ShowFrame(frame, changed);
  f->picTabela.Left = 0;
  f->picTabela.Top = 0;
  f->picTabela.Width = 10;
  f->picTabela.Height = 10;
  f->picTabela.Visible = true;
  shown = &f->ShowFrame(frame, changed);
  EXPECT_EQ(shown, &frame);
  EXPECT_EQ(Area(changed), 100 * 80);
  EXPECT_EQ(frame.At(60, 60), 0xABCDEFu);
  EXPECT_EQ(frame.At(30, 40), 0x000000u);
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
}

}  // namespace
}  // namespace qm
