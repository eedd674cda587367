// The Qt program. Until the main window is built it shows an empty frame.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Plumex");
  QMainWindow window;
  window.setWindowTitle("Plumex Ver5");
  window.resize(600, 600);
  window.show();
  return app.exec();
}
