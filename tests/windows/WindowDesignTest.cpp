#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"
#include "windows/access/frmLogin.h"
#include "windows/common/Design.h"
#include "windows/main/frmCrypt.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>

#include <cmath>

using namespace qel;
using namespace qel::testing;

namespace {

// The controls of the focus chain the window set up, from the first round to it again.
QString TabOrder(QWidget* first)
{
    QStringList order{first->objectName()};
    for (QWidget* next = first->nextInFocusChain(); order.size() < 20; next = next->nextInFocusChain()) {
        if (next->focusPolicy() != Qt::NoFocus && next->isVisible())
            order << next->objectName();
        if (next == first)
            break;
    }
    return order.join(' ');
}

// The kind of window and the buttons its title bar asks for; without a hint, the window manager's own.
QString Frame(const QWidget* window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    QStringList frame{flags.testFlag(Qt::Tool) ? "tool" : "window"};
    if (flags.testFlag(Qt::FramelessWindowHint))
        return frame.join(' ') + " without frame";
    if (!flags.testFlag(Qt::CustomizeWindowHint))
        return frame.join(' ') + " with the usual buttons";
    for (const auto& [hint, name] : {std::pair{Qt::WindowSystemMenuHint, "menu"},
                                     {Qt::WindowMinimizeButtonHint, "minimise"},
                                     {Qt::WindowMaximizeButtonHint, "maximise"},
                                     {Qt::WindowCloseButtonHint, "close"}})
        if (flags.testFlag(hint))
            frame << name;
    return frame.join(' ');
}

} // namespace

// id, title, frame, tabOrder
using DesignRow = std::tuple<WindowId, QString, QString, QString>;

class WindowDesignTest : public WindowTest
{
    Q_OBJECT

private slots:

