// Sponsor banners over any scene: the switch and interval come from kzt.ini beside the
// program, read once; the banner names and position from kzt.ini in the system folder,
// read at every tick so an edit takes effect at the next one. Failures are silent.
#include <cstdint>
#include <string>

#include "app/NumericText.h"
#include "app/Settings.h"
#include "app/mSSaver.h"
#include "banners/BannerKey.h"
#include "matchtable/Module2.h"
#include "saver/frmSSaver.h"
#include "winsys/DrivePath.h"
#include "winsys/Host.h"
#include "winsys/PictureLoader.h"

namespace qm {

void frmSSaver::StartBanners() {
  const std::string path = Host().ProgramFolder() + "\\kzt.ini";
  const std::string bannersSwitch = ReadIniValue(Saver, "LIGADO", "", path);
  if (bannersSwitch == "0") {
    Timer2.Enabled = false;
    return;
  }
  // Out of range the timer control's own limits apply: above 65535 the largest
  // interval, below 0 none at all (the rotation stays off).
  Timer2.SetInterval(RoundToInt32(LeadingNumber(ReadIniValue(Saver, "TEMPO", "", path))));
  Timer2.Enabled = true;
}

void frmSSaver::Timer2_Timer() {
  const std::string listPath = SystemFolder + "kzt.ini";
  const std::string name = ReadIniValue(Saver, BannerKey(BannerIndex), "", listPath);
  if (name.empty()) {
    BannerIndex = 0;
    return;
  }

  PictureLoad banner = BannerPictures.Load(HostPath(SystemFolder + name));
  if (!banner.Ok()) return;  // tried again at the next tick; the rotation stays here
  imgPropaganda01.SetPicture(std::move(banner.Picture));

  const std::string position = ReadIniValue(Saver, "POSICAO", "", listPath);
  if (RunMode == kRunModeFullScreen) {
    const double windowWidth = Width() / 15.0;
    const double windowHeight = Height() / 15.0;
    imgPropaganda01.Left = RoundToInt32(windowWidth / 2 - imgPropaganda01.Width / 2.0);
    imgPropaganda01.Top = position == "0" ? RoundToInt32(windowHeight - imgPropaganda01.Height) : 0;
    imgPropaganda01.Visible = true;
  }

  // The index is a 16-bit counter: past its top the step fails like any other error
  // and the index stays where it is.
  if (BannerIndex < INT16_MAX) ++BannerIndex;
}

}  // namespace qm
