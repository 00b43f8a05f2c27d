#include "platform/QtDialogs.h"
#include "platform/QtText.h"
#include "tests/support/qt/ModalAnswer.h"
#include "tests/support/qt/Rows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTest>

Q_DECLARE_METATYPE(qel::MessageButtons)
Q_DECLARE_METATYPE(qel::MessageAnswer)
Q_DECLARE_METATYPE(qel::MessageIcon)

namespace qel {

using namespace Qt::StringLiterals;
using testing::AddRows;
using testing::AnswerNextModal;
using testing::ClickButton;
using testing::TheRow;

// Answers the next real dialog: puts the value in its field, if it has one, then clicks the button
// captioned so, or presses Escape for no caption. Notes the title; the text and icon, or the prompt and the
// answer the field starts with; then the buttons' captions, sorted; then the choices offered, in order.
void Answer(QStringList& shown, const QString& click, const QString& value = u"Ny nøkkel "_s)
{
    AnswerNextModal([&shown, click, value](QWidget* dialog) {
        const auto* box = qobject_cast<QMessageBox*>(dialog);
        auto* input = qobject_cast<QInputDialog*>(dialog);
        shown = {dialog->windowTitle(), box ? box->text() : input->labelText(),
                 box ? QString::number(box->icon()) : input->textValue()};
        for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            shown << button->text();
        std::sort(shown.begin() + 3, shown.end());
        if (input) {
            shown << input->comboBoxItems();
            input->setTextValue(value);
        }
        click.isEmpty() ? QTest::keyClick(dialog, Qt::Key_Escape) : ClickButton(dialog, click);
        if (dialog->isVisible()) // left open: close it, so that the test fails instead of hanging
            dialog->close();
    });
}

// buttons, click, answer, icon, shownIcon
using BoxRow = std::tuple<MessageButtons, QString, MessageAnswer, MessageIcon, QMessageBox::Icon>;

class QtDialogsTest : public QObject
{
    Q_OBJECT

    QtDialogs m_dialogs;

private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

    // A choice among labels: offered in order, OK gives the position of the one picked, Avbryt nothing.
    void chooseItem()
    {
        const QStringList labels{u"NØKKEL"_s, u"STICK"_s};
        QStringList shown;
        for (qsizetype picked = 0; picked < labels.size(); ++picked) {
            Answer(shown, u"OK"_s, labels[picked]);
            QVERIFY(QtDialogs::chooseItem(u"qelPortal"_s, u"Hvilken disk?"_s, labels) == picked);
            QCOMPARE(
                shown,
                (QStringList{u"qelPortal"_s, u"Hvilken disk?"_s, labels[0], u"Avbryt"_s, u"OK"_s} + labels));
        }
        Answer(shown, u"Avbryt"_s);
        QVERIFY(!QtDialogs::chooseItem(u"qelPortal"_s, u"Hvilken disk?"_s, labels).has_value());
    }

    // Each row answers a real box with the button captioned so, or with Escape where there is no caption.
    void messageBox_data()
    {
        using enum MessageButtons;
        using enum MessageIcon;
        using A = MessageAnswer;
        using Q = QMessageBox;
        AddRows<BoxRow>({
            {"Ok: OK", {Ok, u"OK"_s, A::Ok, Information, Q::Information}},
            {"YesNo: Nei", {YesNo, u"&Nei"_s, A::No, Question, Q::Question}},
            {"YesNo: Escape", {YesNo, QString(), A::No, Question, Q::Question}},
            {"YesNoCancel: Ja", {YesNoCancel, u"&Ja"_s, A::Yes, Question, Q::Question}},
            {"YesNoCancel: Nei", {YesNoCancel, u"&Nei"_s, A::No, Exclamation, Q::Warning}},
            {"YesNoCancel: Avbryt", {YesNoCancel, u"Avbryt"_s, A::Cancel, None, Q::NoIcon}},
            {"RetryCancel: Prøv igjen", {RetryCancel, u"&Prøv igjen"_s, A::Retry, None, Q::NoIcon}},
            {"RetryCancel: Escape", {RetryCancel, QString(), A::Cancel, Critical, Q::Critical}},
        });
    }

    void messageBox()
    {
        const auto& [buttons, click, answer, icon, shownIcon] = TheRow<BoxRow>();
        QStringList shown;
        Answer(shown, click);
        QCOMPARE(m_dialogs.showMessage({U"Større tekst ", U"Nøkkel på plass ", buttons, icon}), answer);
        const QStringList captions[] = {{u"OK"_s},
                                        {u"&Ja"_s, u"&Nei"_s},
                                        {u"&Ja"_s, u"&Nei"_s, u"Avbryt"_s},
                                        {u"&Prøv igjen"_s, u"Avbryt"_s}};
        const QStringList seen{u"Nøkkel på plass "_s, u"Større tekst "_s, QString::number(shownIcon)};
        QCOMPARE(shown, seen + captions[int(buttons)]); // in the order of MessageButtons
    }

    // OK gives the typed answer back, Avbryt nothing. The keyboard goes back to the window a box was asked
    // from, not to one behind it.
    void inputBoxAndFocus()
    {
        QWidget behind, asking;
        behind.show();
        asking.setWindowFlags(Qt::Tool);
        asking.show();
        asking.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&asking));
        QStringList shown;
        Answer(shown, u"OK"_s);
        m_dialogs.showMessage(
            {U"Fant ingen skriver", U"qelPortal", MessageButtons::Ok, MessageIcon::Exclamation});
        QTRY_COMPARE(QApplication::activeWindow(), &asking);
        for (const QString& click : {u"OK"_s, u"Avbryt"_s}) {
            Answer(shown, click);
            const std::optional<Text> answer =
                m_dialogs.askText({U"Ka key ska bruges? ", U"Enter decrypt Key", U"NØKKEL"});
            QVERIFY2(answer == (click == u"OK"_s ? std::optional<Text>(U"Ny nøkkel ") : std::nullopt),
                     qPrintable(click));
            QCOMPARE(shown, (QStringList{u"Enter decrypt Key"_s, u"Ka key ska bruges? "_s, u"NØKKEL"_s,
                                         u"Avbryt"_s, u"OK"_s}));
            QTRY_COMPARE(QApplication::activeWindow(), &asking);
        }
    }
};

} // namespace qel

QTEST_MAIN(qel::QtDialogsTest)
#include "QtDialogsTest.moc"
