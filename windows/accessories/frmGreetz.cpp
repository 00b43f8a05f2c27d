#include "frmGreetz.h"

#include "windows/common/Design.h"

#include <QLabel>
#include <QPushButton>

namespace qel {

using Design::Place;

// The controls are created in their tab order, which is also the order of the focus chain.
frmGreetz::frmGreetz(const WindowContext& context)
    : FormWindow(context.windows, WindowId::frmGreetz),
      m_lblGreet1(new QLabel(QStringLiteral("Kaktus – for kode som stikker og kald pizza"), this)),
      m_cmdGreetzBack(new QPushButton(QStringLiteral("Lukk"), this)),
      m_lblGreetzFlyOut(new QLabel(QStringLiteral("Greetz fly out to:"), this)),
      m_lblGreet2(new QLabel(QStringLiteral("Fjord – for dype tanker og lange netter"), this)),
      m_lblGreet3(new QLabel(QStringLiteral("Mast – for at du står støtt når det blåser"), this))
{
    setObjectName(QStringLiteral("frmGreetz"));
    setWindowTitle(QStringLiteral("qelCrypto - Greetz"));
    // A tool window: small title bar with a close box, kept out of the task bar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Design::Twips(4680), Design::Twips(1785));

    m_lblGreetzFlyOut->setObjectName(QStringLiteral("lblGreetzFlyOut"));
    m_lblGreetzFlyOut->setFont(Design::Verdana(15.75, true, true));
    Design::SetTextColour(m_lblGreetzFlyOut, Qt::red);
    m_lblGreetzFlyOut->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Place(m_lblGreetzFlyOut, 0, 0, 4695, 375);

    m_lblGreet1->setObjectName(QStringLiteral("lblGreet1"));
    Place(m_lblGreet1, 0, 600, 4455, 255);
    m_lblGreet2->setObjectName(QStringLiteral("lblGreet2"));
    Place(m_lblGreet2, 0, 840, 4455, 255);
    m_lblGreet3->setObjectName(QStringLiteral("lblGreet3"));
    Place(m_lblGreet3, 0, 1080, 4455, 255);

    m_cmdGreetzBack->setObjectName(QStringLiteral("cmdGreetzBack"));
    Place(m_cmdGreetzBack, 120, 1440, 4455, 315);
    connect(m_cmdGreetzBack, &QPushButton::clicked, this, &frmGreetz::cmdGreetzBack_Click);
    OnEscape(this, [this] { cmdGreetzBack_Click(); });
    m_cmdGreetzBack->setFocus();
    ShowFocusFromOpening();
}

frmGreetz::~frmGreetz() = default;

void frmGreetz::placeOnFirstShow()
{
    CentreOnWindow(WindowId::frmCrypt);
}

void frmGreetz::cmdGreetzBack_Click()
{
    rules().Unload(WindowId::frmGreetz);
    rules().Show(WindowId::frmCrypt);
}

} // namespace qel
