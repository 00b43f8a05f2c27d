#include "windows/main/frmCryptKey.h"

#include "platform/QtDialogs.h"
#include "platform/QtText.h"
#include "platform/TextBox.h"
#include "tests/support/qt/FakeServices.h"
#include "tests/support/qt/ModalAnswer.h"
#include "windows/Registry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace qel;
using namespace Qt::StringLiterals;

namespace {

const MessageBoxRequest InvalidKeyBox{U"Key'en er ugyldig og blir ikke satt!", U"ERROR", MessageButtons::Ok,
                                      MessageIcon::Critical};

struct Fixture {
    ApplicationState state;
    WindowRules rules;
    testing::FakeServices fakes;
    QtDialogs qtDialogs;
    Services realBoxes{qtDialogs,  fakes.clipboard, fakes.clock,  fakes.random,
                       fakes.beep, fakes.drive,     fakes.printer};
};

} // namespace

class frmCryptKeyTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    frmCryptKey* dialog = nullptr;

    template <typename T = QPushButton>
    T* child(const char* name) const
    {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* entry() const { return child<QLineEdit>("txtInputKey"); }
    TextBox* output() const { return child<TextBox>("txtOutputKey"); }
    QString shown() const { return ToQString(output()->text()); }
    QString key() const { return ToQString(f->state.CryptKey); }
    bool loaded() const { return f->rules.IsLoaded(WindowId::frmCryptKey); }

    void open(bool realBoxes = false)
    {
        RegisterWindows({f->state, f->rules, realBoxes ? f->realBoxes : f->fakes.services});
        f->rules.Show(WindowId::frmCryptKey);
        dialog = f->rules.Find<frmCryptKey>(WindowId::frmCryptKey);
        QVERIFY(dialog && entry() && output() && child("cmdCopy") && child("cmdOK"));
    }

private slots:
    void init()
    {
        f = std::make_unique<Fixture>();
        f->state.CryptKey = U"GAMMEL";
    }
    void cleanup()
    {
        f->rules.UnloadAll();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void opensAsDesigned()
    {
        open();
        QCOMPARE((QStringList{dialog->windowTitle(), child<QLabel>("lblSkrivInn")->text(),
                              child<QLabel>("lblOutput")->text(), child("cmdCopy")->text(),
                              child("cmdOK")->text()}),
                 (QStringList{"qelCrypto - Sett CryptKey", "Skriv inn ønsket key her:",
                              "Slik blir den endelige key'en:", "Send til clipboard", "OK"}));
        QTRY_COMPARE(QApplication::focusWidget(), entry());
    }

    // Text typed by hand over the whole preview, then into the entry (\b erases), gives the preview; a second
    // Show brings the dialog back as it is. Copy puts a usable preview on the clipboard; OK, Return or keypad
    // Enter store it exactly and unload. One that begins "error:" (exactly so) is neither copied nor stored,
    // and OK refuses it with a box. The close box unloads and stores nothing.
    void copyAndOkTakeOnlyAUsablePreview_data()
    {
        QTest::addColumn<QString>("byHand");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("press"); // 0: click OK, -1: the close box
        QTest::addColumn<QString>("preview");
        QTest::addColumn<bool>("usable");
        const int Return = Qt::Key_Return;
        const QString none;
        QTest::newRow("nothing typed") << none << none << 0 << "error: no input\r\n" << false;
        QTest::newRow("words and digits") << none << u"hemmelig nøkkel 42"_s << 0 << "HEMMELIGNØKKEL" << true;
        QTest::newRow("Norwegian letters, Return") << none << u"blåbær øl"_s << Return << "BLÅBÆRØL" << true;
        QTest::newRow("keypad Enter") << none << u"hemmelig ø"_s << int(Qt::Key_Enter) << "HEMMELIGØ" << true;
        QTest::newRow("too short, Return") << none << u"ab1"_s << Return << "error: key too short" << false;
        QTest::newRow("emptied again")
            << none << u"abcde\b\b\b\b\b"_s << 0 << "error: key too short" << false;
        QTest::newRow("over a hand-typed preview") << u"abc 12"_s << u"nøkkel"_s << 0 << "NØKKEL" << true;
        QTest::newRow("hand-typed key") << u"abc 12 "_s << none << 0 << "abc 12 " << true;
        QTest::newRow("hand-typed capital Error") << u"Error: x"_s << none << 0 << "Error: x" << true;
        QTest::newRow("hand-typed leading space") << u" error:"_s << none << 0 << " error:" << true;
        QTest::newRow("hand-typed no colon") << u"error x"_s << none << 0 << "error x" << true;
        QTest::newRow("hand-typed prefix alone") << u"error:"_s << none << 0 << "error:" << false;
        QTest::newRow("hand-typed no space") << u"error:x"_s << none << Return << "error:x" << false;
        QTest::newRow("close box") << none << u"hemmelig"_s << -1 << "HEMMELIG" << true;
    }
    void copyAndOkTakeOnlyAUsablePreview()
    {
        QFETCH(QString, byHand);
        QFETCH(QString, typed);
        QFETCH(int, press);
        QFETCH(QString, preview);
        QFETCH(bool, usable);
        open();
        if (!byHand.isEmpty()) {
            QTest::keyClick(output(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(output(), Qt::Key_Backspace);
            QTest::keyClicks(output(), byHand);
        }
        QTest::keyClicks(entry(), typed);
        QCOMPARE(shown(), preview);
        QTest::mouseClick(child("cmdCopy"), Qt::LeftButton);
        QCOMPARE(f->fakes.clipboard.writes(), usable ? 1 : 0);
        QCOMPARE(ToQString(f->fakes.clipboard.text()), usable ? preview : QString());
        QVERIFY(f->fakes.dialogs.shown().empty() && key() == "GAMMEL" && loaded() && dialog->isVisible());

        f->rules.Show(WindowId::frmCryptKey);
        QVERIFY(f->rules.Find<frmCryptKey>(WindowId::frmCryptKey) == dialog && shown() == preview);

        const QPointer<QLineEdit> typedInto = entry();
        if (press < 0)
            dialog->close();
        else if (press == 0)
            QTest::mouseClick(child("cmdOK"), Qt::LeftButton);
        else
            QTest::keyClick(entry(), Qt::Key(press));
        const bool stored = usable && press >= 0;
        QCOMPARE(key(), stored ? preview : "GAMMEL");
        QVERIFY(f->fakes.dialogs.messages() ==
                (usable || press < 0 ? std::vector<MessageBoxRequest>{} : std::vector{InvalidKeyBox}));
        QVERIFY(!loaded() && typedInto); // the widget goes only once the event loop runs
    }

    void focusGoesBackToTheMainWindow_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    // Closed from the keyboard, the dialog gives the keyboard back to the window it was opened from.
    void focusGoesBackToTheMainWindow()
    {
        QFETCH(int, key);
        RegisterWindows({f->state, f->rules, f->fakes.services});
        auto* main = dynamic_cast<QWidget*>(f->rules.Show(WindowId::frmCrypt));
        QVERIFY(QTest::qWaitForWindowActive(main));
        open();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keyClicks(entry(), "nøkkel");
        QTest::keyClick(entry(), Qt::Key(key));
        QVERIFY(!loaded());
        QTRY_COMPARE(QApplication::activeWindow(), main);
    }

    void realBoxRefusesTheKey()
    {
        open(true);
        QStringList seen;
        testing::AnswerNextModal([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                seen << box->windowTitle() << box->text() << QString::number(box->icon());
            testing::ClickButton(modal, "OK");
        });
        QTest::keyClicks(entry(), "ab");
        QTest::mouseClick(child("cmdOK"), Qt::LeftButton);
        QCOMPARE(seen, QStringList({"ERROR", "Key'en er ugyldig og blir ikke satt!",
                                    QString::number(QMessageBox::Critical)}));
        QCOMPARE(key(), "GAMMEL");
        QVERIFY(!loaded());
    }
};

QTEST_MAIN(frmCryptKeyTest)
#include "frmCryptKeyTest.moc"
