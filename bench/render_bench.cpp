// The drawing surface's cost per scene step: 40 scaled sprites (mask and picture, as
// the flying balls draw them) after a Cls that clears only what the last step drew,
// against a full-screen clear; and the cost of composing a frame of such a step.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "TimeOnly.h"
#include "saver/Compose.h"
#include "saver/frmSSaver.h"
#include "winsys/Picture.h"
#include "winsys/Surface.h"
#include "winsys/WideVectors.h"

namespace {

using qm::Picture;
using qm::PictureView;
using qm::Pixel;
using qm::RasterOp;

// A 2 x 7 sheet of 30 x 30 cells like the ball sheet: discs above, their masks below.
Picture SpriteSheet() {
  Picture p(210, 60, 0xFFFFFF);
  for (int c = 0; c < 7; ++c)
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) {
        const int dx = x - 15, dy = y - 15;
        const bool inside = dx * dx + dy * dy < 14 * 14;
        p.Pixels[static_cast<size_t>(y) * 210 + c * 30 + x] = inside ? 0x00E0E0E0u + c : 0u;
        p.Pixels[static_cast<size_t>(y + 30) * 210 + c * 30 + x] = inside ? 0u : 0xFFFFFFu;
      }
  return p;
}

PictureView Cell(const Picture& sheet, int index) {
  PictureView v(sheet);
  v.Data = sheet.Pixels.data() + (index / 7) * 30 * sheet.Width + (index % 7) * 30;
  v.Width = 30;
  v.Height = 30;
  return v;
}

// Forty balls at positions that change every step. Sizes spread over a ball's life,
// from Wp / 150 up to the full-screen limit Wp / 15 + 10, or all of one fixed size.
struct Flock {
  Flock(int w, int h, int fixedSize = 0) : w_(w), h_(h), fixed_(fixedSize) {}
  template <typename Draw>
  void Step(Draw&& draw) {
    for (int i = 0; i < 40; ++i) {
      seed_ = seed_ * 1664525u + 1013904223u;
      const float life = static_cast<float>((seed_ >> 8) % 1000) / 1000.0f;
      const float size = fixed_ > 0 ? static_cast<float>(fixed_)
                                    : w_ / 150.0f + life * (w_ / 15.0f + 10 - w_ / 150.0f);
      const float x = static_cast<float>((seed_ >> 4) % static_cast<uint32_t>(w_)) - size / 2;
      const float y = static_cast<float>((seed_ >> 12) % static_cast<uint32_t>(h_)) - size / 2;
      draw(i % 7, x, y, size);
    }
  }
  int w_, h_, fixed_;
  uint32_t seed_ = 12345;
};

// Ends a step as the host ends one: what changed is taken into `changes`, whose memory
// serves every step, as the host's does (a fresh list each step would time its growth).
void TakeAsTheHostDoes(qm::Surface& s, qm::SurfaceChanges& changes) {
  s.TakeChanges(changes);
  benchmark::DoNotOptimize(changes.Boxes.data());
  benchmark::ClobberMemory();
}

// A ball as the scenes draw it: mask and picture in one pass.
void DrawBall(qm::Surface& s, const Picture& sheet, int frame, float x, float y, float size) {
  s.PaintMasked(Cell(sheet, frame + 7), Cell(sheet, frame), x, y, size, size);
}

