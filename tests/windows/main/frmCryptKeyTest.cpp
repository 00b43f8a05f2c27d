#include "windows/main/frmCryptKey.h"

#include "platform/QtText.h"
#include "platform/TextBox.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyleOption>
#include <QTest>

using namespace qel;
using namespace qel::testing;
using namespace Qt::StringLiterals;

// byHand, typed, press (0: click OK, -1: the close box), preview, usable
using PreviewRow = std::tuple<QString, QString, int, QString, bool>;

// Each test starts with the CryptKey "GAMMEL" and the dialog opened over the main window.
class frmCryptKeyTest : public WindowTest
{
    Q_OBJECT

    QWidget* main = nullptr;
    frmCryptKey* dialog = nullptr;

    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }
    QLineEdit* entry() const { return dialog->findChild<QLineEdit*>("txtInputKey"); }
    TextBox* output() const { return dialog->findChild<TextBox*>("txtOutputKey"); }
    QString shown() const { return ToQString(output()->text()); }
    QString key() const { return ToQString(app->state.CryptKey); }
    bool loaded() const { return app->rules.IsLoaded(WindowId::frmCryptKey); }

    void prepare() override
    {
        app->state.CryptKey = U"GAMMEL";
        QVERIFY((main = show(WindowId::frmCrypt)) != nullptr);
        app->rules.Show(WindowId::frmCryptKey);
        dialog = app->rules.Find<frmCryptKey>(WindowId::frmCryptKey);
        QVERIFY(dialog && entry() && output() && button("cmdCopy") && button("cmdOK"));
        QVERIFY(QTest::qWaitForWindowActive(dialog));
    }

private slots:

    // Text typed by hand over the whole preview, then into the entry (\b erases), gives the preview; how a
    // typed key is made one is VigenereTest's. Copy puts a usable preview on the clipboard; OK, Return or
    // keypad Enter store it exactly and unload. One that begins "error:" (exactly so) is neither copied nor
    // stored, and OK refuses it with a box. The close box unloads and stores nothing. However it closes, the
    // dialog gives the keyboard back to the main window (Escape unloads it the same way).
    void copyAndOkTakeOnlyAUsablePreview_data()
    {
        const int Return = Qt::Key_Return;
        const QString none;
        // clang-format off
        AddRows<PreviewRow>({
            {"nothing typed", {none, none, 0, "error: no input\r\n", false}},
            {"keypad Enter", {none, u"hemmelig ø"_s, int(Qt::Key_Enter), "HEMMELIGØ", true}},
            {"too short, Return", {none, u"ab1"_s, Return, "error: key too short", false}},
            {"emptied again", {none, u"abcde\b\b\b\b\b"_s, 0, "error: key too short", false}},
            {"over a hand-typed preview", {u"abc 12"_s, u"nøkkel"_s, 0, "NØKKEL", true}},
            {"hand-typed capital Error", {u"Error: x"_s, none, 0, "Error: x", true}},
            {"hand-typed leading space", {u" error:"_s, none, 0, " error:", true}},
            {"hand-typed no colon, blanks", {u"error x "_s, none, 0, "error x ", true}},
            {"hand-typed no space", {u"error:x"_s, none, Return, "error:x", false}},
            {"close box", {none, u"hemmelig"_s, -1, "HEMMELIG", true}},
        });
        // clang-format on
    }
    void copyAndOkTakeOnlyAUsablePreview()
    {
        const auto& [byHand, typed, press, preview, usable] = TheRow<PreviewRow>();
        if (!byHand.isEmpty()) {
            QTest::keyClick(output(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(output(), Qt::Key_Backspace);
            QTest::keyClicks(output(), byHand);
        }
        QTest::keyClicks(entry(), typed);
        QCOMPARE(shown(), preview);
        QTest::mouseClick(button("cmdCopy"), Qt::LeftButton);
        QCOMPARE(app->fakes.clipboard.writes(), usable ? 1 : 0);
        QCOMPARE(ToQString(app->fakes.clipboard.text()), usable ? preview : QString());
        QVERIFY(app->fakes.dialogs.shown().empty() && key() == "GAMMEL" && loaded() && dialog->isVisible());

        const QPointer<QLineEdit> typedInto = entry();
        if (press < 0)
            dialog->close();
        else if (press == 0)
            QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        else
            QTest::keyClick(entry(), Qt::Key(press));
        const bool stored = usable && press >= 0;
        QCOMPARE(key(), stored ? preview : "GAMMEL");
        QVERIFY(app->fakes.dialogs.messages() == (usable || press < 0 ? std::vector<MessageBoxRequest>{}
                                                                      : std::vector{Messages::InvalidKey()}));
        QVERIFY(!loaded() && typedInto); // the widget goes only once the event loop runs
        QTRY_COMPARE(QApplication::activeWindow(), main);
    }

    // The buttons are 13 pixels high, and their captions get all of it: styles give a caption what their
    // frame leaves, and Windows' own style left so little that the letters were cut off.
    void captionsTakeTheButtonsHeight()
    {
        for (const char* name : {"cmdCopy", "cmdOK"}) {
            QPushButton* shown = button(name);
            QImage image(shown->size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            const QImage blank = image.copy(0, 0, image.width(), 1);
            QStyleOptionButton option;
            option.initFrom(shown);
            option.text = shown->text();
            option.rect = QRect(0, shown->height() / 2, shown->width(), 1); // what a frame could leave
            QPainter painter(&image);
            shown->style()->drawControl(QStyle::CE_PushButtonLabel, &option, &painter, shown);
            painter.end();
            int inkedRows = 0;
            for (int y = 0; y < image.height(); ++y)
                inkedRows += image.copy(0, y, image.width(), 1) != blank;
            QVERIFY2(inkedRows >= 7, name);
        }
    }
};

QTEST_MAIN(frmCryptKeyTest)
#include "frmCryptKeyTest.moc"
