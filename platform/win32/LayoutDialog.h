// A real Windows dialog built from one of the models' layout tables (setup/FormLayout.h):
// the table becomes a DLGTEMPLATEEX in memory, twips turned into dialog units, so the
// Windows dialogs and the Qt ones come from the same design. Dialog units follow the
// dialog font (a bold one is wider), so once created every control and the client area
// are placed again in pixels, 15 twips a pixel at 96 dpi, as the design was drawn. Subclasses wire
// a model: they hear about clicks and slider moves by control name, then Refresh() copies the
// model's state back into every control (one click may change several), and the dialog
// closes once Closed() says so.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "setup/FormLayout.h"
#include "winsys/Picture.h"

namespace qm::win32 {

// Twips to dialog units for the regular 8 pt dialog font (base units 6 x 13 pixels at
// 96 dpi, 15 twips a pixel): 22.5 twips per horizontal unit, 24.375 per vertical unit.
// Only the template's first guess: the controls are placed in pixels once created.
int TwipsToDluX(int twips);
int TwipsToDluY(int twips);

class LayoutDialog {
 public:
  explicit LayoutDialog(const FormLayout& layout) : layout_(layout) {}
  virtual ~LayoutDialog();
  LayoutDialog(const LayoutDialog&) = delete;
  LayoutDialog& operator=(const LayoutDialog&) = delete;

  // Runs the dialog modally over `owner` (may be null) until it closes.
  void RunModal(HINSTANCE instance, HWND owner);
  // Creates the dialog modeless; the caller pumps messages through IsDialogMessage.
  // Null when it could not be created.
  HWND CreateModeless(HINSTANCE instance, HWND owner);
  HWND Window() const { return hwnd_; }

  // The dialog template the layout turns into (exposed for checks).
  std::vector<WORD> BuildTemplate() const;

 protected:
  // Model hooks. Names are the layout's control names ("Option1(2)", "cmdOK").
  virtual void OnLoad() = 0;
  virtual void OnClick(const std::string& name) = 0;
  virtual void OnSlider(const std::string&) {}
  // The pointer is over a control ("" for the dialog's background, and when it left the
  // dialog straight from a control that asked for the hand). True asks for the
  // pointing-hand cursor there (the About box's own, HandCursor.h).
  virtual bool OnMouseOver(const std::string&) { return false; }
  // The title bar's close box.
  virtual void OnCloseBox() = 0;
  virtual void Refresh() = 0;
  virtual bool Closed() const = 0;
  // The picture an Image or PictureBox shows now; null for none.
  virtual const Picture* PictureOf(const std::string&) { return nullptr; }
  // Its mask (black where the picture shows, white where the face shows through), of
  // the picture's size; null for a picture that fills its box.
  virtual const Picture* MaskOf(const std::string&) { return nullptr; }
  // Text colour of a label (0x00RRGGBB); -1 for the default.
  virtual long TextColorOf(const std::string&) { return -1; }
  // True to open centred on the owner window; otherwise centred on the screen.
  virtual bool CentresOnOwner() const { return false; }

  HWND Control(const std::string& name) const;
  void SetText(const std::string& name, const std::string& text);
  void SetChecked(const std::string& name, bool checked);
  void SetSlider(const std::string& name, int min, int max, int position);
  int SliderPosition(const std::string& name) const;
  void Redraw(const std::string& name);
  const FormLayout& Layout() const { return layout_; }
  // Design twips to this screen's pixels (LOGPIXELSX; 15 twips a pixel at 96 dpi).
  int Pixels(int twips) const { return twips * dpi_ / 1440; }
  // Places control `name` of a picture box at (left, top) of the box's client area,
  // `width` x `height` (twips), clipped to that area as a picture box clips.
  void PlaceInBox(const std::string& name, int left, int top, int width, int height);

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
  void AfterEvent();
  void ApplyFonts();
  // Each control of a frame or picture box (of a picture box only, when asked) with its
  // container, where both windows exist.
  std::vector<std::pair<HWND, HWND>> ContainedControls(bool pictureBoxesOnly) const;
  void PlaceInPixels();
  void Stack();
  void InsetPictureBoxChildren();
  void CentreOnScreen();
  void CentreOnOwner();
  void DrawPicture(const DRAWITEMSTRUCT& item);
  void PaintLines(HDC dc);
  RECT TwipsOf(const LayoutItem& item) const;  // in the client area, twips
  const LayoutItem* ItemById(int id) const;

  const FormLayout& layout_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  int dpi_ = 96;
  std::map<std::string, int> ids_;
  std::vector<HFONT> fonts_;
  std::string hovered_;
  // Whether the pointer is over a control that wants the hand, watched by kLeaveTimer.
  bool watchingLeave_ = false;
  static constexpr UINT_PTR kLeaveTimer = 1;
};

}  // namespace qm::win32
