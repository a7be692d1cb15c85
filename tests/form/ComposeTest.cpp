#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../surface/DrawingTestUtil.h"
#include "saver/Compose.h"
#include "winsys/WideVectors.h"

namespace qm {
namespace {

using testing::Area;
using testing::Covers;
using testing::InEveryForm;

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

// Shows `c` with its top-left corner at (left, top), sized width x height when given.
void ShowAt(Control& c, int left, int top, int width = -1, int height = -1) {
  c.Left = left;
  c.Top = top;
  if (width >= 0) c.Width = width;
  if (height >= 0) c.Height = height;
  c.Visible = true;
}

// What the frame must hold: everything composed afresh.
Picture Reference(const frmSSaver& f) {
  Picture ref(f.Canvas.Width(), f.Canvas.Height());
  ComposeRegion(f, ref, Rect{0, 0, ref.Width, ref.Height});
  return ref;
}

// Rectangles as {X, Y, Width, Height}, to compare in one assertion.
using Boxes = std::vector<std::array<int, 4>>;
Boxes BoxesOf(const std::vector<Rect>& rects) {
  Boxes out;
  for (const Rect& r : rects) out.push_back({r.X, r.Y, r.Width, r.Height});
  return out;
}

TEST(Compose, LayersSurfaceThenPanelThenImagesAsPlaced) {
  auto f = BareForm();
  const Picture red(100, 80, 0xFF0000);
  f->Canvas.PaintPicture(PictureView(red), 0, 0);
  f->Image1.SetPicture(Solid(20, 20, 0x00FF00));
  ShowAt(f->Image1, 0, 0);
  f->imgPropaganda01.SetPicture(Solid(20, 20, 0x0000FF));
  ShowAt(f->imgPropaganda01, 10, 10);
  f->picTabela.BackColor = 0x123456;
  ShowAt(f->picTabela, 15, 5, 30, 10);

  Picture frame;
  f->ComposeFrame(frame);
  ASSERT_EQ(frame.Width, 100);
  ASSERT_EQ(frame.Height, 80);
  EXPECT_EQ(frame.At(5, 12), 0x00FF00u);   // Image1 over the surface
  EXPECT_EQ(frame.At(16, 6), 0x00FF00u);   // Image1 over the panel
  EXPECT_EQ(frame.At(12, 12), 0x0000FFu);  // the banner over Image1
  EXPECT_EQ(frame.At(25, 12), 0x0000FFu);  // the banner over the panel
  EXPECT_EQ(frame.At(35, 8), 0x123456u);   // the panel beyond both
  EXPECT_EQ(frame.At(27, 27), 0x0000FFu);  // the banner beyond the panel
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

// A banner with clear, half-clear and opaque pixels (the loader's form: colour
// multiplied by opacity, opacity in the top byte) over a grey surface (100, 100, 100).
// Clear shows the grey; opaque red (255, 0, 0) shows red; half-clear (128) white shows
// 128 + 100 * 127 / 255 = 128 + 49.8, rounded 178, in each channel. Nearly opaque
// (254) over (127, 128, 255) at (13, 20) lets 127 / 255 (0.498, rounded 0), 128 / 255
// (0.502, rounded 1) and 1 of what lies below through.
TEST(Compose, ABannerShowsTheSceneThroughItsClearParts) {
  auto f = BareForm();
  const Picture grey(100, 80, Rgb(100, 100, 100));
  f->Canvas.PaintPicture(PictureView(grey), 0, 0);
  const Picture below(1, 1, Rgb(127, 128, 255));
  f->Canvas.PaintPicture(PictureView(below), 13, 20);
  auto banner = std::make_shared<Picture>(4, 1);
  banner->Pixels = {0x00000000u, 0xFFFF0000u, 0x80808080u, 0xFE102030u};
  banner->HasAlpha = true;
  f->imgPropaganda01.SetPicture(banner);
  ShowAt(f->imgPropaganda01, 10, 20);

  Picture frame;
  f->ComposeFrame(frame);
  EXPECT_EQ(frame.At(10, 20), Rgb(100, 100, 100));
  EXPECT_EQ(frame.At(11, 20), Rgb(255, 0, 0));
  EXPECT_EQ(frame.At(12, 20), Rgb(178, 178, 178));
  EXPECT_EQ(frame.At(13, 20), Rgb(0x10, 0x21, 0x31));

  // The scene changes under it: the next frame shows the change through the clear and
  // half-clear pixels, worked out from the new scene, not from the last frame.
  const Picture blue(3, 1, Rgb(0, 0, 200));
  f->Canvas.PaintPicture(PictureView(blue), 10, 20);
  f->ComposeFrame(frame);
  EXPECT_EQ(frame.At(10, 20), Rgb(0, 0, 200));
  EXPECT_EQ(frame.At(11, 20), Rgb(255, 0, 0));
  EXPECT_EQ(frame.At(12, 20), Rgb(128, 128, 228));  // 128 + 200 * 127 / 255 = 227.6
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
}

TEST(Compose, PanelDrawsItsPictureThenChildrenClippedToIt) {
  auto f = BareForm();
  PictureBox& box = f->picTabela;
  ShowAt(box, 10, 20, 30, 12);
  box.BackColor = 0x000001;
  box.Picture = Solid(20, 12, 0x404040);  // narrower than the box: back colour beyond
  // The first runs past the box; the second's end point itself is not drawn.
  f->Line1[1] = {.X1 = 2, .Y1 = 3, .X2 = 60, .Y2 = 3, .Color = 0xFFFFFF, .Visible = true};
  f->Line1[2] = {.X1 = 2, .Y1 = 6, .X2 = 6, .Y2 = 6, .Color = 0x00FF00, .Visible = true};

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
  ShowAt(f->picTabela, 0, 0, 100, 80);
  Label& l = f->lblJogo01[0];
  ShowAt(l, 10, 10, 60, 13);
  l.Caption = "Brasil x Escocia";
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
  ShowAt(f->Image1, 70, 5);
  changed = f->ComposeFrame(frame);
  EXPECT_EQ(Area(changed), 8 * 8);
  EXPECT_EQ(frame.At(70, 5), 0x00FF00u);

  // Moved again: the old place shows the surface again.
  ShowAt(f->Image1, 0, 0);
  changed = f->ComposeFrame(frame);
  EXPECT_EQ(Area(changed), 2 * 8 * 8);
  EXPECT_EQ(frame.At(70, 5), 0x000000u);

  // A caption change redoes the panel only, and only while the panel is shown.
  f->lblGrupo.Caption = std::string(1, 'A');
  EXPECT_TRUE(f->ComposeFrame(frame).empty());
  ShowAt(f->picTabela, 5, 5);
  f->lblGrupo.Visible = true;
  changed = f->ComposeFrame(frame);
  EXPECT_EQ(Area(changed), 95 * 75);  // the 202 x 250 panel at (5, 5), cut by the window
  f->lblGrupo.Caption = std::string(1, 'B');
  f->Cls();
  f->Canvas.PaintPicture(PictureView(sprite), 90, 75);  // clipped at two edges
  f->ComposeFrame(frame);

  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);

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
  EXPECT_EQ(BoxesOf(changed), (Boxes{{30, 40, 8, 5}}));
  EXPECT_EQ(frame.At(30, 40), 0x000000u);
  EXPECT_EQ(frame.At(37, 44), 0xABCDEFu);

  // Moved far: 24 + 24 pixels against a box of 46 x 24, kept apart.
  f->Cls();
  f->Canvas.PaintPicture(PictureView(sprite), 72, 61);
  EXPECT_EQ(f->ComposeFrame(frame).size(), 2u);
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);

