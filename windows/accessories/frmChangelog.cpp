#include "frmChangelog.h"

#include "platform/TextBox.h"
#include "windows/common/Design.h"

#include <QPushButton>

namespace qel {

using Design::Place;

namespace {

// The application's title, as on every box without one of its own.
const Text Title = U"qelPortal";

MessageBoxRequest NoPrinterBox()
{
    return {U"Fant ingen skriver, så ingenting ble skrevet ut.", Title, MessageButtons::Ok,
            MessageIcon::Exclamation};
}

MessageBoxRequest PrintFailedBox()
{
    return {U"Utskriften feilet! Sjekk skriveren og prøv igjen.", Title, MessageButtons::Ok,
            MessageIcon::Critical};
}

} // namespace

// The controls are created in their tab order, which is also the order of the focus chain.
frmChangelog::frmChangelog(const WindowContext& context)
    : FormWindow(context.windows, WindowId::frmChangelog), m_services(context.services),
      m_cmdBack(new QPushButton(QStringLiteral("Tilbake"), this)),
      m_cmdChangelogPrint(new QPushButton(QStringLiteral("Print"), this)), m_Text1(new TextBox(this))
{
    setObjectName(QStringLiteral("frmChangelog"));
    setWindowTitle(QStringLiteral("qelCrypto - Changelog"));
    // A tool window: small title bar with a close box, kept out of the task bar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Design::Twips(4455), Design::Twips(4230));

    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->setAccessibleName(QStringLiteral("Endringslogg"));
    m_Text1->setReadOnly(true);
    // A Tab stop shows its focus: the caret, and the keyboard selects and copies.
    m_Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_Text1->setText(U"Hva er vitsen med changelog?\r\n");
    Place(m_Text1, 0, 0, 4455, 3855);

    m_cmdChangelogPrint->setObjectName(QStringLiteral("cmdChangelogPrint"));
    Place(m_cmdChangelogPrint, 1320, 3960, 1215, 255);
    connect(m_cmdChangelogPrint, &QPushButton::clicked, this, &frmChangelog::cmdChangelogPrint_Click);

    m_cmdBack->setObjectName(QStringLiteral("cmdBack"));
    Place(m_cmdBack, 2640, 3960, 1815, 255);
    connect(m_cmdBack, &QPushButton::clicked, this, &frmChangelog::cmdBack_Click);
    OnEscape(this, [this] { cmdBack_Click(); });
    m_cmdBack->setFocus();
    ShowFocusFromOpening();
}

frmChangelog::~frmChangelog() = default;

void frmChangelog::placeOnFirstShow()
{
    CentreOnWindow(WindowId::frmCrypt);
}

void frmChangelog::cmdChangelogPrint_Click()
{
    switch (m_services.printer.printPage(m_Text1->text())) {
    case PrintOutcome::Printed:
        return;
    case PrintOutcome::NoPrinter:
        m_services.dialogs.showMessage(NoPrinterBox());
        return;
    case PrintOutcome::Failed:
        m_services.dialogs.showMessage(PrintFailedBox());
        return;
    }
}

void frmChangelog::cmdBack_Click()
{
    rules().Unload(WindowId::frmChangelog);
    rules().Show(WindowId::frmCrypt);
}

} // namespace qel
