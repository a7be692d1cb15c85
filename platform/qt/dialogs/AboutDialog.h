// The Qt view of the About box over the frmAbout model: icon, title, version, credits,
// the two contact links (underlined, blue, red while the pointer is over them, with the
// About box's own pointing hand of HandCursor.h) and the OK and System Information
// buttons. Modal.
#pragma once

#include "qt/dialogs/LayoutDialog.h"
#include "setup/frmAbout.h"

class QLabel;

namespace qm::qt {

class AboutDialog : public LayoutDialog {
 public:
  // Loads the model (Form_Load). Centred on `parent` (on the screen without one).
  explicit AboutDialog(QWidget* parent);

  frmAbout& Model() { return model_; }
  QLabel* ContactLabel(int index) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  // The pointer leaving the box straight from a link counts as a move over the box, so
  // the link does not stay lit with nothing under the pointer.
  void leaveEvent(QEvent* event) override;

 private:
  void Sync();

  frmAbout model_;
  bool releaseOfDoubleClick_ = false;  // the next release ends a double click
};

}  // namespace qm::qt
