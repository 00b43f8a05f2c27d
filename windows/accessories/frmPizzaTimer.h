#pragma once

#include "windows/common/FormWindow.h"
#include "windows/common/WindowContext.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace qel {

class StatusPanels;

// The pizza timer: a kind of pizza, its minutes, and a countdown that follows the clock. Inside the
// encryption program it also counts in the main window's status bar and runs on while hidden; opened
// from the login window it stands alone.
class frmPizzaTimer final : public FormWindow<QWidget>
{
public:
    explicit frmPizzaTimer(const WindowContext& context);
    ~frmPizzaTimer() override;

    void Form_Load() override;
    void Form_Unload() override;

    void Grandiosa_Click();
    void BigOne_Click();
    void Annet_Click();
    // Enter starts the countdown; returns whether the key was taken.
    bool txtTime_KeyPress(int keyAscii);
    void Go_Click();
    void PizzaTimer_Timer();
    void Stopp_Click();
    void Lukk_Click();

    QLabel* Label2() const { return m_Label2; }
    QLineEdit* txtTime() const { return m_txtTime; }
    QRadioButton* Grandiosa() const { return m_Grandiosa; }
    QRadioButton* BigOne() const { return m_BigOne; }
    QRadioButton* Annet() const { return m_Annet; }
    QPushButton* Go() const { return m_Go; }
    QPushButton* Stopp() const { return m_Stopp; }
    QPushButton* Lukk() const { return m_Lukk; }
    QTimer* PizzaTimer() const { return m_PizzaTimer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box does what "Lukk" does, so that closing never leaves the program without a window.
    void closeEvent(QCloseEvent* event) override;
    // New windows go where the windowing system puts them.
    void placeOnFirstShow() override {}

private:
    void createControls();
    void chooseKind(const char32_t* minutes, const char32_t* kind);
    void setCounting(bool counting);
    void updateEnabledStates();
    void refuse(const QString& caption);
    void setDisplay(const QString& caption, const QColor& colour);
    void finish();
    bool loggedIn() const;
    // The main window's status bar, while the main window is loaded.
    StatusPanels* mainStatusBar() const;
    // The main window's status bar while logged in; nullptr in standalone use.
    StatusPanels* statusBar() const;
    // The status bar the running countdown mirrors itself in, if it does.
    StatusPanels* mirror() const;

    ApplicationState& m_state;
    Services& m_services;

    QLabel* m_GrandiHjerte;
    QLabel* m_Label1;
    QLabel* m_Label2;
    QRadioButton* m_Grandiosa;
    QRadioButton* m_BigOne;
    QRadioButton* m_Annet;
    QLineEdit* m_txtTime;
    QPushButton* m_Go;
    QPushButton* m_Stopp;
    QPushButton* m_Lukk;
    QTimer* m_PizzaTimer;

    int m_StartMinute = 0;
    bool m_counting = false;
    // Whether the running countdown took over the main window's tip panel. Decided once, at "GO!": the
    // same pizza timer can be reopened from the login window after a panic, and the panel it took must
    // still be given back.
    bool m_mirrored = false;
    // The end-of-countdown box is open: ticks delivered inside it must not open another.
    bool m_finishing = false;
};

} // namespace qel
