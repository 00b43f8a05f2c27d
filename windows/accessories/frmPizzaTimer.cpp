#include "frmPizzaTimer.h"

#include "PizzaCountdown.h"
#include "platform/EditMenu.h"
#include "platform/QtText.h"
#include "platform/StatusBar.h"
#include "windows/common/Design.h"
#include "windows/main/Tips.h"
#include "windows/main/frmCrypt.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <initializer_list>

namespace qel {

using Design::Place;

namespace {

// The clock is looked at this often; the display follows a change of its minute within one tick.
constexpr int TickMilliseconds = 5000;
const QColor FinishedColour(255, 0, 0);

} // namespace

frmPizzaTimer::frmPizzaTimer(const WindowContext& context)
    : FormWindow(context.windows, WindowId::frmPizzaTimer), m_state(context.state),
      m_services(context.services), m_GrandiHjerte(new QLabel(this)),
      m_Label1(new QLabel(QStringLiteral("Time Remaining:"), this)), m_Label2(new QLabel(this)),
      m_Grandiosa(new QRadioButton(QStringLiteral("Grandiosa"), this)),
      m_BigOne(new QRadioButton(QStringLiteral("Big One"), this)),
      m_Annet(new QRadioButton(QStringLiteral("Other"), this)),
      m_txtTime(new QLineEdit(QStringLiteral("12"), this)),
      m_Go(new QPushButton(QStringLiteral("GO!"), this)),
      m_Stopp(new QPushButton(QStringLiteral("Stopp"), this)),
      m_Lukk(new QPushButton(QStringLiteral("Lukk"), this)), m_PizzaTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmPizzaTimer"));
    // A tool window: small title bar with a close box, kept out of the task bar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Design::Twips(3780), Design::Twips(3885));
    createControls();
    updateEnabledStates();
}

frmPizzaTimer::~frmPizzaTimer() = default;

void frmPizzaTimer::createControls()
{
    m_GrandiHjerte->setObjectName(QStringLiteral("GrandiHjerte"));
    m_GrandiHjerte->setAccessibleName(QStringLiteral("Grandiosa-hjerte"));
    // Drawn at the size it is shown and at twice that; other scales are scaled smoothly.
    QIcon heart;
    heart.addFile(QStringLiteral(":/pictures/grandihjerte.gif"));
    heart.addFile(QStringLiteral(":/pictures/grandihjerte@2x.gif"));
    m_GrandiHjerte->setPixmap(
        heart.pixmap(QSize(Design::Twips(2175), Design::Twips(1815)), devicePixelRatio()));
    m_GrandiHjerte->setScaledContents(true);
    Place(m_GrandiHjerte, 840, 240, 2175, 1815);

    m_Label1->setObjectName(QStringLiteral("Label1"));
    Place(m_Label1, 120, 2640, 1215, 255);

    const QFont large = Design::SansSerif(13.5, true);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    m_Label2->setAccessibleDescription(QStringLiteral("Tid igjen"));
    m_Label2->setFont(large);
    m_Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(m_Label2, 120, 2880, 1215, 495);

    struct KindDesign {
        QRadioButton* button;
        const char* name;
        int top;
        void (frmPizzaTimer::*handler)();
    };
    for (const KindDesign& kind :
         {KindDesign{m_Grandiosa, "Grandiosa", 2280, &frmPizzaTimer::Grandiosa_Click},
          KindDesign{m_BigOne, "BigOne", 2520, &frmPizzaTimer::BigOne_Click},
          KindDesign{m_Annet, "Annet", 2760, &frmPizzaTimer::Annet_Click}}) {
        kind.button->setObjectName(QString::fromUtf8(kind.name));
        Place(kind.button, 2160, kind.top, 1215, 195);
        // A click, or an arrow key in the group, even on the kind already chosen: it puts the kind's
        // minutes back.
        connect(kind.button, &QRadioButton::clicked, this, kind.handler);
    }
    m_Grandiosa->setChecked(true);
    MakeOptionGroup({m_Grandiosa, m_BigOne, m_Annet});

    m_txtTime->setObjectName(QStringLiteral("txtTime"));
    m_txtTime->setAccessibleName(QStringLiteral("Minutter"));
    m_txtTime->setAccessibleDescription(QStringLiteral("Steketiden i minutter, opptil 59"));
    m_txtTime->setFont(large);
    m_txtTime->installEventFilter(this);
    UseNorwegianEditMenu(m_txtTime);
    Place(m_txtTime, 2280, 3000, 495, 495);

    m_Go->setObjectName(QStringLiteral("Go"));
    m_Go->setFont(large);
    Place(m_Go, 2880, 3000, 735, 495);
    connect(m_Go, &QPushButton::clicked, this, &frmPizzaTimer::Go_Click);

    m_Stopp->setObjectName(QStringLiteral("Stopp"));
    Place(m_Stopp, 2880, 3600, 735, 255);
    connect(m_Stopp, &QPushButton::clicked, this, &frmPizzaTimer::Stopp_Click);

    m_Lukk->setObjectName(QStringLiteral("Lukk"));
    Place(m_Lukk, 2160, 3600, 615, 255);
    connect(m_Lukk, &QPushButton::clicked, this, &frmPizzaTimer::Lukk_Click);

    m_PizzaTimer->setObjectName(QStringLiteral("PizzaTimer"));
    m_PizzaTimer->setInterval(TickMilliseconds);
    connect(m_PizzaTimer, &QTimer::timeout, this, &frmPizzaTimer::PizzaTimer_Timer);

    setTabOrder(m_txtTime, m_Go);
    setTabOrder(m_Go, m_Grandiosa);
    setTabOrder(m_Grandiosa, m_BigOne);
    setTabOrder(m_BigOne, m_Annet);
    setTabOrder(m_Annet, m_Stopp);
    setTabOrder(m_Stopp, m_Lukk);
    m_txtTime->setFocus();
}