  // Moved 9 to the right: the box (72, 61) 15 x 4 covers 60, exactly a quarter more
  // than 24 + 24, which still makes one.
  f->Cls();
  f->Canvas.PaintPicture(PictureView(sprite), 81, 61);
  EXPECT_EQ(BoxesOf(f->ComposeFrame(frame)), (Boxes{{72, 61, 15, 4}}));
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
}

// A T-shaped sprite 80 x 40: a bar over its top 8 rows, a stem 10 wide (columns 35 to
// 44) below; white mask and black picture elsewhere. Drawn at 1:1 and wider than 64
// pixels, its rows are trimmed in the portable and 256-bit forms, which note them.
struct TSprite {
  Picture Mask{80, 40, 0xFFFFFF}, Image{80, 40, 0x000000};
  TSprite() {
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 80; ++x)
        if (y < 8 || (x >= 35 && x < 45)) {
          Mask.Pixels[static_cast<size_t>(y) * 80 + x] = 0x000000;
          Image.Pixels[static_cast<size_t>(y) * 80 + x] = 0x123456;
        }
  }
};

// Rows 16 to 55 are the surface's row groups 2 to 6 (8 rows each). At (10, 16) the bar
// is (10, 16) 80 x 8 and the stem (45, 24) 10 x 32: sent as those two, 640 + 320
// pixels instead of the box's 3200. Moved 3 to the right, old and new places merge
// into (10, 16) 83 x 40; the bars make (10, 16) 83 x 8, the stems columns 45 to 57.
TEST(Compose, ASpriteIsSentAsBandsOfTheRowsItChanged) {
  const TSprite t;
  for (const int bits : {0, 256}) {
    if (bits == 256 && !Vectors256Available()) continue;
    LimitVectorsForTesting(bits);
    SCOPED_TRACE(bits == 0 ? "portable form" : "256-bit vectors");
    auto f = BareForm();
    f->Image1.SetPicture(Solid(2, 2, 0x00FF00));  // visible: the frame is composed
    f->Image1.Visible = true;
    Picture frame;
    f->ComposeFrame(frame);
    f->Canvas.PaintMasked(PictureView(t.Mask), PictureView(t.Image), 10, 16);
    std::vector<Rect> changed = f->ComposeFrame(frame);
    EXPECT_EQ(BoxesOf(changed), (Boxes{{10, 16, 80, 8}, {45, 24, 10, 32}}));

    f->Cls();
    f->Canvas.PaintMasked(PictureView(t.Mask), PictureView(t.Image), 13, 16);
    changed = f->ComposeFrame(frame);
    EXPECT_EQ(BoxesOf(changed), (Boxes{{10, 16, 83, 8}, {45, 24, 13, 32}}));
    EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);

    // Nothing of the sprite shows: its place is cleared, nothing new is drawn.
    f->Cls();
    f->Canvas.PaintMasked(PictureView(t.Mask), PictureView(t.Image), 200, 16);
    EXPECT_EQ(Area(f->ComposeFrame(frame)), 80 * 8 + 10 * 32);
  }
  LimitVectorsForTesting(512);
}

