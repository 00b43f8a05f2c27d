#include "Keyboard.h"

#include "FormWindow.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace qel {
namespace {

class OptionGroup final : public QObject
{
public:
    OptionGroup(const QList<QRadioButton*>& group, QObject* parent) : QObject(parent), m_group(group)
    {
        for (QRadioButton* button : m_group) {
            button->installEventFilter(this);
            connect(button, &QRadioButton::toggled, this, &OptionGroup::updateTabStop);
        }
        updateTabStop();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        int step = 0;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            step = -1;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            step = 1;
            break;
        default:
            return false;
        }
        const auto count = m_group.size();
        const auto from = m_group.indexOf(static_cast<QRadioButton*>(watched));
        for (qsizetype i = 1; i < count; ++i) {
            QRadioButton* next = m_group[((from + step * i) % count + count) % count];
            if (!next->isEnabled() || next->isHidden())
                continue;
            next->window()->setAttribute(Qt::WA_KeyboardFocusChange);
            next->setFocus(Qt::OtherFocusReason);
            next->click();
            break;
        }
        return true;
    }

private:
    void updateTabStop()
    {
        const bool anyChosen =
            std::any_of(m_group.begin(), m_group.end(), [](const QRadioButton* b) { return b->isChecked(); });
        for (QRadioButton* button : m_group) {
            const bool stop = anyChosen ? button->isChecked() : button == m_group.first();
            button->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
        }
    }

    QList<QRadioButton*> m_group;
};

class EnterPresses final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!IsEnterPress(event))
            return false;
        auto* button = static_cast<QPushButton*>(watched);
        if (!button->isEnabled() || static_cast<QKeyEvent*>(event)->isAutoRepeat())
            return false;
        button->click();
        return true;
    }
};

} // namespace

void MakeOptionGroup(const QList<QRadioButton*>& group)
{
    if (!group.isEmpty())
        new OptionGroup(group, group.first());
}

void PressFocusedButtonOnEnter(QWidget* window)
{
    auto* filter = new EnterPresses(window);
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->window() == window)
            button->installEventFilter(filter);
    }
}

} // namespace qel
