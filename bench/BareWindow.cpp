// The yardstick for start-up: the least a Qt Widgets program does to show a window with a title, built
// with the same compiler, flags and Qt as the program. Built a second time with one line of text in it:
// text brings fontconfig, FreeType and HarfBuzz before the window can map, which any window that shows
// words pays.
#include <QApplication>
#include <QWidget>
#ifdef QEL_BARE_LABEL
#include <QLabel>
#endif

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
#ifdef QEL_BARE_LABEL
    QLabel label(QStringLiteral("Bare window"), &window);
    label.move(8, 8);
#endif
    window.resize(320, 200);
    window.show();
    return QApplication::exec();
}
