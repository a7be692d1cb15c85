// The configuration dialogs driven offscreen as a user drives them: clicks inside the
// controls' click areas, keys and drags, with a real registry file underneath.
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <optional>
#include <utility>

#include "headless/HeadlessHost.h"
#include "qt/dialogs/AboutDialog.h"
#include "qt/dialogs/LayoutDialog.h"
#include "qt/dialogs/SceneSettingsDialog.h"
#include "qt/dialogs/SetupDialog.h"
#include "saver/Artwork.h"
#include "winsys/Host.h"
#include "winsys/RegistryFile.h"

namespace {

constexpr const char* kSettings = "SOFTWARE\\Quorvana\\Quorvana Saver";

// Runs `action` on the next modal dialog once it is up (exec() blocks the caller), then
// closes the dialog if the action left it open.
void WhenModal(std::function<void(QWidget*)> action) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, action] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    action(modal);
    modal->close();
  });
  poll->start();
}

void ClickInside(QAbstractButton* button) {
  QVERIFY(button && button->isVisible());
  // On the indicator / the middle of a push button: inside the click area.
  const QPoint at = qobject_cast<QPushButton*>(button) ? button->rect().center()
                                                       : QPoint(7, button->height() / 2);
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

QPoint ThumbCenter(QSlider* slider) {
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  return slider->style()
      ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
      .center();
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  qm::headless::HeadlessHost host_;
  std::optional<qm::RegistryFile> registry_;

  void Store(const char* name, const char* text) {
    QVERIFY(registry_->Set(qm::Hive::LocalMachine, kSettings, name, {qm::kRegSz, text}));
  }
  // Read back from the file by a second reader, as another process would.
  QString Stored(const char* name) {
    qm::RegistryFile reader(qm::DefaultRegistryPath());
    auto value = reader.Query(qm::Hive::LocalMachine, kSettings, name);
    return value ? QString::fromStdString(value->Data) : QStringLiteral("<missing>");
  }
  template <typename T>
  static T* Find(QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(QString::fromLatin1(name));
  }
  static void ShowAndWait(QWidget* dialog) {
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
  }
  // The shots go to the build tree, so that a test run leaves the sources as they were;
  // the quill_dialog_shots target points QM_DIALOG_SHOTS at docs/dialogs to refresh them.
  void SaveShot(QWidget* dialog, const char* file) {
    const QString chosen = qEnvironmentVariable("QM_DIALOG_SHOTS");
    const QString folder = chosen.isEmpty() ? QStringLiteral(QM_SHOT_DIR) : chosen;
    QDir().mkpath(folder);
    const QImage shot = dialog->grab().toImage();
    QCOMPARE(shot.size(), dialog->size());
    QVERIFY(shot.save(folder + "/" + file));
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("QUILLMARK_REGISTRY", dir_.filePath("registry.reg").toUtf8());
    qputenv("QUILLMARK_DRIVE_C", dir_.filePath("drive_c").toUtf8());
    QDir().mkpath(dir_.filePath("drive_c"));
    registry_.emplace(qm::DefaultRegistryPath());
    qm::SetRegistry(&*registry_);
    qm::SetHost(&host_);
  }
  void cleanupTestCase() {
    qm::SetRegistry(nullptr);
    qm::SetHost(nullptr);
  }
  void init() {
    QFile::remove(dir_.filePath("registry.reg"));
    host_.shellOpened.clear();
    host_.messages.clear();
  }

  void setupLayoutFollowsTheDesign() {
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    QCOMPARE(dialog.size(), QSize(591, 305));  // 8865 x 4575 twips
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillmark Desktop Theme - Screen Saver"));
    auto* zelvaro = Find<QRadioButton>(&dialog, "Option1(3)");
    QCOMPARE(zelvaro->text(), QStringLiteral("Zelvaro World Champion"));
    QCOMPARE(zelvaro->parentWidget()->objectName(), QStringLiteral("Frame2"));
    QCOMPARE(zelvaro->geometry(), QRect(232, 24, 173, 17));
    QCOMPARE(Find<QWidget>(&dialog, "Frame3")->geometry(), QRect(324, 188, 261, 49));
    QCOMPARE(Find<QWidget>(&dialog, "Picture1")->geometry(), QRect(8, 12, 104, 225));
    QVERIFY(Find<QPushButton>(&dialog, "cmdOK")->isDefault());
    QVERIFY(Find<QPushButton>(&dialog, "cmdOK")->font().bold());
    QVERIFY(!Find<QCheckBox>(&dialog, "Check2")->font().bold());
    // Exactly one preview shows, filling the box inside its border.
    int shown = 0;
    for (int index : qm::SetupForm::kPreviewIndices) {
      auto* image = Find<QLabel>(&dialog, QStringLiteral("Image1(%1)").arg(index).toLatin1());
      if (image->isVisible()) {
        ++shown;
        // 104 x 225 less a 2-pixel sunken border on each side.
        QCOMPARE(image->size(), QSize(100, 221));
        QVERIFY(!image->pixmap().isNull());
      }
    }
    QCOMPARE(shown, 1);
    // The design's MS Sans Serif is drawn in its metric twin, not whatever the system
    // would put in its place.
    QCOMPARE(QFontInfo(dialog.font()).family(), QStringLiteral("Liberation Sans"));
    // A label's text starts at its top, however tall the label: the two lines of the
    // match-table option's 57-pixel note begin within its first few rows.
    const QImage note = Find<QLabel>(&dialog, "Label1(2)")->grab().toImage();
    int firstInk = -1;
    for (int y = 0; y < note.height() && firstInk < 0; ++y)
      for (int x = 0; x < note.width(); ++x)
        if (qGray(note.pixel(x, y)) < 100) {
          firstInk = y;
          break;
        }
    QVERIFY2(firstInk >= 0 && firstInk < 5, qPrintable(QString::number(firstInk)));
    SaveShot(&dialog, "setup.png");
    // The first stop of the tab order has the focus when the dialog opens.
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>(&dialog, "cmdOK"));
    // Tab order: OK, Cancel, the trophy boxes, About, then of the options only the
    // selected one (Flying Balls, the last but one stop before the "+" buttons), as in
    // any dialog, then the mouse box.
    Find<QPushButton>(&dialog, "cmdOK")->setFocus();
    const char* order[] = {"cmdCancel", "Check1(0)",  "Check1(1)",
                           "cmbAbout",  "Option1(0)", "Check2"};
    for (const char* next : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
  }

  void setupOkStoresWhatWasClicked() {
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    auto* zelvaro = Find<QRadioButton>(&dialog, "Option1(3)");
    ClickInside(zelvaro);
    QVERIFY(Find<QLabel>(&dialog, "Image1(3)")->isVisible());
    QVERIFY(!Find<QRadioButton>(&dialog, "Option1(0)")->isChecked());
    ClickInside(zelvaro);  // clicking the selected option keeps it selected
    QVERIFY(zelvaro->isChecked());
    ClickInside(Find<QCheckBox>(&dialog, "Check2"));
    ClickInside(Find<QPushButton>(&dialog, "cmdOK"));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Stored("Saver"), QStringLiteral("4"));
    QCOMPARE(Stored("Mouse"), QStringLiteral("1"));
    QCOMPARE(Stored("Tela"), QStringLiteral(" 0"));
    QCOMPARE(Stored("TrofeusTipo"), QStringLiteral("2"));
  }

  // Down and Right go to the next option in tab order (Flying Trophy, Past World Cups,
  // Zelvaro, schedule, Flying Balls), Up and Left back, round the ends; each option
  // reached is selected.
  void setupArrowKeysSelectOptionsInTabOrder() {
    Store("Saver", "2");
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    auto option = [&](int i) {
      return Find<QRadioButton>(&dialog, QStringLiteral("Option1(%1)").arg(i).toLatin1());
    };
    option(1)->setFocus();
    const std::pair<Qt::Key, int> moves[] = {
        {Qt::Key_Down, 2},  {Qt::Key_Right, 3}, {Qt::Key_Down, 4}, {Qt::Key_Down, 0},
        {Qt::Key_Right, 1}, {Qt::Key_Up, 0},    {Qt::Key_Left, 4}};
    for (const auto& [key, to] : moves) {
      QTest::keyClick(QApplication::focusWidget(), key);
      QCOMPARE(QApplication::focusWidget(), option(to));
      for (int i = 0; i < 5; ++i) QCOMPARE(option(i)->isChecked(), i == to);
    }
    QVERIFY(Find<QLabel>(&dialog, "Image1(4)")->isVisible());
    // From a trophy box the arrows do not leave the keyboard on an option they did not
    // select (the next arrow from there would skip it).
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Right}) {
      Find<QCheckBox>(&dialog, "Check1(1)")->setFocus();
      QTest::keyClick(QApplication::focusWidget(), key);
      for (int i = 0; i < 5; ++i) QVERIFY(!option(i)->hasFocus() || option(i)->isChecked());
    }
    ClickInside(Find<QPushButton>(&dialog, "cmdOK"));
    QCOMPARE(Stored("Saver"), QStringLiteral("5"));
  }

  void setupTrophyBoxesCascade() {
    Store("Saver", "3");
    Store("TrofeusTipo", "2");
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    auto* worldCup = Find<QCheckBox>(&dialog, "Check1(1)");
    ClickInside(worldCup);  // the last checked box: it comes straight back
    QVERIFY(worldCup->isChecked());
    QVERIFY(!Find<QCheckBox>(&dialog, "Check1(0)")->isChecked());
    QVERIFY(Find<QRadioButton>(&dialog, "Option1(1)")->isChecked());
    QVERIFY(!Find<QRadioButton>(&dialog, "Option1(2)")->isChecked());
    QVERIFY(Find<QLabel>(&dialog, "Image1(22)")->isVisible());
    ClickInside(Find<QCheckBox>(&dialog, "Check1(0)"));
    QVERIFY(Find<QLabel>(&dialog, "Image1(1)")->isVisible());
    QVERIFY(!Find<QLabel>(&dialog, "Image1(22)")->isVisible());
    ClickInside(Find<QPushButton>(&dialog, "cmdOK"));
    QCOMPARE(Stored("TrofeusTipo"), QStringLiteral("0"));
    QCOMPARE(Stored("Saver"), QStringLiteral("2"));
  }

  // Each preview box shows its own picture: the five scenes' and, for the trophy
  // scene with one kind ticked, the Jules Rimet (21) or World Cup (22) trophy alone.
  void setupPreviewsShowTheirOwnPictures() {
    qm::qt::SetupDialog dialog;
    const std::pair<int, qm::ArtId> previews[] = {
        {0, qm::ArtId::Preview0},  {1, qm::ArtId::Preview1}, {2, qm::ArtId::Preview2},
        {3, qm::ArtId::Preview3},  {4, qm::ArtId::Preview4}, {21, qm::ArtId::Preview21},
        {22, qm::ArtId::Preview22}};
    for (const auto& [index, art] : previews) {
      const QImage shown = Find<QLabel>(&dialog, QStringLiteral("Image1(%1)").arg(index).toLatin1())
                               ->pixmap()
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
      const QImage expected =
          qm::qt::ToPixmap(*qm::LoadArt(art)).toImage().convertToFormat(QImage::Format_RGB32);
      QVERIFY2(shown == expected, qPrintable(QString::number(index)));
    }
  }

  // The mouse and start-up screen boxes open as stored, and OK stores what they were
  // changed to.
  void setupMouseAndScreenBoxesRoundTrip() {
    Store("Mouse", "1");
    Store("Tela", " 1");
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    QVERIFY(Find<QCheckBox>(&dialog, "Check2")->isChecked());
    auto* screens = Find<QCheckBox>(&dialog, "Check3");
    QVERIFY(screens->isChecked());
    ClickInside(screens);
    ClickInside(Find<QPushButton>(&dialog, "cmdOK"));
    QCOMPARE(Stored("Mouse"), QStringLiteral("1"));
    QCOMPARE(Stored("Tela"), QStringLiteral(" 0"));
  }

  void setupEnterIsOkAndEscOpensAbout() {
    Store("Saver", "5");
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    QString opened;
    WhenModal([&opened](QWidget* modal) { opened = modal->windowTitle(); });
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(opened, QStringLiteral("About"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(Stored("Saver"), QStringLiteral("5"));
    auto* pastCups = Find<QRadioButton>(&dialog, "Option1(2)");
    ClickInside(pastCups);
    pastCups->setFocus();  // Enter on another control still means OK
    QTest::keyClick(pastCups, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Stored("Saver"), QStringLiteral("3"));
  }

  void aboutOpensCentredOnTheScreenWhereverTheSetupDialogIs() {
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    const QRect screen = dialog.screen()->availableGeometry();
    dialog.move(screen.topLeft());
    QPoint centre;
    WhenModal([&centre](QWidget* modal) { centre = modal->frameGeometry().center(); });
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(qAbs(centre.x() - screen.center().x()) <= 2);
    QVERIFY(qAbs(centre.y() - screen.center().y()) <= 2);
  }

  void sceneDialogNextToTheScreensEdgeStaysInSight() {
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    const QRect screen = dialog.screen()->availableGeometry();
    // Half off the left edge: centred on the setup dialog, the scene dialog (about 312
    // pixels wide) would start some 20 pixels left of the screen.
    dialog.move(screen.left() - 300, screen.top() + 100);
    QRect opened;
    WhenModal([&opened](QWidget* modal) { opened = modal->frameGeometry(); });
    ClickInside(Find<QPushButton>(&dialog, "Command1(0)"));
    QCOMPARE(opened.left(), screen.left());
    QVERIFY(qAbs(opened.center().y() - dialog.frameGeometry().center().y()) <= 2);
  }

  void setupCancelKeepsWhatASceneDialogStored() {
    qm::qt::SetupDialog dialog;
    ShowAndWait(&dialog);
    ClickInside(Find<QRadioButton>(&dialog, "Option1(4)"));
    ClickInside(Find<QCheckBox>(&dialog, "Check2"));
    QString title;
    WhenModal([&title](QWidget* modal) {
      title = modal->windowTitle();
      auto* slider = modal->findChild<QSlider*>(QStringLiteral("Slider1(0)"));
      slider->setFocus();
      for (int i = 0; i < 3; ++i) QTest::keyClick(slider, Qt::Key_Right);
      ClickInside(modal->findChild<QPushButton*>(QStringLiteral("Command1")));
    });
    ClickInside(Find<QPushButton>(&dialog, "Command1(0)"));
    QCOMPARE(title, QStringLiteral("Flying Balls - Settings"));
    QCOMPARE(Stored("BolasNum"), QStringLiteral("7"));  // 4 and three steps right
    ClickInside(Find<QPushButton>(&dialog, "cmdCancel"));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Stored("BolasNum"), QStringLiteral("7"));
    QCOMPARE(Stored("Saver"), QStringLiteral("1"));
    QCOMPARE(Stored("Mouse"), QStringLiteral("0"));
  }

  void sceneDialogKeysAndDrag() {
    Store("SS04Vel", "3");
    qm::qt::SceneSettingsDialog dialog(qm::SceneDialogId::SS04, nullptr);
    ShowAndWait(&dialog);
    QCOMPARE(dialog.size(), QSize(248, 162));  // 3720 x 2430 twips
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Zelvaro Chapion -Settings"));
    QSlider* slider = dialog.Slider(0);
    QLabel* label = dialog.ValueLabel(0);
    QCOMPARE(slider->value(), 3);
    QCOMPARE(slider->minimum(), 3);
    QCOMPARE(label->text(), QStringLiteral("3"));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(label->text(), QStringLiteral("4"));

    // Drag the thumb to the right: the label follows before the button is released.
    const QPoint from = ThumbCenter(slider);
    SendMouse(slider, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(slider, QEvent::MouseMove, from + QPoint(60, 0), Qt::NoButton, Qt::LeftButton);
    QVERIFY(slider->isSliderDown());
    const int dragged = slider->sliderPosition();
    QVERIFY(dragged > 4);
    QCOMPARE(label->text(), QString::number(dragged));
    SendMouse(slider, QEvent::MouseButtonRelease, from + QPoint(60, 0), Qt::LeftButton,
              Qt::NoButton);
    QCOMPARE(label->text(), QString::number(slider->value()));

    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(label->text(), QStringLiteral("30"));
    ClickInside(dialog.findChild<QPushButton*>(QStringLiteral("Command1")));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Stored("SS04Vel"), QStringLiteral("30"));
  }

  // Tab passes Ok and Cancel on its way to a slider; Enter there must still mean Ok,
  // not the button that last had the focus.
  void sceneDialogEnterOnASliderIsOk() {
    const struct {
      qm::SceneDialogId id;
      const char* name;
      const char* stored;
    } dialogs[] = {{qm::SceneDialogId::SS03, "SS03Vel", "8"},
                   {qm::SceneDialogId::SS05, "SS05Vel", "8"},
                   {qm::SceneDialogId::Bolas, "BolasNum", "8"}};
    for (const auto& d : dialogs) {
      Store(d.name, "7");
      qm::qt::SceneSettingsDialog dialog(d.id, nullptr);
      ShowAndWait(&dialog);
      for (int i = 0; i < 10 && QApplication::focusWidget() != dialog.Slider(0); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QVERIFY2(QApplication::focusWidget() == dialog.Slider(0), "Tab never reaches the slider");
      QTest::keyClick(dialog.Slider(0), Qt::Key_Right);
      QTest::keyClick(dialog.Slider(0), Qt::Key_Return);
      QVERIFY2(!dialog.isVisible(), d.name);
      QCOMPARE(Stored(d.name), QString::fromLatin1(d.stored));
    }
  }

  void sceneDialogCancelAndClamp() {
    Store("BolasNum", "50");
    Store("TrofeusVel", "07");
    {
      qm::qt::SceneSettingsDialog bolas(qm::SceneDialogId::Bolas, nullptr);
      ShowAndWait(&bolas);
      QCOMPARE(bolas.Slider(0)->value(), 20);
      QCOMPARE(bolas.ValueLabel(0)->text(), QStringLiteral("20"));
      QTest::keyClick(bolas.Slider(0), Qt::Key_Home);
      ClickInside(bolas.findChild<QPushButton*>(QStringLiteral("Command2")));
      QVERIFY(!bolas.isVisible());
      QCOMPARE(Stored("BolasNum"), QStringLiteral("50"));
    }
    qm::qt::SceneSettingsDialog tacas(qm::SceneDialogId::Tacas, nullptr);
    ShowAndWait(&tacas);
    QCOMPARE(tacas.ValueLabel(1)->text(), QStringLiteral("7"));
    ClickInside(tacas.findChild<QPushButton*>(QStringLiteral("Command1")));
    QCOMPARE(Stored("TrofeusVel"), QStringLiteral("7"));
  }

  void aboutLinksHoverClickAndOk() {
    Store("Email", "fan@example.org");
    Store("Url", "http://example.org/");
    qm::qt::AboutDialog dialog(nullptr);
    ShowAndWait(&dialog);
    QCOMPARE(dialog.size(), QSize(382, 258));  // 5730 x 3870 twips
    QLabel* mail = dialog.ContactLabel(2);
    QLabel* web = dialog.ContactLabel(3);
    QCOMPARE(mail->text(), QStringLiteral("Email: fan@example.org"));
    QCOMPARE(web->text(), QStringLiteral("WWW: http://example.org/"));
    QCOMPARE(Find<QLabel>(&dialog, "lblVersion")->text(), QStringLiteral("Version 1.2.0"));
    // Both lines show the About box's own 32 x 32 hand, hot spot (13, 9) on its black
    // fingertip, the pixel above it clear.
    for (QLabel* link : {mail, web}) {
      const QCursor hand = link->cursor();
      QCOMPARE(hand.shape(), Qt::BitmapCursor);
      QCOMPARE(hand.hotSpot(), QPoint(13, 9));
      const QImage image = hand.pixmap().toImage();
      QCOMPARE(image.size(), QSize(32, 32));
      QCOMPARE(image.pixel(13, 9), 0xFF000000u);
      QCOMPARE(qAlpha(image.pixel(13, 8)), 0);
      QCOMPARE(image.pixel(14, 11), 0xFFFFFFFFu);  // inside the finger
    }
    QVERIFY(mail->font().underline());
    QVERIFY(mail->styleSheet().contains("0000ff"));
    // The text itself shows in that colour, blue and red under the pointer, over the
    // dialog's face (most of the line).
    const QColor face = dialog.palette().color(QPalette::Window);
    const auto inked = [face](QLabel* label, bool red) {
      const QImage shown = label->grab().toImage();
      int count = 0, bare = 0;
      for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
          const QColor c = shown.pixelColor(x, y);
          const int lit = red ? c.red() : c.blue(), other = red ? c.blue() : c.red();
          count += lit > 150 && other < 100 && c.green() < 100;
          bare += c == face;
        }
      return 2 * bare > shown.width() * shown.height() ? count : -1;
    };
    QVERIFY(inked(mail, false) > 20);
    QCOMPARE(inked(mail, true), 0);

    SendMouse(mail, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    QVERIFY(mail->styleSheet().contains("ff0000"));
    QVERIFY(inked(mail, true) > 20);
    QCOMPARE(inked(mail, false), 0);
    SendMouse(web, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    QVERIFY(web->styleSheet().contains("ff0000"));
    QVERIFY(mail->styleSheet().contains("0000ff"));
    SendMouse(&dialog, QEvent::MouseMove, QPoint(3, 200), Qt::NoButton, Qt::NoButton);
    QVERIFY(web->styleSheet().contains("0000ff"));
    // Out of the box straight from a link: nothing stays lit.
    SendMouse(mail, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    QVERIFY(mail->styleSheet().contains("ff0000"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&dialog, &leave);
    QVERIFY(mail->styleSheet().contains("0000ff"));

    // Only the left button opens a contact line, as on Windows.
    QTest::mouseClick(mail, Qt::RightButton, Qt::NoModifier, QPoint(10, 5));
    QTest::mouseClick(web, Qt::MiddleButton, Qt::NoModifier, QPoint(10, 5));
    QCOMPARE(host_.shellOpened.size(), size_t{0});
    // A press that leaves the line before its release is no click.
    QTest::mousePress(mail, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    QTest::mouseRelease(mail, Qt::LeftButton, Qt::NoModifier, QPoint(10, mail->height() + 20));
    QCOMPARE(host_.shellOpened.size(), size_t{0});
    QTest::mouseClick(mail, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    QCOMPARE(host_.shellOpened.size(), size_t{1});
    QCOMPARE(QString::fromStdString(host_.shellOpened[0].first),
             QStringLiteral("mailto:fan@example.org"));
    QCOMPARE(QString::fromStdString(host_.shellOpened[0].second), QStringLiteral("c:\\"));
    // A double click opens once, and the click after it opens again. It goes in through
    // the window, which delivers it as a real one comes: press, release, press, double
    // click, release.
    host_.shellOpened.clear();
    QTest::mouseDClick(dialog.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       web->mapTo(&dialog, QPoint(10, 5)));
    QCOMPARE(host_.shellOpened.size(), size_t{1});
    QTest::mouseClick(web, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    QCOMPARE(host_.shellOpened.size(), size_t{2});
    // A double click elsewhere takes nothing from the next click on a contact line.
    QLabel* credit = Find<QLabel>(&dialog, "lblDescription2(0)");
    QVERIFY(credit);
    QTest::mouseDClick(dialog.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       credit->mapTo(&dialog, QPoint(10, 5)));
    QTest::mouseClick(mail, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    QCOMPARE(host_.shellOpened.size(), size_t{3});

    ClickInside(Find<QPushButton>(&dialog, "cmdSysInfo"));
    QCOMPARE(host_.messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(host_.messages[0].first),
             QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(QString::fromStdString(host_.messages[0].second),
             QStringLiteral("SCRNSAVE:Quillmark Screen Save"));
    QVERIFY(dialog.isVisible());

    QTest::keyClick(&dialog, Qt::Key_Escape);  // Esc is OK here: everything is stored
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Stored("Email"), QStringLiteral("fan@example.org"));
    QCOMPARE(Stored("Saver"), QStringLiteral("1"));
  }

  // Every line of the About box shows whole in its box, the free-use note among them
  // (on one line, in the band between the credit line and the invitation below).
  void aboutTextsShowWhole() {
    qm::qt::AboutDialog dialog(nullptr);
    ShowAndWait(&dialog);
    QLabel* note = Find<QLabel>(&dialog, "lblDescription2(1)");
    QVERIFY(note);
    QVERIFY(note->isVisible());
    QVERIFY(note->text().startsWith(QStringLiteral("Freeware")));
    QVERIFY(note->geometry().top() >=
            Find<QLabel>(&dialog, "lblDescription2(0)")->geometry().bottom());
    QVERIFY(note->geometry().bottom() <
            Find<QLabel>(&dialog, "lblDescription2(2)")->geometry().top());
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->text().isEmpty() || !label->isVisible()) continue;
      const QFontMetrics metrics(label->font());
      const QRect needed =
          label->wordWrap()
              ? metrics.boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap,
                                     label->text())
              : QRect(0, 0, metrics.horizontalAdvance(label->text()), metrics.height());
      QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
               qPrintable(label->objectName() + ": " + label->text()));
    }
  }

  // The icon is a red ring: the face shows around it and in its middle, in the About box
  // as in the title bar.
  void aboutIconShowsTheFaceAroundAndInsideItsRing() {
    qm::qt::AboutDialog dialog(nullptr);
    ShowAndWait(&dialog);
    auto* picIcon = Find<QLabel>(&dialog, "picIcon");
    QVERIFY(picIcon);
    const QImage shown = picIcon->grab().toImage();
    const QColor face = dialog.palette().color(QPalette::Window);
    QVERIFY(face != QColor(Qt::black));
    QCOMPARE(shown.pixelColor(0, 0), face);
    QCOMPARE(shown.pixelColor(31, 31), face);
    QCOMPARE(shown.pixelColor(16, 16), face);
    int red = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const QColor c = shown.pixelColor(x, y);
        red += c.red() > 2 * c.green() && c.red() > 2 * c.blue();
      }
    QVERIFY2(red > 50, qPrintable(QString::number(red)));
    const QImage titleIcon = dialog.windowIcon().pixmap(QSize(32, 32)).toImage();
    QCOMPARE(titleIcon.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(titleIcon.pixelColor(16, 16).alpha(), 0);
  }

  // The About box's hidden text boxes stay hidden, and its etched separator is the
  // design's: a grey row at 2820 twips (row 188) over a white line two rows wide, which
  // shows below it.
  void aboutHiddenBoxesAndSeparator() {
    qm::qt::AboutDialog dialog(nullptr);
    ShowAndWait(&dialog);
    for (const char* name : {"Text1", "Text2"}) {
      QVERIFY2(Find<QWidget>(&dialog, name), name);
      QVERIFY2(!Find<QWidget>(&dialog, name)->isVisible(), name);
    }
    const QImage shown = dialog.grab().toImage();
    const QColor face = dialog.palette().color(QPalette::Window);
    for (int x : {10, 200, 370}) {
      QCOMPARE(shown.pixelColor(x, 187), face);
      QCOMPARE(shown.pixelColor(x, 188), QColor(128, 128, 128));
      QCOMPARE(shown.pixelColor(x, 189), QColor(Qt::white));
      QCOMPARE(shown.pixelColor(x, 190), face);
    }
  }

  void screenshots() {
    {
      qm::qt::AboutDialog about(nullptr);
      ShowAndWait(&about);
      SaveShot(&about, "about.png");
    }
    const struct {
      qm::SceneDialogId id;
      const char* file;
    } scenes[] = {{qm::SceneDialogId::Bolas, "frmBolas.png"},
                  {qm::SceneDialogId::Tacas, "frmTacas.png"},
                  {qm::SceneDialogId::SS03, "frmSS03.png"},
                  {qm::SceneDialogId::SS04, "frmSS04.png"},
                  {qm::SceneDialogId::SS05, "frmSS05.png"}};
    for (const auto& scene : scenes) {
      qm::qt::SceneSettingsDialog dialog(scene.id, nullptr);
      ShowAndWait(&dialog);
      SaveShot(&dialog, scene.file);
    }
    // The etched separator: grey at 2400 twips, white at 2410 in the two-slider
    // dialogs, grey at 1740 and white at 1755 in the others; to the nearest pixel,
    // rows 160 and 161, and 116 and 117.
    const struct {
      qm::SceneDialogId id;
      int grey;
    } separators[] = {{qm::SceneDialogId::Bolas, 160}, {qm::SceneDialogId::SS03, 116}};
    for (const auto& separator : separators) {
      qm::qt::SceneSettingsDialog dialog(separator.id, nullptr);
      ShowAndWait(&dialog);
      const QImage shot = dialog.grab().toImage();
      QCOMPARE(shot.pixelColor(100, separator.grey), QColor(128, 128, 128));
      QCOMPARE(shot.pixelColor(100, separator.grey + 1), QColor(255, 255, 255));
    }
  }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
