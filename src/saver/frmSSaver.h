// The saver window, platform-free: its design (controls, timers, picture grids), the
// state the scenes keep on it, and its event handlers. A host creates one per run,
// sizes it with Move, delivers input events and timer ticks, presents what
// ComposeFrame produces, and destroys the window once IsUnloaded() is true.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "saver/FlyerSlot.h"
#include "winsys/Controls.h"
#include "winsys/PictureClip.h"
#include "winsys/PictureFileCache.h"
#include "winsys/Surface.h"
#include "winsys/Timer.h"

namespace qm {

class frmSSaver {
 public:
  // Builds the design: controls at their design positions (twips / 15), pictures from
  // the embedded artwork (a grid's sheet decoded when the grid is first used), client
  // size 631 x 495 pixels, Timer1 at 50 ms disabled,
  // Timer2 at 0 disabled. Scene state starts at zero.
  frmSSaver();

  // ---- design properties
  std::string Caption = "Screen Saver";

  // Places and sizes the window (pixels); the drawing surface follows the size.
  void Move(int left, int top, int width, int height);
  // The window's outer size as the run-time reports it: twips, 15 per pixel.
  float Width() const { return static_cast<float>(Canvas.Width()) * 15.0f; }
  float Height() const { return static_cast<float>(Canvas.Height()) * 15.0f; }

  // The drawing surface (black background).
  Surface Canvas;
  void Cls() { Canvas.Cls(); }

  // ---- controls, in design order
  PictureClip PictureClip3;  // panel sheet
  PictureClip PictureClip2;  // championship sheet
  Timer Timer2;              // banners
  PictureClip PictureClip1;  // poster sheet
  PictureBox picTabela;      // container of Line1, lblJogo01Dia, lblJogo01, lblGrupo
  std::array<Line, 5> Line1;
  std::array<Label, 6> lblJogo01Dia;
  std::array<Label, 6> lblJogo01;
  Label lblGrupo;
  PictureClip BolaClip;                  // ball sheet
  Timer Timer1;                          // scenes
  std::array<PictureClip, 2> Taca1Clip;  // trophy sheets
  Image Image1;                          // "Tabela da Copa" card
  Image imgPropaganda01;                 // banner

  // ---- state kept on the window
  bool UsePassword = false;
  int16_t LastMouseX = 0;
  int16_t LastMouseY = 0;
  std::array<FlyerSlot, 31> BallSlots{};
  std::array<FlyerSlot, 31> TrophySlots{};
  int16_t PosterCell = 0;
  int16_t PosterRound = 0;
  int16_t ChampionCell = 0;
  int16_t TablePage = 0;
  std::string TableSection;
  int16_t BannerIndex = 0;
  PictureFileCache BannerPictures;  // the banners' pictures, decoded once while unchanged

  // ---- event handlers (called by the host on its one UI thread)
  void Form_Load();
  void Form_Click();
  void Form_DblClick();
  void form_MouseDown(int button, int shift, float x, float y);
  void Form_MouseMove(int button, int shift, float x, float y);
  void form_KeyDown(int keyCode, int shift);
  void Form_KeyPress(int keyAscii);
  void Form_QueryUnload(bool& cancel, int unloadMode);
  void Form_Unload(bool& cancel);
  void Timer1_Timer();
  void Timer2_Timer();

  // Asks to close the window: Form_QueryUnload, then (unless cancelled) Form_Unload.
  // True when the window has unloaded; the host then destroys it and the program ends.
  bool Unload();
  bool IsUnloaded() const { return unloaded_; }
  // True while a close request runs. Its password prompt keeps the event loop going, but
  // no timer tick may interrupt a handler: hosts deliver none meanwhile (a tick that
  // falls then is simply missed, as a window-system timer's would be).
  bool Closing() const { return closing_; }

  // ---- presentation
  // Draws the surface and then the visible controls, in design order, into `frame`
  // (resized to the window), touching only what changed since the previous call, and
  // returns the changed rectangles (empty when nothing changed).
  std::vector<Rect> ComposeFrame(Picture& frame);
  // The same for a host that can show any picture: while no control is visible the
  // drawing surface is the frame, and its own pixels are returned without a copy
  // (valid until the window next changes); otherwise composes into `frame` and
  // returns it. `changed` receives the changed rectangles.
  const Picture& ShowFrame(Picture& frame, std::vector<Rect>& changed);

 private:
  // Scene steps (scenes/, matchtable/) and the banner start (banners/).
  void ShowFlyingBalls();
  void ShowFlyingTrophies();
  void ShowPastWorldCups();
  void ShowChampions();
  void ShowMatchTable();
  void StartBanners();

  bool unloaded_ = false;
  bool closing_ = false;
  struct ComposeState;
  std::shared_ptr<ComposeState> compose_;  // composition's memory of the last frame
};

}  // namespace qm
