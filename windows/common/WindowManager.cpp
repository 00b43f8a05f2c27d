#include "WindowManager.h"

#include <QCoreApplication>
#include <QPlatformSurfaceEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace qel {
namespace {

constexpr const char* Watched = "qelMaximiseWatched";
constexpr const char* FixedSize = "qelFixedSize";

// Qt sends the request before anything in the program hears of it, and it cannot be withdrawn
// before the compositor answers: the window takes the answer (the screen's size) for a moment, then
// asks to be restored and is of its fixed size again.
void Follow(QWindow* window)
{
    const bool maximised = (window->windowStates() & Qt::WindowMaximized) != 0;
    const QVariant fixed = window->property(FixedSize);
    if (maximised && !fixed.isValid() && window->minimumSize() == window->maximumSize()) {
        window->setProperty(FixedSize, window->minimumSize());
        window->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    } else if (!maximised && fixed.isValid()) {
        window->setProperty(FixedSize, QVariant());
        window->setMaximumSize(fixed.toSize());
        window->setMinimumSize(fixed.toSize());
    }
}

class MaximiseGuard final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = qobject_cast<QWindow*>(watched);
        if (window == nullptr)
            return false;
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceCreated &&
            !window->property(Watched).toBool()) {
            window->setProperty(Watched, true);
            connect(window, &QWindow::windowStateChanged, window, [window] { Follow(window); });
        } else if (event->type() == QEvent::Resize && window->property(FixedSize).isValid() &&
                   (window->windowStates() & Qt::WindowMaximized) != 0) {
            // The compositor's maximised size has arrived: now a restore request reaches it.
            QTimer::singleShot(0, window, [window] {
                window->setWindowStates(window->windowStates() & ~Qt::WindowMaximized);
            });
        }
        return false;
    }
};

} // namespace

void KeepFixedSizesUnmaximised()
{
    static MaximiseGuard* guard = nullptr;
    if (guard != nullptr || QCoreApplication::instance() == nullptr)
        return;
    guard = new MaximiseGuard(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(guard);
}

} // namespace qel