// Arguments: width, height, sprite size (0: sizes spread over a ball's life), and
// 1 to draw each sprite in one pass as the scenes do, 0 for the two raster operations
// one after the other (the reference the one pass is measured against).
void BM_ClsAnd40Sprites(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const bool onePass = state.range(3) != 0;
  const Picture sheet = SpriteSheet();
  qm::Surface s(w, h, 0);
  Flock flock(w, h, static_cast<int>(state.range(2)));
  qm::SurfaceChanges changes;
  for (auto _ : state) {
    s.Cls();
    flock.Step([&](int frame, float x, float y, float size) {
      if (onePass) {
        DrawBall(s, sheet, frame, x, y, size);
      } else {
        s.PaintPicture(Cell(sheet, frame + 7), x, y, size, size, RasterOp::SrcAnd);
        s.PaintPicture(Cell(sheet, frame), x, y, size, size, RasterOp::SrcInvert);
      }
    });
    TakeAsTheHostDoes(s, changes);
  }
}
BENCHMARK(BM_ClsAnd40Sprites)
    ->ArgNames({"w", "h", "size", "onepass"})
    ->ArgsProduct({{1920}, {1080}, {0, 30}, {0, 1}})
    ->ArgsProduct({{3840}, {2160}, {0, 30}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// Forty balls from the 30-pixel cells that fly as the scenes' do: each keeps its own
// direction and moves a few pixels a step (1 to 8 across and down, in either sense),
// coming back in at the opposite edge. Each step mostly draws where the last one
// cleared, unlike the flock above, whose balls land anywhere at every step. They are
// drawn `size` pixels wide and high: 30 is the cells' own size, 24 and 36 stretch them
// down and up.
struct Flight {
  Flight(int w, int h, float size) : w_(w), h_(h), size_(size) {
    uint32_t seed = 54321;
    const auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (Ball& b : balls_) {
      b.x = static_cast<float>(next() % static_cast<uint32_t>(w));
      b.y = static_cast<float>(next() % static_cast<uint32_t>(h));
      b.dx = static_cast<float>(1 + next() % 8) * (next() % 2 ? 1.0f : -1.0f);
      b.dy = static_cast<float>(1 + next() % 8) * (next() % 2 ? 1.0f : -1.0f);
    }
  }
  template <typename Draw>
  void Step(Draw&& draw) {
    const auto fw = static_cast<float>(w_), fh = static_cast<float>(h_);
    for (size_t i = 0; i < balls_.size(); ++i) {
      Ball& b = balls_[i];
      b.x += b.dx;
      b.y += b.dy;
      if (b.x < -size_) b.x += fw + size_;
      if (b.x > fw) b.x -= fw + size_;
      if (b.y < -size_) b.y += fh + size_;
      if (b.y > fh) b.y -= fh + size_;
      draw(static_cast<int>(i % 7), b.x, b.y, size_);
    }
  }
  struct Ball {
    float x, y, dx, dy;
  };
  int w_, h_;
  float size_;
  std::array<Ball, 40> balls_{};
};

// Arguments: width, height, the size the balls are drawn at, and the widest vectors
// the drawing may use (0: the portable form; a processor without them uses the next
// narrower, so two rows may measure the same form). A 320 x 240 surface stays in the
// caches: the same step with no waiting for memory.
void BM_ClsAnd40FlyingSprites(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const Picture sheet = SpriteSheet();
  qm::Surface s(w, h, 0);
  Flight flight(w, h, static_cast<float>(state.range(2)));
  qm::LimitVectorsForTesting(static_cast<int>(state.range(3)));
  qm::SurfaceChanges changes;
  for (auto _ : state) {
    s.Cls();
    flight.Step(
        [&](int frame, float x, float y, float size) { DrawBall(s, sheet, frame, x, y, size); });
    TakeAsTheHostDoes(s, changes);
  }
  qm::LimitVectorsForTesting(512);
}
BENCHMARK(BM_ClsAnd40FlyingSprites)
    ->ArgNames({"w", "h", "size", "bits"})
    ->ArgsProduct({{1920}, {1080}, {24, 30, 36}, {0, 256, 512}})
    ->ArgsProduct({{3840}, {2160}, {24, 30, 36}, {512}})
    ->ArgsProduct({{320}, {240}, {24, 30, 36}, {256, 512}})
    ->Unit(benchmark::kMicrosecond);

// What the flying sprites' step is measured against besides the full clear: the same
// 40 balls at their cells' size or larger, cleared and drawn by a bare loop over their
// boxes, unstretched (each drawn from a mask and picture of its own size) and with no
// record of what changed. Roughly what touching those pixels costs on this machine at all.
void BM_BareLoop40Boxes(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const int n = static_cast<int>(state.range(2));
  std::vector<Pixel> surface(static_cast<size_t>(w) * h, 0);
  std::vector<Pixel> mask(static_cast<size_t>(n) * n), image(mask.size());
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const int dx = 2 * x + 1 - n, dy = 2 * y + 1 - n;
      const bool inside = dx * dx + dy * dy < (n - 2) * (n - 2);
      mask[static_cast<size_t>(y) * n + x] = inside ? 0u : 0xFFFFFFu;
      image[static_cast<size_t>(y) * n + x] = inside ? 0xE0E0E0u : 0u;
    }
  struct Box {
    int x0, y0, x1, y1;
  };
  std::array<Box, 40> drawn{};
  size_t count = 0;
  Flight flight(w, h, static_cast<float>(n));
  for (auto _ : state) {
    for (size_t i = 0; i < count; ++i)
      for (int y = drawn[i].y0; y < drawn[i].y1; ++y)
        std::fill_n(surface.data() + static_cast<size_t>(y) * w + drawn[i].x0,
                    drawn[i].x1 - drawn[i].x0, 0u);
    count = 0;
    flight.Step([&](int, float fx, float fy, float) {
      const int x = static_cast<int>(fx), y = static_cast<int>(fy);
      const Box b{std::max(x, 0), std::max(y, 0), std::min(x + n, w), std::min(y + n, h)};
      if (b.x0 >= b.x1 || b.y0 >= b.y1) return;
      for (int row = b.y0; row < b.y1; ++row) {
        Pixel* __restrict d = surface.data() + static_cast<size_t>(row) * w;
        const Pixel* __restrict m = mask.data() + static_cast<size_t>(row - y) * n + (b.x0 - x);
        const Pixel* __restrict im = image.data() + static_cast<size_t>(row - y) * n + (b.x0 - x);
        for (int col = 0; col < b.x1 - b.x0; ++col)
          d[b.x0 + col] = ((m[col] & d[b.x0 + col]) ^ im[col]) & 0xFFFFFFu;
      }
      drawn[count++] = b;
    });
    benchmark::DoNotOptimize(surface.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BareLoop40Boxes)
    ->ArgNames({"w", "h", "size"})
    ->ArgsProduct({{1920}, {1080}, {30, 36}})
    ->Unit(benchmark::kMicrosecond);

// The clear alone, as dirty tracking makes it: only the 40 sprites' rectangles.
void BM_ClsAfter40Sprites(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const Picture sheet = SpriteSheet();
  qm::Surface s(w, h, 0);
  Flock flock(w, h, static_cast<int>(state.range(2)));
  for (auto _ : state) {
    flock.Step(
        [&](int frame, float x, float y, float size) { DrawBall(s, sheet, frame, x, y, size); });
    TimeOnly(state, [&] { s.Cls(); });
    benchmark::DoNotOptimize(s.TakeDirty());
  }
}
BENCHMARK(BM_ClsAfter40Sprites)
    ->Args({1920, 1080, 0})
    ->Args({3840, 2160, 0})
    ->Args({1920, 1080, 30})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_FullScreenClear(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Picture p(w, h, 0);
  uint32_t colour = 0;
  for (auto _ : state) {
    std::fill(p.Pixels.begin(), p.Pixels.end(), colour++ & 1);
    benchmark::DoNotOptimize(p.Pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullScreenClear)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

// The surface's own Cls after the whole of it was drawn on: what every step would cost
// without dirty tracking. On the scenes' black background it is the C library's fill,
// row by row, which is faster than the plain loop above.
void BM_FullScreenCls(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  qm::Surface s(w, h, 0);
  const Picture whole(w, h, 0x123456);
  for (auto _ : state) {
    s.PaintPicture(PictureView(whole), 0, 0);
    benchmark::DoNotOptimize(s.TakeDirty());
    TimeOnly(state, [&] { s.Cls(); });
    benchmark::DoNotOptimize(s.TakeDirty());
  }
}
BENCHMARK(BM_FullScreenCls)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// A whole scene step as the host sees it: Cls, 40 sprites, then the frame composed
// from the surface and the window's controls (the match-table panel shown over it).
void BM_StepAndComposeFrame(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const Picture sheet = SpriteSheet();
  qm::frmSSaver form;
  form.Move(0, 0, w, h);
  form.picTabela.Visible = true;
  Picture frame;
  form.ComposeFrame(frame);
  Flock flock(w, h);
  for (auto _ : state) {
    form.Cls();
    flock.Step([&](int cell, float x, float y, float size) {
      DrawBall(form.Canvas, sheet, cell, x, y, size);
    });
    benchmark::DoNotOptimize(form.ComposeFrame(frame));
  }
}
BENCHMARK(BM_StepAndComposeFrame)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

// Composing the whole window once (a new window, or a resize).
void BM_ComposeWholeFrame(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  qm::frmSSaver form;
  form.Move(0, 0, w, h);
  form.picTabela.Visible = true;
  Picture frame(w, h);
  for (auto _ : state) {
    qm::ComposeRegion(form, frame, qm::Rect{0, 0, w, h});
    benchmark::DoNotOptimize(frame.Pixels.data());
  }
}
BENCHMARK(BM_ComposeWholeFrame)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
