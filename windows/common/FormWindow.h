#pragma once

#include "Design.h"
#include "Keyboard.h"
#include "WindowManager.h"
#include "app/WindowRules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace qel {

// A press of Enter, from the main keyboard or the keypad: what a text box's KeyPress handler sees as
// character 13.
inline bool IsEnterPress(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Alt with a key that types: an access key, which a text box must not take as the character.
inline bool IsAltTyping(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    // AltGr comes as Ctrl+Alt on Windows; it types.
    return (key->modifiers() & Qt::AltModifier) != 0 && (key->modifiers() & Qt::ControlModifier) == 0 &&
           !key->text().isEmpty();
}

// Escape anywhere in a dialog-like window answers it as its way back does, as it would a dialog box.
inline void OnEscape(QWidget* window, std::function<void()> back)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, std::move(back));
}

// Binds a Qt top-level widget to the window rules: showing, hiding and destroying go through the
// widget; its close box is an Unload of the window, which the rules carry out.
template <typename Widget>
class FormWindow : public Widget, public Form
{
public:
    FormWindow(WindowRules& rules, WindowId id) : m_rules(rules), m_id(id) { KeepFixedSizesUnmaximised(); }

    void makeVisible() override
    {
        if (!m_placed) {
            placeOnFirstShow();
            PressFocusedButtonOnEnter(this);
            Design::FitCaptions(this);
            m_placed = true;
        }
        if (QWidget* active = QApplication::activeWindow(); active != nullptr && active != this)
            m_cameFrom = active;
        Widget::show();
        Widget::raise();
        Widget::activateWindow();
    }
    void makeHidden() override
    {
        Widget::hide();
        ReturnFocus();
    }
    bool isShown() const override { return Widget::isVisible(); }
    // The handler that unloads a window often runs inside it, so the widget goes once control is
    // back in the event loop.
    void dispose() override
    {
        Widget::hide();
        ReturnFocus();
        Widget::deleteLater();
    }

protected:
    WindowRules& rules() const { return m_rules; }

    // A window is centred on its screen the first time it shows; a window that covers the screen
    // places itself.
    virtual void placeOnFirstShow() { CentreOnScreen(); }

    // Centred on another window of the program while that one is on the screen (a dialog on the
    // window it came from), else on the screen. The frame is not known before the first show, so the
    // client area is what is centred.
    void CentreOnWindow(WindowId ownerId)
    {
        const auto* owner = m_rules.template Find<QWidget>(ownerId);
        if (owner == nullptr || !owner->isVisible()) {
            FormWindow::placeOnFirstShow();
            return;
        }
        QRect area = Widget::geometry();
        area.moveCenter(owner->frameGeometry().center());
        Widget::setGeometry(area);
        // Where a window cannot place itself (Wayland), the compositor places it over its parent.
        Widget::winId();
        Widget::windowHandle()->setTransientParent(owner->windowHandle());
    }

    // The focused control is drawn as focused as soon as the window opens, as after a Tab; styles
    // otherwise draw the focus only once the keyboard has moved it.
    void ShowFocusFromOpening() { m_showFocus = true; }

    bool event(QEvent* event) override
    {
        // Decided before the base handles the event: a deferred delete ends this window inside it.
        const bool showFocus = m_showFocus && event->type() == QEvent::WindowActivate;
        const bool handled = Widget::event(event);
        if (showFocus)
            Widget::setAttribute(Qt::WA_KeyboardFocusChange);
        return handled;
    }

    // The close box unloads this window alone.
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        m_rules.Unload(m_id);
    }

    static QScreen* ScreenOf(const QWidget* widget)
    {
        return widget->screen() != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    }

private:
    // The keyboard goes back to the window the user came from, while it is on the screen; without a
    // window manager nothing else would give it the focus, and typing would land nowhere.
    void ReturnFocus()
    {
        if (m_cameFrom != nullptr && m_cameFrom->isVisible())
            m_cameFrom->activateWindow();
    }

    void CentreOnScreen()
    {
        const QScreen* screen = ScreenOf(this);
        if (screen == nullptr)
            return;
        QRect frame = Widget::frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        Widget::move(frame.topLeft());
    }

    WindowRules& m_rules;
    WindowId m_id;
    bool m_placed = false;
    QPointer<QWidget> m_cameFrom;
    bool m_showFocus = false;
};

} // namespace qel
