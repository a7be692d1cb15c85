#include "qt/dialogs/LayoutDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <vector>

#include "saver/Artwork.h"
#include "winsys/Cp1252.h"

namespace qm::qt {
namespace {

QRect DesignRect(const LayoutItem& item) {
  return QRect(TwipsToPixels(item.Left), TwipsToPixels(item.Top), TwipsToPixels(item.Width),
               TwipsToPixels(item.Height));
}

QWidget* CreateControl(const LayoutItem& item, QWidget* parent) {
  const QString caption = FromCp1252(item.Caption);
  switch (item.Kind) {
    case ControlKind::Button:
      return new QPushButton(caption, parent);
    case ControlKind::Frame:
      return new QGroupBox(caption, parent);
    case ControlKind::Option:
      return new QRadioButton(caption, parent);
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(caption, parent);
      box->setChecked(item.Checked);
      return box;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(caption, parent);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::PictureBox: {
      auto* box = new QLabel(parent);
      box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      box->setLineWidth(2);
      return box;
    }
    case ControlKind::Image: {
      auto* image = new QLabel(parent);
      image->setScaledContents(true);
      return image;
    }
    case ControlKind::Slider:
      return new QSlider(Qt::Horizontal, parent);
    case ControlKind::TextBox:
      return new QLineEdit(caption, parent);
  }
  return new QWidget(parent);
}

}  // namespace

QFont DesignFont(const Font& font) {
  QString family = QString::fromStdString(font.Name);
  if (family == QLatin1String("MS Sans Serif") || family == QLatin1String("Arial")) {
    family = QStringLiteral("Liberation Sans");
  }
  QFont result(family);
  result.setStyleHint(QFont::SansSerif);
  result.setPixelSize(static_cast<int>(std::lround(font.SizePt * 96.0 / 72.0)));
  result.setBold(font.Bold);
  result.setItalic(font.Italic);
  result.setUnderline(font.Underline);
  return result;
}

QPixmap ToPixmap(const Picture& picture) {
  if (picture.Width <= 0 || picture.Height <= 0) return QPixmap();
  const QImage view(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width,
                    picture.Height, picture.Width * 4, QImage::Format_RGB32);
  return QPixmap::fromImage(view.copy());
}

QPixmap IconPixmap() {
  const PicturePtr icon = LoadArt(ArtId::Icon);
  const PicturePtr mask = LoadArt(ArtId::IconMask);
  QImage image(icon->Width, icon->Height, QImage::Format_ARGB32);
  for (int y = 0; y < icon->Height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < icon->Width; ++x) {
      const bool opaque = mask->At(x, y) == 0;  // the mask is black where the icon shows
      row[x] = opaque ? (0xFF000000u | (icon->At(x, y) & 0xFFFFFFu)) : 0u;
    }
  }
  return QPixmap::fromImage(image);
}

QString FromCp1252(const std::string& text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

LayoutDialog::LayoutDialog(const FormLayout& layout, QWidget* parent)
    : QDialog(parent), layout_(layout) {
  setWindowTitle(FromCp1252(layout.Caption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(DesignFont(layout.DialogFont));
  setFixedSize(TwipsToPixels(layout.ClientWidth), TwipsToPixels(layout.ClientHeight));
  Build();
}

void LayoutDialog::Build() {
  for (const LayoutItem& item : layout_.Items) {
    QWidget* parent = item.Container.empty()
                          ? static_cast<QWidget*>(this)
                          : controls_.value(QString::fromStdString(item.Container), this);
    QWidget* control = CreateControl(item, parent);
    control->setObjectName(QString::fromStdString(item.Name));
    control->setGeometry(DesignRect(item));
    control->setFont(DesignFont(item.TextFont));
    control->setVisible(item.Visible);
    if (auto* button = qobject_cast<QPushButton*>(control)) {
      button->setDefault(item.IsDefault);
      if (item.IsCancel) cancelButton_ = button;
    }
    controls_.insert(control->objectName(), control);
  }
  // Tab order: the focusable controls in ascending design tab index.
  std::vector<const LayoutItem*> order;
  for (const LayoutItem& item : layout_.Items) {
    QWidget* control = controls_.value(QString::fromStdString(item.Name));
    if (item.TabIndex != kNoTab && (control->focusPolicy() & Qt::TabFocus)) order.push_back(&item);
  }
  std::stable_sort(order.begin(), order.end(), [](const LayoutItem* a, const LayoutItem* b) {
    return a->TabIndex < b->TabIndex;
  });
  for (size_t i = 1; i < order.size(); ++i) {
    setTabOrder(controls_.value(QString::fromStdString(order[i - 1]->Name)),
                controls_.value(QString::fromStdString(order[i]->Name)));
  }
  if (!order.empty()) controls_.value(QString::fromStdString(order[0]->Name))->setFocus();
}

void LayoutDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  // Lines go to the nearest pixel: an etched pair 10 twips apart (grey at 2400, white
  // at 2410) would otherwise land on one row, the white over the grey.
  const auto nearest = [](int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; };
  for (const LayoutLine& line : layout_.Lines) {
    const QColor color((line.Color >> 16) & 0xFF, (line.Color >> 8) & 0xFF, line.Color & 0xFF);
    // A wide line grows downwards from its design row, as the design drew it.
    for (int row = 0; row < line.WidthPixels; ++row) {
      painter.setPen(QPen(color, 1));
      painter.drawLine(nearest(line.X1), nearest(line.Y1) + row, nearest(line.X2),
                       nearest(line.Y2) + row);
    }
  }
}

void LayoutDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && cancelButton_) {
    cancelButton_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace qm::qt
