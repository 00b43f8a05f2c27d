#pragma once

#include "windows/common/FormWindow.h"
#include "windows/common/WindowContext.h"

#include <QLabel>
#include <QWidget>

#include <vector>

namespace qel {

// The crash screen's text, 501 characters on one line; its runs of blanks lay it out once wrapped.
Text PanicText();

// Breaks a text into lines of at most columns characters, as a fixed-pitch label does: at blanks,
// where each blank takes a column of its own, the one blank a line ends at is dropped, and a word
// longer than a line is cut.
std::vector<Text> WrapAtBlanks(TextView text, int columns);

// A label that wraps its text the way the crash screen needs: blanks count, so runs of them move text
// down and across.
class CrashText final : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// The panic screen: the whole screen dark blue, with the text of a system crash. A click or a key
// that types a character leaves it for the login window.
class frmPanikk final : public FormWindow<QWidget>
{
public:
    explicit frmPanikk(const WindowContext& context);
    ~frmPanikk() override;

    void Form_Load() override;
    // Covers every screen: the crash text on the main window's, plain blue on the others.
    void makeVisible() override;

    QLabel* lblPanikk() const { return m_lblPanikk; }
    // The plain blue windows over the other screens while the panic screen shows.
    const std::vector<QWidget*>& covers() const { return m_covers; }

    void lblPanikk_Click();
    void Form_Click();
    void Form_KeyPress();

protected:
    void placeOnFirstShow() override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QScreen* mainWindowScreen() const;
    void centreText(const QSize& screen);

    CrashText* m_lblPanikk;
    std::vector<QWidget*> m_covers;
    QSize m_centredFor;
};

// Takes the panic screen away and brings up the login window, emptied.
void LeavePanic(WindowRules& windows);

} // namespace qel
