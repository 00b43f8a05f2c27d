#include "frmCryptKey.h"

#include "cipher/Cryptocalls.h"
#include "cipher/Messages.h"
#include "platform/EditMenu.h"
#include "platform/QtText.h"
#include "platform/TextBox.h"
#include "windows/common/Design.h"

#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>

namespace qel {

using Design::Place;

namespace {

// A preview text that marks a key as unusable: it begins with "error:".
bool IsErrorPreview(TextView preview)
{
    return preview.starts_with(U"error:");
}

// The style of the two buttons 13 pixels high: the desktop's, but with the caption given the button's
// whole height. Desktop styles keep a frame's width or a theme's margin free above and below the
// caption and clip it to what is left, and Windows' own style cut the letters of both captions off.
class FullHeightCaptionStyle final : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element != CE_PushButtonLabel || button == nullptr || widget == nullptr)
            return QProxyStyle::drawControl(element, option, painter, widget);
        QStyleOptionButton whole = *button;
        whole.rect.setTop(widget->rect().top());
        whole.rect.setBottom(widget->rect().bottom());
        QProxyStyle::drawControl(element, &whole, painter, widget);
    }
};

} // namespace

frmCryptKey::frmCryptKey(const WindowContext& context)
    : FormWindow(context.windows, WindowId::frmCryptKey), m_state(context.state),
      m_services(context.services),
      m_lblSkrivInn(new QLabel(QStringLiteral("Skriv inn ønsket key her:"), this)),
      m_txtInputKey(new QLineEdit(this)),
      m_lblOutput(new QLabel(QStringLiteral("Slik blir den endelige key'en:"), this)),
      m_txtOutputKey(new TextBox(this)),
      m_cmdCopy(new QPushButton(QStringLiteral("Send til clipboard"), this)),
      m_cmdOK(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmCryptKey"));
    setWindowTitle(QStringLiteral("qelCrypto - Sett CryptKey"));
    // A tool window: small title bar with a close box, kept out of the task bar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Design::Twips(4380), Design::Twips(1980));

    m_lblSkrivInn->setObjectName(QStringLiteral("lblSkrivInn"));
    m_lblSkrivInn->setBuddy(m_txtInputKey);
    Place(m_lblSkrivInn, 75, 60, 1785, 225);

    m_txtInputKey->setObjectName(QStringLiteral("txtInputKey"));
    m_txtInputKey->setAccessibleName(QStringLiteral("Ønsket key"));
    Place(m_txtInputKey, 60, 300, 4245, 315);
    connect(m_txtInputKey, &QLineEdit::textChanged, this, &frmCryptKey::txtInputKey_Change);
    m_txtInputKey->installEventFilter(this);
    UseNorwegianEditMenu(m_txtInputKey);

    m_lblOutput->setObjectName(QStringLiteral("lblOutput"));
    m_lblOutput->setBuddy(m_txtOutputKey);
    Place(m_lblOutput, 60, 720, 2115, 195);

    m_txtOutputKey->setObjectName(QStringLiteral("txtOutputKey"));
    m_txtOutputKey->setAccessibleName(QStringLiteral("Endelig key"));
    m_txtOutputKey->setAccessibleDescription(
        QStringLiteral("Keyen slik den blir brukt: bare bokstavene A til Å, som store bokstaver"));
    m_txtOutputKey->setFont(Design::SansSerif(12));
    m_txtOutputKey->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtOutputKey->setText(U"error: no input\r\n");
    Place(m_txtOutputKey, 60, 960, 4245, 345);

    m_cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    Place(m_cmdCopy, 60, 1380, 4245, 195);
    m_cmdCopy->setStyle(Design::SharedStyle<FullHeightCaptionStyle>());
    connect(m_cmdCopy, &QPushButton::clicked, this, &frmCryptKey::cmdCopy_Click);

    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    Place(m_cmdOK, 60, 1680, 4245, 195);
    m_cmdOK->setStyle(Design::SharedStyle<FullHeightCaptionStyle>());
    connect(m_cmdOK, &QPushButton::clicked, this, &frmCryptKey::cmdOK_Click);

    // Escape leaves the key as it was, as the close box does.
    OnEscape(this, [this] { rules().Unload(WindowId::frmCryptKey); });

    setTabOrder(m_txtInputKey, m_cmdCopy);
    setTabOrder(m_cmdCopy, m_txtOutputKey);
    setTabOrder(m_txtOutputKey, m_cmdOK);
    m_txtInputKey->setFocus();
}

frmCryptKey::~frmCryptKey() = default;

void frmCryptKey::txtInputKey_Change()
{
    m_txtOutputKey->setText(Cryptocalls::NormaliseKey(FromQString(m_txtInputKey->text())));
}

bool frmCryptKey::txtInputKey_KeyPress(int keyAscii)
{
    if (keyAscii != 13)
        return false;
    cmdOK_Click();
    return true;
}

bool frmCryptKey::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtInputKey && IsEnterPress(event))
        return txtInputKey_KeyPress(13);
    return FormWindow::eventFilter(watched, event);
}

void frmCryptKey::cmdOK_Click()
{
    const Text preview = m_txtOutputKey->text();
    if (!IsErrorPreview(preview))
        m_state.CryptKey = preview;
    else
        m_services.dialogs.showMessage(Messages::InvalidKey());
    rules().Unload(WindowId::frmCryptKey);
}

void frmCryptKey::cmdCopy_Click()
{
    const Text preview = m_txtOutputKey->text();
    if (!IsErrorPreview(preview))
        m_services.clipboard.setText(preview);
}

} // namespace qel
