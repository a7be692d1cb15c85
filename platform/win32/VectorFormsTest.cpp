// Run under Wine by test.sh: the drawing loops' vector forms, as built for Windows (whose
// stack is aligned to 16 bytes only), must draw and clear exactly what the portable form
// does. Random sprites of every shape the scenes use and more, at random places and
// sizes, drawn on two surfaces, one limited to the portable form. Exits 0 when every
// pixel agreed (or the processor has no vector form to compare), 1 otherwise.
#include <cstdio>
#include <optional>
#include <random>

#include "winsys/Surface.h"
#include "winsys/WideVectors.h"

namespace {

using qm::Picture;
using qm::PictureView;
using qm::Pixel;
using qm::Surface;

// The first pixel where the two differ, as "x,y"; nothing when they agree.
std::optional<std::pair<int, int>> FirstDifference(const Picture& a, const Picture& b) {
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x)
      if (a.At(x, y) != b.At(x, y)) return std::pair{x, y};
  return std::nullopt;
}

}  // namespace

int main() {
  const bool has256 = qm::Vectors256Available(), has512 = qm::WideVectorsAvailable();
  if (!has256 && !has512) {
    std::puts("this processor has no vector form to compare with the portable one");
    return 0;
  }
  std::mt19937 rng(20261208);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  constexpr int kRounds = 3000;
  for (int round = 0; round < kRounds; ++round) {
    const int w = pick(0, 3) == 0 ? pick(65, 140) : pick(1, 64);
    const int h = pick(1, 40);
    Picture mask(w, h), image(w, h);
    for (size_t i = 0; i < mask.Pixels.size(); ++i) {
      const int kind = pick(0, 3);
      mask.Pixels[i] = kind <= 1 ? 0xFFFFFFu : kind == 2 ? 0u : rng();
      image.Pixels[i] = kind <= 1 ? 0u : rng();
    }
    const auto x = static_cast<float>(pick(-40, 300));
    const auto y = static_cast<float>(pick(-40, 160));
    std::optional<float> dw, dh;
    if (pick(0, 3) != 0) {
      dw = static_cast<float>(pick(1, 160));
      dh = static_cast<float>(pick(1, 90));
    }
    Surface portable(320, 180, 0x203040), vectors(320, 180, 0x203040);
    qm::LimitVectorsForTesting(0);
    portable.PaintMasked(PictureView(mask), PictureView(image), x, y, dw, dh);
    qm::LimitVectorsForTesting(512);
    vectors.PaintMasked(PictureView(mask), PictureView(image), x, y, dw, dh);
    if (const auto at = FirstDifference(portable.Pixels(), vectors.Pixels())) {
      std::printf("round %d: a %dx%d sprite at %g,%g drawn differently at pixel %d,%d\n", round, w,
                  h, static_cast<double>(x), static_cast<double>(y), at->first, at->second);
      return 1;
    }
    vectors.Cls();
    if (const auto at = FirstDifference(vectors.Pixels(), Surface(320, 180, 0x203040).Pixels())) {
      std::printf("round %d: Cls left pixel %d,%d of a %dx%d sprite\n", round, at->first,
                  at->second, w, h);
      return 1;
    }
  }
  std::printf("%d sprites drawn and cleared alike by the portable and the %s-bit forms\n", kRounds,
              has512 ? "512" : "256");
  return 0;
}
