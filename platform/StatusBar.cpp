#include "StatusBar.h"

#include "QtText.h"

#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QLabel>

#include <mutex>

namespace qel {
namespace {

// An inch at the 15 twips to a pixel that all layouts use.
constexpr int StandardPanelWidth = 96;
// Room for the panel's sunken frame and a little air on each side of the text.
constexpr int PanelPadding = 10;

// Screen readers read a status bar by its role; as a plain frame it would be passed over. Its panels
// stay its children, in order.
QAccessibleInterface* StatusBarAccessible(const QString& key, QObject* object)
{
    auto* bar = qobject_cast<StatusBar*>(object);
    if (key != QLatin1String(StatusBar::staticMetaObject.className()) || bar == nullptr)
        return nullptr;
    return new QAccessibleWidget(bar, QAccessible::StatusBar);
}

} // namespace

StatusBar::StatusBar(QWidget* parent) : QFrame(parent), m_layout(new QHBoxLayout(this))
{
    static std::once_flag accessible;
    std::call_once(accessible, [] { QAccessible::installFactory(StatusBarAccessible); });
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    m_layout->addStretch(1);
}

int StatusBar::count() const
{
    return static_cast<int>(m_panels.size());
}

void StatusBar::add()
{
    auto* label = new QLabel(this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setIndent(3);
    m_layout->insertWidget(count(), label);
    m_panels.push_back({label, Text(), false});
    updateWidth(m_panels.back());
}

void StatusBar::remove(int position)
{
    Panel* panel = at(position);
    if (panel == nullptr)
        return;
    delete panel->label;
    m_panels.erase(m_panels.begin() + (position - 1));
}

Text StatusBar::text(int position) const
{
    const Panel* panel = at(position);
    return panel == nullptr ? Text() : panel->text;
}

void StatusBar::setText(int position, const Text& text)
{
    Panel* panel = at(position);
    if (panel == nullptr)
        return;
    panel->text = text;
    panel->label->setText(ToQString(text));
    updateWidth(*panel);
}

void StatusBar::sizeToContents(int position)
{
    Panel* panel = at(position);
    if (panel == nullptr)
        return;
    panel->sizedToContents = true;
    updateWidth(*panel);
}

bool StatusBar::isSizedToContents(int position) const
{
    const Panel* panel = at(position);
    return panel != nullptr && panel->sizedToContents;
}

QLabel* StatusBar::panelLabel(int position) const
{
    const Panel* panel = at(position);
    return panel == nullptr ? nullptr : panel->label;
}

StatusBar::Panel* StatusBar::at(int position)
{
    if (position < 1 || position > count())
        return nullptr;
    return &m_panels[static_cast<std::size_t>(position - 1)];
}

const StatusBar::Panel* StatusBar::at(int position) const
{
    return const_cast<StatusBar*>(this)->at(position);
}

void StatusBar::updateWidth(const Panel& panel)
{
    const int width = panel.sizedToContents
                          ? panel.label->fontMetrics().horizontalAdvance(panel.label->text()) + PanelPadding
                          : StandardPanelWidth;
    panel.label->setFixedWidth(width);
}

} // namespace qel
