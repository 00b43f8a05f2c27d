// The yardstick for start-up: the least a Qt Widgets program does to show a window with a title, built
// with the same compiler, flags and Qt as the program.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(320, 200);
    window.show();
    return QApplication::exec();
}
