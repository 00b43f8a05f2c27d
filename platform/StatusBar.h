#pragma once

#include "cipher/Text.h"

#include <QFrame>

#include <vector>

class QHBoxLayout;
class QLabel;

namespace qel {

// A status bar's panels, addressed by position from 1. Positions outside 1..count() are ignored, and
// an absent panel reads as an empty text.
class StatusPanels
{
public:
    virtual ~StatusPanels() = default;
    virtual int count() const = 0;
    // Appends an empty panel after the last one.
    virtual void add() = 0;
    // Removes the panel at position; those after it move up by one.
    virtual void remove(int position) = 0;
    virtual Text text(int position) const = 0;
    virtual void setText(int position, const Text& text) = 0;
    // From now on the panel is as wide as its text, whatever the text becomes.
    virtual void sizeToContents(int position) = 0;
    virtual bool isSizedToContents(int position) const = 0;
};

// A status bar of sunken panels side by side. A panel not sized to its contents keeps the standard
// width of an inch.
class StatusBar final : public QFrame, public StatusPanels
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget* parent = nullptr);

    int count() const override;
    void add() override;
    void remove(int position) override;
    Text text(int position) const override;
    void setText(int position, const Text& text) override;
    void sizeToContents(int position) override;
    bool isSizedToContents(int position) const override;

    // The label that shows a panel, for looking at it; nullptr outside 1..count().
    QLabel* panelLabel(int position) const;

private:
    struct Panel {
        QLabel* label;
        Text text;
        bool sizedToContents;
    };

    Panel* at(int position);
    const Panel* at(int position) const;
    void updateWidth(const Panel& panel);

    QHBoxLayout* m_layout;
    std::vector<Panel> m_panels;
};

} // namespace qel
