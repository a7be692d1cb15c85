// The About box as a model: its design, the two contact lines with their hover colours,
// the shell requests they make, OK (which stores every setting) and the System
// Information button. A host renders Layout(), reports mouse moves and clicks, reads the
// captions and colours back, and closes its window once IsClosed() is true.
#pragma once

#include <array>
#include <string>

#include "setup/FormLayout.h"
#include "winsys/Picture.h"

namespace qm {

inline constexpr Pixel kLinkRest = Rgb(0, 0, 255);
inline constexpr Pixel kLinkHover = Rgb(255, 0, 0);
// The credit line of the About box.
inline constexpr const char* kCreditLine = "Development by Quorvana Studio";
inline constexpr const char* kFreeUseNote = "Freeware: free to use and to share, with no warranty.";

class frmAbout {
 public:
  static const FormLayout& Layout();

  // Loads the settings, fills Text1/Text2 and the contact and version lines.
  void Form_Load();

  // Hover: over contact line 2 (e-mail) or 3 (web) that line turns red and the other
  // blue; over the background or any lblDescription2 line both turn blue.
  void Form_MouseMove();
  void lblDescription_MouseMove(int index);
  void lblDescription2_MouseMove(int index);

  // Reloads the settings, then asks the shell to open "mailto:" + Email (index 2) or Url
  // (index 3) with working folder "c:\". Other indices do nothing.
  void lblDescription_Click(int index);
  // Email = Text1, Url = Text2, stores all settings, closes.
  void cmdOK_Click();
  // The title bar's close box: closes without storing anything.
  void Unload() { closed_ = true; }
  void cmdSysInfo_Click();

  // The caption and colour of contact line 2 or 3 (index 2 for anything else).
  const std::string& ContactCaption(int index) const;
  Pixel ContactColor(int index) const;

  std::string Text1;  // hidden: the e-mail address while the box is open
  std::string Text2;  // hidden: the web address
  std::string lblVersion;
  bool IsClosed() const { return closed_; }

 private:
  static size_t Slot(int index) { return index == 3 ? 1 : 0; }

  std::array<std::string, 2> captions_{"Email: ", "WWW: "};
  std::array<Pixel, 2> colors_{kLinkRest, kLinkRest};
  bool closed_ = false;
};

}  // namespace qm