// Whatever changes between two frames (sprites drawn, or flown a step on a cleared
// surface, the surface cleared, the panel shown, moved or given new captions, images
// and the banner moved or swapped, lines shown), in every form of the drawing loops,
// the frame composed from what changed, and a copy of the screen kept up to date from
// the changed rectangles alone, must both equal a frame composed afresh. The flyers are
// blobs with ragged sides and holes, stretched and not, many of them past 64 pixels
// wide, so that their rows are trimmed and sent as bands.
TEST(Compose, AnySequenceOfChangesComposesAsAFreshFrameWould) {
  InEveryForm([] {
    uint32_t seed = 1998;
    const auto next = [&seed](int lo, int hi) {  // lo to hi inclusive
      seed = seed * 1664525u + 1013904223u;
      return lo + static_cast<int>((seed >> 8) % static_cast<uint32_t>(hi - lo + 1));
    };
    const auto banner = Solid(120, 24, 0x3366AA);
    const auto narrow = Solid(60, 12, 0xAA3300);
    const auto panel = std::make_shared<Picture>(200, 250, 0x178A3A);
    const char* captions[] = {"",
                              "Zelvaro 2 x 1 Esc\xF3"
                              "cia",
                              "gjpq yg", "\xC9poca \xC0 j"};
    struct Flyer {
      Picture Mask, Image;
      float X, Y, W, H, Dx, Dy;
    };
    for (int run = 0; run < 40; ++run) {
      frmSSaver f;
      const int w = next(60, 360), h = next(60, 280);
      f.Move(0, 0, w, h);
      f.picTabela.Picture = panel;
      for (size_t i = 0; i < f.lblJogo01.size(); ++i) f.lblJogo01[i].Caption = captions[i % 4];
      std::vector<Flyer> flyers;
      for (int i = 0; i < 6; ++i) {
        const int fw = next(3, 92), fh = next(3, 42);
        const float scale = 0.5f + static_cast<float>(next(0, 199)) / 100.0f;
        Flyer fl{Picture(fw, fh, 0xFFFFFF),        Picture(fw, fh, 0),
                 static_cast<float>(next(-20, w)), static_cast<float>(next(-20, h)),
                 static_cast<float>(fw) * scale,   static_cast<float>(fh) * scale,
                 static_cast<float>(next(-4, 4)),  static_cast<float>(next(-4, 4))};
        for (int y = 0; y < fh; ++y) {  // opaque where a random walk says so
          const int lo = next(0, fw - 1), hi = next(lo, fw);
          for (int x = lo; x < hi; ++x) {
            if (next(0, 4) == 0) continue;
            fl.Mask.Pixels[static_cast<size_t>(y) * fw + x] = 0;
            fl.Image.Pixels[static_cast<size_t>(y) * fw + x] = 0x010101u * next(1, 200);
          }
        }
        flyers.push_back(std::move(fl));
      }
      Picture frame, screen;
      std::vector<Rect> changed;
      for (int step = 0; step < 150; ++step) {
        switch (next(0, 11)) {
          case 0:
            f.picTabela.Visible = !f.picTabela.Visible;
            break;
          case 1:
            f.picTabela.Left = next(-150, w);
            f.picTabela.Top = next(-200, h);
            break;
          case 2:
            f.lblJogo01[static_cast<size_t>(next(0, 5))].Caption = captions[next(0, 3)];
            f.lblJogo01Dia[static_cast<size_t>(next(0, 5))].Caption = captions[next(0, 3)];
            f.Line1[static_cast<size_t>(next(0, 4))].Visible = next(0, 1) == 1;
            break;
          case 3:
            f.lblGrupo.Caption = next(0, 1) ? "Semifinais" : "A";
            break;
          case 4:
            f.Image1.Visible = !f.Image1.Visible;
            f.Image1.Left = next(-40, w);
            f.Image1.Top = next(-40, h);
            break;
          case 5:
            f.imgPropaganda01.SetPicture(next(0, 1) ? banner : narrow);
            f.imgPropaganda01.Left = next(-60, w);
            f.imgPropaganda01.Top = next(0, 1) ? 0 : h - next(1, 30);
            f.imgPropaganda01.Visible = next(0, 3) > 0;
            break;
          case 6:
            f.Cls();
            break;
          case 7:
          case 8:  // the flyers a step on, the old places cleared
            f.Cls();
            for (Flyer& fl : flyers) {
              f.Canvas.PaintMasked(PictureView(fl.Mask), PictureView(fl.Image), fl.X, fl.Y, fl.W,
                                   fl.H);
              fl.X += fl.Dx;
              fl.Y += fl.Dy;
            }
            break;
          default: {  // a ball, often thin, so that it lands on a single row of a label
            const int cell = next(0, 6);
            const float size = static_cast<float>(next(1, 60));
            f.Canvas.PaintMasked(f.BolaClip.GraphicCell(cell + 7), f.BolaClip.GraphicCell(cell),
                                 static_cast<float>(next(-30, w)), static_cast<float>(next(-30, h)),
                                 size, next(0, 2) == 0 ? 1.0f : size);
          }
        }
        const bool shown = next(0, 1) == 1;
        const Picture* out = &frame;
        if (shown)
          out = &f.ShowFrame(frame, changed);
        else
          changed = f.ComposeFrame(frame);
        if (screen.Width != out->Width || screen.Height != out->Height)
          screen = Picture(out->Width, out->Height, 0xDEAD00);
        for (const Rect& r : changed)
          for (int y = r.Y; y < r.Y + r.Height; ++y)
            for (int x = r.X; x < r.X + r.Width; ++x)
              screen.Pixels[static_cast<size_t>(y) * screen.Width + x] = out->At(x, y);
        const Picture ref = Reference(f);
        ASSERT_TRUE(out->Pixels == ref.Pixels) << "run " << run << " step " << step;
        ASSERT_TRUE(screen.Pixels == ref.Pixels) << "run " << run << " step " << step;
      }
    }
  });
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
  EXPECT_EQ(BoxesOf(changed), (Boxes{{0, 0, 21, 10}, {0, 15, 21, 10}}));
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
}

