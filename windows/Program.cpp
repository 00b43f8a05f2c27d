#include "Program.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace qel {

void QuitWhenAllUnloaded(WindowRules& windows, QObject* context, std::function<void()> quit)
{
    // One check is enough however many windows a handler unloads.
    auto pending = std::make_shared<bool>(false);
    windows.onUnloaded([&windows, context = QPointer<QObject>(context), pending, quit = std::move(quit)] {
        if (*pending || context.isNull())
            return;
        *pending = true;
        QTimer::singleShot(0, context, [&windows, pending, quit] {
            *pending = false;
            if (windows.Loaded().empty())
                quit();
            else if (!windows.AnyShown())
                windows.UnloadAll();
        });
    });
}

} // namespace qel