    // The title and title bar, and the controls Tab walks from the one that has the keyboard on opening.
    // Each window as it first shows, pixel for pixel against its picture in tests/windows/looks, which holds
    // its size and where each control stands: a control moved, a font or a colour changed shows here when
    // no other check names it. A failure leaves the picture seen beside the test; QEL_LOOKS_UPDATE=1 writes
    // the pictures anew.
    void design_data()
    {
        // clang-format off
        AddRows<DesignRow>({
            {"frmLogin", {WindowId::frmLogin, "qelPortal - Logg inn", "window menu close", "txtBrukernavn txtPassord cmdLoggInn cmdKeyDisk cmdAvslutt Combo1 cmdAltPass txtBrukernavn"}},
            {"frmCrypt", {WindowId::frmCrypt, "qelCrypto - Qelvang Kodelag", "window menu close", "txtInput txtOutput Option2 Option3 Check1 Option1 Option4 txtInput"}},
            {"frmCryptKey", {WindowId::frmCryptKey, "qelCrypto - Sett CryptKey", "tool menu close", "txtInputKey cmdCopy txtOutputKey cmdOK txtInputKey"}},
            {"frmPanikk", {WindowId::frmPanikk, "Form3", "tool without frame", "frmPanikk frmPanikk"}},
            {"frmPizzaTimer", {WindowId::frmPizzaTimer, "qelPizzaTimer - Demo verisjon!", "tool menu close", "txtTime Go Grandiosa BigOne Annet Stopp Lukk txtTime"}},
            {"frmVignereVisual", {WindowId::frmVignereVisual, "Vignere Visual", "tool menu close", "Text1 Command1 Text2 Text3 Text4 Command2 Text1"}},
            {"frmGreetz", {WindowId::frmGreetz, "qelCrypto - Greetz", "tool menu close", "cmdGreetzBack cmdGreetzBack"}},
            {"frmChangelog", {WindowId::frmChangelog, "qelCrypto - Changelog", "tool menu close", "cmdBack cmdChangelogPrint Text1 cmdBack"}},
        });
        // clang-format on
    }
    void design()
    {
        const auto& [id, title, frame, tabOrder] = TheRow<DesignRow>();
        QApplication::setCursorFlashTime(0); // a cursor that blinks would be caught on or off
        QWidget* window = show(id);
        QVERIFY(window != nullptr);
        QCOMPARE(window->objectName(), QTest::currentDataTag());
        if (auto* main = dynamic_cast<frmCrypt*>(window))
            main->txtInput()->setText(U"Hei, Sommer!"); // and its count shows
        if (auto* login = dynamic_cast<frmLogin*>(window))
            login->Label3()->setText("Blei du redd?"); // and its message line, red when it says something
        const QImage seen = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString name = QString("%1.png").arg(WindowName(id));
        const QString path = QStringLiteral(QEL_LOOKS_DIR "/") + name;
        if (qEnvironmentVariableIsSet("QEL_LOOKS_UPDATE"))
            QVERIFY(seen.save(path));
        if (seen != QImage(path).convertToFormat(QImage::Format_RGB32)) {
            seen.save(name);
            QFAIL(qPrintable(QString("%1 differs from %2: see %3")
                                 .arg(WindowName(id), path, QFileInfo(name).absoluteFilePath())));
        }

        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(Frame(window), frame);
        QTRY_VERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(TabOrder(QApplication::focusWidget()), tabOrder);
        // Every control carries its name, by which the code, the tests and a screen reader's scripts know
        // it; a status bar's panels go by number.
        QStringList nameless;
        for (const QWidget* control : window->findChildren<QWidget*>()) {
            const bool listed = qobject_cast<const StatusBar*>(control->parentWidget()) == nullptr &&
                                (control->inherits("QLabel") || control->inherits("QAbstractButton") ||
                                 control->inherits("QLineEdit") || control->inherits("QPlainTextEdit") ||
                                 control->inherits("QComboBox"));
            if (listed && control->objectName().isEmpty())
                nameless << control->metaObject()->className();
        }
        QVERIFY2(nameless.isEmpty(), qPrintable("without a name: " + nameless.join(", ")));

        // The menu of every one-line box, from the menu key or a right click, is in Norwegian.
        QStringList menus;
        for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
            QString first; // the first command, once the menu has come (it blocks, or pops up and returns)
            QTimer::singleShot(50, box, [&first] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                first = menu != nullptr ? menu->actions().value(0)->text().section('\t', 0, 0) : "no menu";
                if (menu != nullptr)
                    menu->close();
            });
            QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(box, &key);
            QTRY_VERIFY(!first.isEmpty());
            menus << box->objectName() + ": " + first;
        }
        QVERIFY2(menus.filter(": &Angre").size() == menus.size(), qPrintable(menus.join(", ")));
    }

    // A caption is narrowed only when it does not fit, to the pixel, in its label or in what the parent
    // shows of the label, and then just enough to fit.
    void captionsNarrowOnlyWhenTheyDoNotFit()
    {
        const QString caption = "Krypter x10";
        QWidget parent;
        auto* label = new QLabel(caption, &parent);
        const int x = 7;
        const qreal needed = QFontMetricsF(label->font(), label).horizontalAdvance(caption) + 1;
        const int fits = int(std::ceil(needed));
        // label width, parent width, narrowed
        const std::tuple<int, int, bool> rows[] = {
            {fits, 400, false}, {fits - 1, 400, true}, {400, x + fits, false}, {400, x + fits - 1, true}};
        for (const auto& [width, parentWidth, narrowed] : rows) {
            parent.resize(parentWidth, 50);
            label->setGeometry(x, 0, width, 20);
            label->setFont(QFont());
            Design::FitCaption(label);
            const QFont font = label->font();
            const QString row = QString("label %1, parent %2").arg(width).arg(parentWidth);
            QVERIFY2((font.stretch() != QFont::AnyStretch) == narrowed, qPrintable(row));
            QVERIFY2(QFontMetricsF(font, label).horizontalAdvance(caption) + 1 <=
                         std::min(width, parentWidth - x),
                     qPrintable(row));
        }
        // A label that wraps its caption, or shows rich text, lays it out itself.
        label->setGeometry(x, 0, fits - 1, 20);
        for (const bool wrap : {true, false}) {
            label->setWordWrap(wrap);
            label->setTextFormat(wrap ? Qt::AutoText : Qt::RichText);
            label->setFont(QFont());
            Design::FitCaption(label);
            QCOMPARE(label->font().stretch(), int(QFont::AnyStretch));
        }
        // Radio buttons and check boxes narrow what does not fit beside their mark.
        for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
                 new QRadioButton(caption, &parent), new QCheckBox(caption, &parent)}) {
            button->setGeometry(x, 0, 60, 20);
            Design::FitCaption(button);
            QVERIFY2(button->font().stretch() != QFont::AnyStretch, button->metaObject()->className());
        }
    }

    // What no picture of a window shows until the user points at a control or acts on it, and no test of
    // the window's use (which types into the CryptKey preview, not into the changelog, and masks the
    // password).
    void settings()
    {
        // clang-format off
        const std::tuple<WindowId, const char*, const char*, QString> settings[] = {
            {WindowId::frmLogin, "cmdKeyDisk", "toolTip", "KeyDisk (Ctrl+L)"},
            {WindowId::frmCrypt, "Check1", "toolTip", "Strong fungerer bare ved bruk av Røver protokollen."},
            {WindowId::frmCrypt, "Label2", "toolTip", "Qelvang Kodelag"},
            {WindowId::frmCrypt, "txtOutput", "readOnly", "true"},
            {WindowId::frmCryptKey, "txtOutputKey", "verticalScrollBarPolicy", "ScrollBarAlwaysOff"},
            {WindowId::frmPizzaTimer, "Label2", "alignment", "AlignLeading|AlignTop"},
        };
        // clang-format on
        for (const auto& [id, name, property, value] : settings) {
            auto* control = show(id, false)->findChild<QWidget*>(name);
            QVERIFY2(control != nullptr, name);
            QCOMPARE(control->property(property).toString(), value);
        }
    }
};

QTEST_MAIN(WindowDesignTest)
#include "WindowDesignTest.moc"
