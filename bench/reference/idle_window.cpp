// The floor under the saver's CPU share: a black, borderless window over the whole
// screen, woken every 50 ms by a precise Qt timer that does nothing, as the saver is
// woken for its scene steps. scripts/measure-cpu.sh measures it beside the saver, so
// that the saver's share can be read against what waking alone costs on that machine.
#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  QPalette black = window.palette();
  black.setColor(QPalette::Window, Qt::black);
  window.setPalette(black);
  window.setAutoFillBackground(true);
  window.setGeometry(QGuiApplication::primaryScreen()->geometry());
  window.show();
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [] {});
  tick.start(50);
  return QApplication::exec();
}
