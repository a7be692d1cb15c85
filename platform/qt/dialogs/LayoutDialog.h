// A Qt dialog built from a FormLayout table: every control at its designed place and
// size (15 twips to the pixel), its caption, font, tab order, default and cancel button,
// and the separator lines. Subclasses look controls up by their design names and wire
// them to their model.
#pragma once

#include <QDialog>
#include <QHash>
#include <QPixmap>
#include <QString>

#include "setup/FormLayout.h"
#include "winsys/Picture.h"

class QAbstractButton;

namespace qm::qt {

// The design's fonts at the design's pixel size (8.25 pt = 11 px at 96 dpi). "MS Sans
// Serif" is not on Linux: a sans font of the same size stands in for it (Liberation Sans,
// metric-compatible with Arial, when installed).
QFont DesignFont(const Font& font);
// A 32-bit picture of the core as a pixmap (deep copy).
QPixmap ToPixmap(const Picture& picture);
// The program's icon, transparent where its mask is white (outside and inside the
// ring), for window icons and the About box.
QPixmap IconPixmap();
// 8-bit Windows-1252 text of the core for display.
QString FromCp1252(const std::string& text);

class LayoutDialog : public QDialog {
 public:
  LayoutDialog(const FormLayout& layout, QWidget* parent);

  // The control created for the design name ("Option1(2)"); null when there is none.
  QWidget* Control(const QString& name) const { return controls_.value(name); }
  template <typename T>
  T* ControlAs(const QString& name) const {
    return qobject_cast<T*>(Control(name));
  }
  const FormLayout& Layout() const { return layout_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Esc clicks the design's cancel button when it has one; otherwise the dialog closes.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Build();

  const FormLayout& layout_;
  QHash<QString, QWidget*> controls_;
  QAbstractButton* cancelButton_ = nullptr;
};

}  // namespace qm::qt