// 65 dots two pixels apart, none close enough to merge, in rows of ten: more than one
// frame sends one by one, so their bounding box (0, 0) 19 x 13 is sent instead.
TEST(Compose, ManyScatteredChangesAreSentAsTheirBoundingBox) {
  auto f = BareForm();
  Picture frame;
  f->ComposeFrame(frame);
  const Picture dot(1, 1, 0xFFFFFF);
  for (int i = 0; i < 65; ++i)
    f->Canvas.PaintPicture(PictureView(dot), static_cast<float>(2 * (i % 10)),
                           static_cast<float>(2 * (i / 10)));
  EXPECT_EQ(BoxesOf(f->ComposeFrame(frame)), (Boxes{{0, 0, 19, 13}}));
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
  ShowAt(f->imgPropaganda01, 50, 20);
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
  EXPECT_EQ(BoxesOf(changed), (Boxes{{50, 20, 10, 10}}));

  // The surface moves on without the frame; shown once more, the frame catches up.
  f->Cls();
  f->Canvas.PaintPicture(PictureView(sprite), 60, 60);
  f->ShowFrame(frame, changed);
  ShowAt(f->picTabela, 0, 0, 10, 10);
  shown = &f->ShowFrame(frame, changed);
  EXPECT_EQ(shown, &frame);
  EXPECT_EQ(Area(changed), 100 * 80);
  EXPECT_EQ(frame.At(60, 60), 0xABCDEFu);
  EXPECT_EQ(frame.At(30, 40), 0x000000u);
  EXPECT_TRUE(frame.Pixels == Reference(*f).Pixels);
}

}  // namespace
}  // namespace qm
