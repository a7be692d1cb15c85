#include "qt/dialogs/SetupDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

#include "qt/DialogPlacement.h"
#include "qt/dialogs/AboutDialog.h"
#include "qt/dialogs/SceneSettingsDialog.h"
#include "qt/dialogs/Setup.h"
#include "saver/Artwork.h"

namespace qm::qt {
namespace {

ArtId PreviewArt(int imageIndex) {
  switch (imageIndex) {
    case 0:
      return ArtId::Preview0;
    case 1:
      return ArtId::Preview1;
    case 2:
      return ArtId::Preview2;
    case 3:
      return ArtId::Preview3;
    case 4:
      return ArtId::Preview4;
    case 21:
      return ArtId::Preview21;
    default:
      return ArtId::Preview22;
  }
}

QString Indexed(const char* name, int index) {
  return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

}  // namespace

SetupDialog::SetupDialog(QWidget* parent)
    : LayoutDialog(SetupForm::Layout(), parent), model_(this) {
  setWindowIcon(IconPixmap());
  for (int i = 0; i < 5; ++i) options_[i] = ControlAs<QRadioButton>(Indexed("Option1", i));
  for (int i = 0; i < 2; ++i) trophies_[i] = ControlAs<QCheckBox>(Indexed("Check1", i));
  mouse_ = ControlAs<QCheckBox>("Check2");
  screens_ = ControlAs<QCheckBox>("Check3");
  // The model decides which option is on, so Qt's own exclusivity stays out of the way;
  // with it goes Qt's arrow-key selection, which eventFilter restores.
  for (QRadioButton* option : options_) {
    option->setAutoExclusive(false);
    option->installEventFilter(this);
  }
  for (int index : SetupForm::kPreviewIndices) {
    ControlAs<QLabel>(Indexed("Image1", index))->setPixmap(ToPixmap(*LoadArt(PreviewArt(index))));
  }

  model_.Form_Load();
  Sync();

  for (int i = 0; i < 5; ++i) {
    connect(options_[i], &QRadioButton::clicked, this, [this, i] {
      model_.ClickOption1(i);
      Sync();
    });
    connect(ControlAs<QPushButton>(Indexed("Command1", i)), &QPushButton::clicked, this,
            [this, i] { model_.Command1_Click(i); });
  }
  for (int i = 0; i < 2; ++i) {
    connect(trophies_[i], &QCheckBox::clicked, this, [this, i] {
      model_.ClickCheck1(i);
      Sync();
    });
  }
  connect(mouse_, &QCheckBox::clicked, this, [this](bool on) { model_.SetCheck2(on); });
  connect(screens_, &QCheckBox::clicked, this, [this](bool on) { model_.SetCheck3(on); });
  connect(ControlAs<QPushButton>("cmdOK"), &QPushButton::clicked, this, [this] {
    model_.cmdOK_Click();
    CloseWhenDone();
  });
  connect(ControlAs<QPushButton>("cmdCancel"), &QPushButton::clicked, this, [this] {
    model_.cmdCancel_Click();
    CloseWhenDone();
  });
  connect(ControlAs<QPushButton>("cmbAbout"), &QPushButton::clicked, this,
          [this] { model_.cmbAbout_Click(); });
}

void SetupDialog::ShowSceneDialog(SceneDialogId id) {
  SceneSettingsDialog dialog(id, this);
  dialog.adjustSize();
  const QScreen* screen = this->screen();
  CentreFrameOn(dialog, frameGeometry(), screen ? screen->availableGeometry() : QRect());
  dialog.exec();
}

void SetupDialog::ShowAbout() {
  AboutDialog dialog(this);
  // The box opens centred on the screen, not on the setup dialog wherever that was moved
  // (a dialog with a parent would centre itself on it).
  dialog.adjustSize();
  if (const QScreen* screen = this->screen())
    CentreFrameOn(dialog, screen->availableGeometry(), screen->availableGeometry());
  dialog.exec();
}

void SetupDialog::Sync() {
  // As in any dialog, Tab reaches only the selected option (every one while none is);
  // a click or the arrow keys reach the others.
  const int selected = model_.SelectedOption();
  const bool anySelected = selected >= 0 && selected < 5;
  for (int i = 0; i < 5; ++i) {
    const QSignalBlocker blocker(options_[i]);
    options_[i]->setChecked(selected == i);
    options_[i]->setFocusPolicy(!anySelected || selected == i ? Qt::StrongFocus : Qt::ClickFocus);
  }
  for (int i = 0; i < 2; ++i) {
    const QSignalBlocker blocker(trophies_[i]);
    trophies_[i]->setChecked(model_.Check1Value(i));
  }
  {
    const QSignalBlocker blockMouse(mouse_);
    const QSignalBlocker blockScreens(screens_);
    mouse_->setChecked(model_.Check2Value());
    screens_->setChecked(model_.Check3Value());
  }
  // Preview positions count from inside the box's border, and the box shows only what
  // lies inside it, as a picture box does.
  const QRect inside = ControlAs<QLabel>("Picture1")->contentsRect();
  for (int index : SetupForm::kPreviewIndices) {
    QLabel* image = ControlAs<QLabel>(Indexed("Image1", index));
    const SetupForm::PreviewPlace place = model_.PreviewPlacement(index);
    const QRect at(inside.x() + TwipsToPixels(place.Left), inside.y() + TwipsToPixels(place.Top),
                   TwipsToPixels(place.Width), TwipsToPixels(place.Height));
    image->setGeometry(at.intersected(inside));
    image->setVisible(model_.PreviewVisible(index));
  }
}

int SetupDialog::OptionAfter(int from, int steps) const {
  std::vector<int> group;  // the options in tab order, starting with `from`
  QWidget* w = options_[from];
  do {
    const auto option = std::find(options_.begin(), options_.end(), w);
    if (option != options_.end() && w->isEnabled() && w->isVisible()) {
      group.push_back(static_cast<int>(option - options_.begin()));
    }
    w = w->nextInFocusChain();
  } while (w != options_[from]);
  const int n = static_cast<int>(group.size());
  return group[static_cast<size_t>(((steps % n) + n) % n)];
}

bool SetupDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return LayoutDialog::eventFilter(watched, event);
  const auto* key = static_cast<const QKeyEvent*>(event);
  int steps = 0;
  switch (key->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right:
      steps = 1;
      break;
    case Qt::Key_Up:
    case Qt::Key_Left:
      steps = -1;
      break;
    default:
      return LayoutDialog::eventFilter(watched, event);
  }
  if (key->modifiers() & ~Qt::KeypadModifier) return LayoutDialog::eventFilter(watched, event);
  for (int i = 0; i < 5; ++i) {
    if (options_[i] != watched) continue;
    const int next = OptionAfter(i, steps);
    options_[next]->setFocus(Qt::OtherFocusReason);
    if (model_.SelectedOption() != next) {
      model_.ClickOption1(next);
      Sync();
    }
    return true;
  }
  return LayoutDialog::eventFilter(watched, event);
}

void SetupDialog::CloseWhenDone() {
  if (model_.IsClosed()) accept();
}

int RunSetupDialog() {
  auto* dialog = new SetupDialog();
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    CentreFrameOn(*dialog, screen->availableGeometry(), screen->availableGeometry());
  QObject::connect(dialog, &QDialog::finished, qApp, &QCoreApplication::quit);
  dialog->show();
  QCoreApplication::exec();
  return 0;
}

}  // namespace qm::qt
