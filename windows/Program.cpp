#include "Program.h"

#include <QCoreApplication>
#include <QTimer>

namespace qel {

void QuitWhenAllUnloaded(WindowRules& windows, std::function<void()> quit)
{
    windows.onAllUnloaded([&windows, quit = std::move(quit)] {
        QTimer::singleShot(0, QCoreApplication::instance(), [&windows, quit] {
            if (windows.Loaded().empty())
                quit();
        });
    });
}

} // namespace qel
