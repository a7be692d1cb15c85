#include "qt/dialogs/AboutDialog.h"

#include <QCursor>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <cstddef>
#include <utility>

#include "setup/HandCursor.h"
#include "winsys/Cp1252.h"

namespace qm::qt {
namespace {

QString ColorCss(Pixel color) {
  return QStringLiteral("color: #%1;").arg(color & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

// The About box's own pointing hand, black and white over clear.
QCursor ContactCursor() {
  const CursorArt& art = ContactHandCursor();
  QImage image(art.Width, art.Height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < art.Height; ++y) {
    for (int x = 0; x < art.Width; ++x) {
      const char c = art.Rows[y][static_cast<size_t>(x)];
      if (c == 'X') image.setPixel(x, y, 0xFF000000u);
      if (c == 'o') image.setPixel(x, y, 0xFFFFFFFFu);
    }
  }
  return QCursor(QPixmap::fromImage(image), art.HotX, art.HotY);
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : LayoutDialog(frmAbout::Layout(), parent) {
  const QPixmap icon = IconPixmap();
  setWindowIcon(icon);
  auto* picIcon = ControlAs<QLabel>("picIcon");
  picIcon->setFrameStyle(QFrame::NoFrame);
  picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picIcon->setPixmap(icon);

  setMouseTracking(true);
  const QCursor hand = ContactCursor();
  for (int index : {2, 3}) {
    QLabel* link = ContactLabel(index);
    link->setMouseTracking(true);
    link->setCursor(hand);
    link->setWordWrap(false);
    link->installEventFilter(this);
  }
  for (const char* name : {"lblDescription2(0)", "lblDescription2(1)", "lblDescription2(2)"}) {
    QLabel* label = ControlAs<QLabel>(QString::fromLatin1(name));
    label->setMouseTracking(true);
    label->installEventFilter(this);
  }

  model_.Form_Load();
  ControlAs<QLineEdit>("Text1")->setText(FromCp1252(model_.Text1));
  ControlAs<QLineEdit>("Text2")->setText(FromCp1252(model_.Text2));
  ControlAs<QLabel>("lblVersion")->setText(FromCp1252(model_.lblVersion));
  Sync();

  connect(ControlAs<QPushButton>("cmdOK"), &QPushButton::clicked, this, [this] {
    // The hidden boxes hold the values OK stores (they are what the model calls Text1/2).
    model_.Text1 = Utf8ToCp1252(ControlAs<QLineEdit>("Text1")->text().toStdString());
    model_.Text2 = Utf8ToCp1252(ControlAs<QLineEdit>("Text2")->text().toStdString());
    model_.cmdOK_Click();
    if (model_.IsClosed()) accept();
  });
  connect(ControlAs<QPushButton>("cmdSysInfo"), &QPushButton::clicked, this,
          [this] { model_.cmdSysInfo_Click(); });
}

QLabel* AboutDialog::ContactLabel(int index) const {
  return ControlAs<QLabel>(QStringLiteral("lblDescription(%1)").arg(index));
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
  const bool move = event->type() == QEvent::MouseMove || event->type() == QEvent::Enter;
  const bool release = event->type() == QEvent::MouseButtonRelease;
  // A double click on a contact line is one click: its second release opens nothing more.
  if (event->type() == QEvent::MouseButtonDblClick &&
      (watched == ContactLabel(2) || watched == ContactLabel(3)))
    releaseOfDoubleClick_ = true;
  if (!move && !release) return LayoutDialog::eventFilter(watched, event);
  for (int index : {2, 3}) {
    QLabel* link = ContactLabel(index);
    if (watched != link) continue;
    if (move) {
      model_.lblDescription_MouseMove(index);
    } else if (std::exchange(releaseOfDoubleClick_, false)) {
    } else if (const auto* click = static_cast<QMouseEvent*>(event);
               click->button() == Qt::LeftButton &&
               link->rect().contains(click->position().toPoint())) {
      // The left button only, as on Windows: a right click (to copy the address, say)
      // must not start the mail program or the browser.
      model_.lblDescription_Click(index);
    }
    Sync();
    return true;
  }
  if (move) {
    // "lblDescription2(N)": the index is the one digit.
    model_.lblDescription2_MouseMove(watched->objectName().at(16).digitValue());
    Sync();
    return true;
  }
  return LayoutDialog::eventFilter(watched, event);
}

void AboutDialog::mouseMoveEvent(QMouseEvent* event) {
  model_.Form_MouseMove();
  Sync();
  LayoutDialog::mouseMoveEvent(event);
}

void AboutDialog::leaveEvent(QEvent* event) {
  model_.Form_MouseMove();
  Sync();
  LayoutDialog::leaveEvent(event);
}

void AboutDialog::Sync() {
  for (int index : {2, 3}) {
    QLabel* link = ContactLabel(index);
    link->setText(FromCp1252(model_.ContactCaption(index)));
    link->setStyleSheet(ColorCss(model_.ContactColor(index)));
  }
}

}  // namespace qm::qt
