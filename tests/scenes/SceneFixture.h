// A saver window driven one scene step at a time with the headless host's services, a
// scripted random source and a record of every drawing call the scenes make. The
// window's picture grids are replaced by synthetic sheets whose cells each hold one
// known colour, so a test can tell from a drawing call (or a canvas pixel) which cell
// was drawn.
//
// One-character settings are assigned from std::string temporaries throughout these
// tests: GCC 12 at -O2 reports a false -Wrestrict on assigning such literals to them.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/mSSaver.h"
#include "headless/HeadlessHost.h"
#include "saver/frmSSaver.h"
#include "scenes/SceneDraw.h"
#include "winsys/Host.h"
#include "winsys/Random.h"

namespace qm::testing {

// A sheet of rows x cols cells of cw x ch pixels; cell k is filled with
// CellColour(base + k), except cells from `firstMask` on, which are black like a
// sprite's mask over its shape (so AND then XOR leaves exactly the sprite's colour).
inline Pixel CellColour(int k) {
  return Rgb(static_cast<uint8_t>(10 + k), static_cast<uint8_t>(100 + k), 200);
}
inline PicturePtr MakeSheet(int rows, int cols, int cw, int ch, int base = 0,
                            int firstMask = 1 << 30) {
  auto sheet = std::make_shared<Picture>(cols * cw, rows * ch);
  for (int y = 0; y < rows * ch; ++y) {
    for (int x = 0; x < cols * cw; ++x) {
      const int k = (y / ch) * cols + (x / cw);
      sheet->Pixels[static_cast<size_t>(y) * sheet->Width + x] =
          k >= firstMask ? Pixel{0} : CellColour(base + k);
    }
  }
  return sheet;
}
// Where cell k of such a sheet starts, worked out from the row-by-row numbering.
inline const Pixel* CellStart(const PicturePtr& sheet, int cols, int cw, int ch, int k) {
  return sheet->Pixels.data() + static_cast<size_t>(k / cols) * ch * sheet->Width +
         static_cast<size_t>(k % cols) * cw;
}

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string* setting : Settings()) saved.push_back(*setting);
    SetHost(&host);
    SetRandomSourceForTesting([this] {
      if (draws.empty()) {
        ADD_FAILURE() << "the scene drew more random numbers than the test scripted";
        return 0.0f;
      }
      const float r = draws.front();
      draws.pop_front();
      return r;
    });
    SetSceneDrawObserverForTesting([this](const SceneDrawCall& call) { recorded.push_back(call); });
    RunMode = kRunModeFullScreen;
    form = std::make_unique<frmSSaver>();
    form->BolaClip = PictureClip(balls, 2, 7);
    form->Taca1Clip[0] = PictureClip(worldCup, 2, 1);
    form->Taca1Clip[1] = PictureClip(julesRimet, 2, 1);
    form->PictureClip1 = PictureClip(posters, 3, 5);
    form->PictureClip2 = PictureClip(champions, 2, 2);
  }

  void TearDown() override {
    SetSceneDrawObserverForTesting({});
    SetRandomSourceForTesting({});
    SetHost(nullptr);
    RunMode = kRunModeNone;
    for (size_t i = 0; i < saved.size(); ++i) *Settings()[i] = saved[i];
  }
  // The settings the tests change, put back as they were after each one.
  static std::vector<std::string*> Settings() {
    return {&Saver,       &BolasNum, &BolasVel, &TrofeusNum, &TrofeusVel,
            &TrofeusTipo, &SS03Vel,  &SS04Vel,  &SS05Vel};
  }

  void Size(int width, int height, bool preview = false) {
    RunMode = preview ? kRunModePreview : kRunModeFullScreen;
    form->Move(0, 0, width, height);
  }
  void Script(std::initializer_list<float> values) { draws.insert(draws.end(), values); }
  // Runs one step through the scheduler and returns the drawing calls it made.
  std::vector<SceneDrawCall> Step() {
    recorded.clear();
    form->Timer1_Timer();
    return recorded;
  }
  static std::vector<SceneDrawCall> Paints(const std::vector<SceneDrawCall>& all) {
    std::vector<SceneDrawCall> paints;
    for (const auto& c : all) {
      if (c.What == SceneDrawCall::Kind::Paint) paints.push_back(c);
    }
    return paints;
  }

  std::vector<std::string> saved;
  headless::HeadlessHost host;
  std::deque<float> draws;
  std::vector<SceneDrawCall> recorded;  // the drawing calls of the current step
  std::unique_ptr<frmSSaver> form;

  // The sheets at the sizes the saver's artwork has, each in colours of its own.
  PicturePtr balls = MakeSheet(2, 7, 30, 30, 0, 7);
  PicturePtr worldCup = MakeSheet(2, 1, 40, 95, 20, 1);
  PicturePtr julesRimet = MakeSheet(2, 1, 35, 96, 30, 1);
  PicturePtr posters = MakeSheet(3, 5, 110, 154);
  PicturePtr champions = MakeSheet(2, 2, 319, 200, 40);
};

}  // namespace qm::testing
