// The baseline of the start-up benchmark: the least a Qt Widgets program does to show a
// window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.resize(640, 480);
    w.show();
    return app.exec();
}