// Counting runs the timer and locks the entry.
void frmPizzaTimer::setCounting(bool counting)
{
    m_counting = counting;
    if (counting)
        m_PizzaTimer->start();
    else
        m_PizzaTimer->stop();
    updateEnabledStates();
}

// The one place that decides which controls are enabled: while counting, only "Stopp" and "Lukk".
void frmPizzaTimer::updateEnabledStates()
{
    for (QWidget* control : std::initializer_list<QWidget*>{m_Grandiosa, m_BigOne, m_Annet, m_txtTime, m_Go})
        control->setEnabled(!m_counting);
    m_Stopp->setEnabled(m_counting);
}

bool frmPizzaTimer::loggedIn() const
{
    return m_state.LoggedIn;
}

StatusPanels* frmPizzaTimer::mainStatusBar() const
{
    auto* main = rules().Find<frmCrypt>(WindowId::frmCrypt);
    return main != nullptr ? main->StatusBar1() : nullptr;
}

StatusPanels* frmPizzaTimer::statusBar() const
{
    return loggedIn() ? mainStatusBar() : nullptr;
}

StatusPanels* frmPizzaTimer::mirror() const
{
    return m_mirrored ? mainStatusBar() : nullptr;
}

// An unloaded window waits for the event loop to delete it; its countdown must not finish meanwhile.
void frmPizzaTimer::Form_Unload()
{
    setCounting(false);
}

void frmPizzaTimer::Form_Load()
{
    m_PizzaTimer->stop();
    m_state.PizzaKind = U"Grandi";
    setWindowTitle(loggedIn() ? QStringLiteral("qelPizzaTimer")
                              : QStringLiteral("qelPizzaTimer - Demo verisjon!"));
}

void frmPizzaTimer::chooseKind(const char32_t* minutes, const char32_t* kind)
{
    m_txtTime->setText(ToQString(minutes));
    m_state.PizzaKind = kind;
}

void frmPizzaTimer::Grandiosa_Click()
{
    chooseKind(U"12", U"Grandi");
}

void frmPizzaTimer::BigOne_Click()
{
    chooseKind(U"25", U"Big1");
}

void frmPizzaTimer::Annet_Click()
{
    chooseKind(U"", U"Pizza");
    m_txtTime->setFocus();
}

bool frmPizzaTimer::txtTime_KeyPress(int keyAscii)
{
    if (keyAscii != 13)
        return false;
    Go_Click();
    return true;
}

bool frmPizzaTimer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtTime && IsEnterPress(event))
        return txtTime_KeyPress(13);
    if (watched == m_txtTime && IsAltTyping(event))
        return true;
    return FormWindow::eventFilter(watched, event);
}

void frmPizzaTimer::refuse(const QString& caption)
{
    m_Label2->setText(caption);
    m_txtTime->setFocus();
}

void frmPizzaTimer::setDisplay(const QString& caption, const QColor& colour)
{
    Design::SetTextColour(m_Label2, colour);
    m_Label2->setText(caption);
}

void frmPizzaTimer::Go_Click()
{
    switch (ReadPizzaEntry(FromQString(m_txtTime->text())).kind) {
    case PizzaEntry::Empty:
        m_txtTime->setFocus();
        return;
    case PizzaEntry::TooMuch:
        refuse(QStringLiteral("MYE?"));
        return;
    case PizzaEntry::Negative:
        refuse(QStringLiteral("Minus?"));
        return;
    case PizzaEntry::Start:
        break;
    }
    StatusPanels* bar = statusBar();
    m_mirrored = bar != nullptr;
    if (bar != nullptr)
        bar->remove(2);
    m_state.PizzaStartPending = true;
    setCounting(true);
    PizzaTimer_Timer();
}

void frmPizzaTimer::PizzaTimer_Timer()
{
    if (m_finishing)
        return;
    // The entry is locked while counting, so it still holds the minutes that were started.
    const int minutes = ReadPizzaEntry(FromQString(m_txtTime->text())).minutes;
    const int now = m_services.clock.now().time().minute();
    StatusPanels* bar = mirror();
    if (m_state.PizzaStartPending) {
        if (bar != nullptr) {
            bar->add();
            bar->sizeToContents(2);
        }
        m_StartMinute = now;
    }
    m_state.PizzaStartPending = false;

    const int left = MinutesLeft(minutes, m_StartMinute, now);
    const QString caption = QString::number(left) + QStringLiteral(" min.");
    setDisplay(caption, palette().color(QPalette::ButtonText));
    if (bar != nullptr)
        bar->setText(2, FromQString(caption) + U" left on " + m_state.PizzaKind + U"'en");
    // A clock set back can put the end behind us: that pizza is done too.
    if (left <= 0)
        finish();
}

void frmPizzaTimer::finish()
{
    m_finishing = true;
    setDisplay(QStringLiteral("FERDIG!"), FinishedColour);
    if (StatusPanels* bar = mirror())
        bar->setText(2, m_state.PizzaKind + U"'en er ferdig!!");
    if (m_state.PizzaHidden) {
        const QPointer<frmPizzaTimer> alive(this);
        m_services.dialogs.showMessage(PizzaDoneMessage(m_state.PizzaKind));
        if (alive.isNull())
            return;
    }
    if (StatusPanels* bar = mirror())
        bar->remove(2);
    setCounting(false);
    m_services.beep.beep();
    if (StatusPanels* bar = mirror())
        ShowTip(*bar, m_services.random);
    m_mirrored = false;
    m_finishing = false;
}

void frmPizzaTimer::Stopp_Click()
{
    if (StatusPanels* bar = mirror()) {
        bar->remove(2);
        ShowTip(*bar, m_services.random);
    }
    m_mirrored = false;
    setCounting(false);
    m_Label2->setText(QStringLiteral("Stoppet"));
}

void frmPizzaTimer::Lukk_Click()
{
    if (loggedIn()) {
        m_state.PizzaHidden = true;
        rules().Hide(WindowId::frmPizzaTimer);
        return;
    }
    rules().Unload(WindowId::frmPizzaTimer);
    rules().Show(WindowId::frmLogin);
}

void frmPizzaTimer::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Lukk_Click();
}

} // namespace qel
