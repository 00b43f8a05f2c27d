#include "windows/main/frmCrypt.h"
#include "cipher/Messages.h"
#include "platform/QtText.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"
#include "windows/access/KeyFile.h"
#include "windows/main/Tips.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

namespace {

const auto Q = [](const Text& text) { return ToQString(text); };

// The outer header's protocol letter and pass count, where the first three digits place it; for a text
// without a header, the text.
QString OuterHeader(const Text& s)
{
    const auto digit = [](char32_t c) { return c >= U'0' && c <= U'9'; };
    const bool digits = s.size() >= 6 && std::all_of(s.begin(), s.begin() + 3, digit);
    const std::size_t at = digits ? (s[0] - U'0') * 100 + (s[1] - U'0') * 10 + (s[2] - U'0') : 0;
    return at >= 4 && at + 2 <= s.size() ? Q(s.substr(at - 1, 3)) : Q(s);
}

} // namespace

// option, protocol, repeats
using ProtocolRow = std::tuple<QString, int, bool>;

// option, encrypt, decrypt, header
using RoundTripRow = std::tuple<QString, QString, QString, QString>;

// answers, boxes, output
using RepeatRow = std::tuple<QStringList, QString, QString>;

class frmCryptTest : public WindowTest
{
    Q_OBJECT

    frmCrypt* w = nullptr;

    void load() { QVERIFY((w = show<frmCrypt>(WindowId::frmCrypt)) != nullptr); }
    template <typename T = QAction>
    T* get(const QString& name) const
    {
        return w->findChild<T*>(name);
    }
    void click(const QString& name) { QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton); }
    // A menu command by its action's name, or a shortcut typed with the cursor at the start of txtInput.
    void run(const QString& command)
    {
        if (QAction* action = get(command))
            return action->trigger();
        w->txtInput()->setFocus();
        w->txtInput()->moveCursor(QTextCursor::Start);
        QTest::keySequence(w->txtInput(), QKeySequence(command));
    }
    Text in() const { return w->txtInput()->text(); }
    Text out() const { return w->txtOutput()->text(); }
    void setTexts(const Text& input, const Text& output)
    {
        w->txtInput()->setText(input);
        w->txtOutput()->setText(output);
    }

private slots:
    // Left over from an earlier window: another protocol; no user yet, so the welcome ends in its blank.
    // Vignere without a key says so and shows the input as the output. The Dill menu's windows open from
    // it in NavigationTest::leaving, which a disabled command would not.
    void loadsWithDefaults()
    {
        app->state.SelectedProtocol = 2;
        load();
        QVERIFY(get<QRadioButton>("Option4")->isChecked());
        QCOMPARE(int(app->state.SelectedProtocol), 4);
        QVERIFY(!w->Check1()->isChecked() && !w->Check1()->isEnabled());
        for (const char* name : {"crypt3", "crypt10", "cryptx"})
            QVERIFY2(!get(name)->isEnabled(), name);
        QCOMPARE(get<QLabel>("lblAntTegn")->text(), QString());
        StatusBar* bar = w->StatusBar1();
        QCOMPARE(bar->count(), 2);
        QCOMPARE(QStringList({Q(bar->text(1)), Q(bar->text(2))}),
                 QStringList({"Velkommen til qelCrypto ", Q(TipText(4))}));
        QVERIFY(bar->isSizedToContents(1) && bar->isSizedToContents(2));
        // The arrow keys step through the four protocols in order, round at the end. Each key goes
        // through the window, as the display's does, to whichever option has the keyboard by then.
        QString chosen;
        get<QRadioButton>("Option4")->setFocus();
        for (int step = 0; step < 4; ++step) {
            QTest::keyClick(w->windowHandle(), Qt::Key_Down);
            chosen += QString::number(app->state.SelectedProtocol);
        }
        QCOMPARE(chosen, "1234");

        setTexts(U"Hei", U"gammel");
        run("Ctrl+K");
        QVERIFY(app->fakes.dialogs.shown() == std::vector<FakeDialogs::Shown>{Messages::MissingCryptKey()});
        QCOMPARE(Q(out()), "Hei");

        w->txtInput()->setText(Text(1'000'000, U'a')); // seven digits are narrowed to fit the counter
        const QLabel* count = get<QLabel>("lblAntTegn");
        QCOMPARE(count->text(), "1000000");
        QVERIFY(count->fontMetrics().horizontalAdvance(count->text()) <= count->contentsRect().width());
    }

    // The menus in their order, each submenu in brackets, a divider as "-".
    void menusAsShown()
    {
        load();
        const std::function<QString(const QList<QAction*>&)> shown = [&shown](const QList<QAction*>& items) {
            QStringList texts;
            for (const QAction* item : items)
                texts << (item->isSeparator() ? QString("-")
                          : item->menu()      ? item->text() + '(' + shown(item->menu()->actions()) + ')'
                                              : item->text());
            return texts.join('|');
        };
        QCOMPARE(
            shown(w->findChild<QMenuBar*>()->actions()),
            "&File(&Kryptering(Krypter|-|Krypter x3|Krypter x10|Krypter xX)|&Dekrypter|&Make KeyDisk|-|Lukk|"
            "Logg ut)|&Edit(&Copy|&Paste|&Reset)|&Dill(&Panikk|&Changelog|Pi&zza Timer|&Greetz|&Vignere "
            "Visual)|&Krypter|&Dekrypter|&CryptKey");
    }

    void protocolChoice_data()
    {
        // clang-format off
        AddRows<ProtocolRow>({
            {"Crypt", {"Option1", 1, false}},
            {"Røver", {"Option2", 2, true}},
            {"Begge", {"Option3", 3, true}},
        });
        // clang-format on
    }
    // Strong is ticked while enabled, then the choice moves away from the row's option and back to it; the
    // texts stay. Reset (Ctrl+R) then empties the boxes only, and puts the cursor in the input. Copy (F2) and
    // paste (F3) go through the clipboard service; Ctrl+Z takes back what replaced the typed text.
    void protocolChoice()
    {
        const auto& [option, protocol, repeats] = TheRow<ProtocolRow>();
        load();
        setTexts(U"Hei\r\nder", U"004a01x");
        click("Option2");
        click("Check1");
        click(option == "Option1" ? "Option4" : "Option1");
        click(option);
        QCOMPARE(int(app->state.SelectedProtocol), protocol);
        QVERIFY(w->Check1()->isChecked());
        for (const char* name : {"crypt3", "crypt10", "cryptx"})
            QCOMPARE(get(name)->isEnabled(), repeats);
        QCOMPARE(w->Check1()->isEnabled(), repeats);
        QVERIFY(in() == U"Hei\r\nder" && out() == U"004a01x");

        const Text welcome = w->StatusBar1()->text(1), tip = w->StatusBar1()->text(2);
        w->txtOutput()->setFocus();
        QTest::keySequence(w->txtOutput(), QKeySequence("Ctrl+R"));
        QVERIFY(in().empty() && out().empty());
        QVERIFY(get<QRadioButton>(option)->isChecked() && w->Check1()->isChecked());
        QVERIFY(int(app->state.SelectedProtocol) == protocol && w->StatusBar1()->count() == 2);
        QVERIFY(w->StatusBar1()->text(1) == welcome && w->StatusBar1()->text(2) == tip);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->txtInput()));
        run("F2"); // the empty output is copied too
        QVERIFY(app->fakes.clipboard.text().empty() && app->fakes.clipboard.writes() == 1);
        app->fakes.clipboard.setForeignText(U"a\nb\n"); // from a program that breaks lines with LF
        run("F3");
        app->fakes.clipboard.setForeignText(U"a\r\nb\nc\r"); // any CR: breaks as they come, kept exactly
        run("F3");
        app->fakes.clipboard.setText(U"004a01a\nb"); // from a copy of this program: exactly
        run("F3");
        // Each paste, and the reset, is one step back; stepping back shows what each paste gave.
        for (const char* pasted : {"004a01a\nb", "a\r\nb\nc\r", "a\r\nb\r\n", "", "Hei\r\nder"}) {
            QCOMPARE(Q(in()), pasted);
            run("Ctrl+Z");
        }
    }

    void encryptThenDecrypt_data()
    {
        // clang-format off
        AddRows<RoundTripRow>({
            {"Røver x3, Dekrypter", {"Option2", "crypt3", "dekrypter", "b03"}},
            {"Røver Ctrl+K, Ctrl+D", {"Option2", "Ctrl+K", "Ctrl+D", "b01"}},
            {"Begge x10, menu bar", {"Option3", "crypt10", "dekrypter1", "d10"}},
            {"Crypt, menu bar", {"Option1", "krypter1", "Ctrl+D", "a01"}},
            {"Vignere with key", {"Option4", "krypter", "dekrypter", "f01"}},
        });
        // clang-format on
    }
    // The input is typed, a line break as CR LF (two characters in the count), and given lone CRs and LFs;
    // the output goes through the clipboard (F2, F3) to be decrypted back to it exactly.
    void encryptThenDecrypt()
    {
        const auto& [option, encrypt, decrypt, header] = TheRow<RoundTripRow>();
        app->state.CryptKey = U"NØKKEL";
        load();
        click(option);
        for (const char* line : {"", "Hei på deg,", "", "Åse!"}) {
            QTest::keyClicks(w->txtInput(), line);
            QTest::keyClick(w->txtInput(), Qt::Key_Return);
        }
        QCOMPARE(Q(in()), "\r\nHei på deg,\r\n\r\nÅse!\r\n");
        QCOMPARE(get<QLabel>("lblAntTegn")->text(), "23");
        w->txtInput()->setText(in() + U"\ra\nb\n\r");
        const Text input = in();
        run(encrypt);
        QCOMPARE(Q(in()), Q(input));
        QCOMPARE(OuterHeader(out()), header);
        run("F2");
        QCOMPARE(Q(app->fakes.clipboard.text()), Q(out()));
        w->txtInput()->setText(U"x");
        run("F3");
        QCOMPARE(Q(in()), Q(out()));
        run(decrypt);
        QCOMPARE(Q(out()), Q(input));
        QCOMPARE(app->fakes.dialogs.shown().size(), option == "Option4" ? 1u : 0u); // the key prompt
    }

    // The prompt answers in turn ("-" cancels); the boxes shown: P prompt, O overflow, and the limit box
    // answered R (retry) or C (cancel); the output's outer header, or the output.
    void repeatCount_data()
    {
        // clang-format off
        AddRows<RepeatRow>({
            {"14 overflows", {QStringList{"14"}, "PO", "gammel"}},
            {"15", {QStringList{"15"}, "PC", "gammel"}},
            {"abc, retry, 3", {QStringList{"abc", "3"}, "PRP", "b03"}},
            {"15, retry, cancel", {QStringList{"15", "-"}, "PRP", "gammel"}},
        });
        // clang-format on
    }
    void repeatCount()
    {
        const auto& [answers, boxes, output] = TheRow<RepeatRow>();
        const InputBoxRequest prompt{U"Hvor mange ganger skal teksten krypteres?", U"qelCrypto", U""};
        const MessageBoxRequest limit{U"Grensen er 15 ganger!", U"Error", MessageButtons::RetryCancel,
                                      MessageIcon::Exclamation};
        for (const QString& answer : answers)
            app->fakes.dialogs.answerNextPrompt(answer == "-" ? std::nullopt
                                                              : std::optional(FromQString(answer)));
        std::vector<FakeDialogs::Shown> expected;
        for (QChar box : boxes) {
            expected.push_back(box == 'P'   ? FakeDialogs::Shown(prompt)
                               : box == 'O' ? Messages::OverflowReport()
                                            : limit);
            if (box == 'R' || box == 'C')
                app->fakes.dialogs.answerNextMessage(box == 'R' ? MessageAnswer::Retry
                                                                : MessageAnswer::Cancel);
        }
        load();
        click("Option2");
        setTexts(U"a", U"gammel");
        run("cryptx");
        QVERIFY(app->fakes.dialogs.shown() == expected);
        QCOMPARE(OuterHeader(out()), output);
    }

    // The key disk is written for the user logged in, and only after a Yes.
    void makeKeyDisk()
    {
        load();
        app->state.CurrentUser = U"tg04user";
        app->fakes.random = ScriptedRandom({24.0 / 16777216.0});
        app->fakes.clock.set(QDateTime(QDate(2026, 12, 6), QTime(9, 5)));
        const QString file = app->fakes.drive.path(QString::fromLatin1(KeyFileName));
        app->fakes.dialogs.answerNextMessage(MessageAnswer::No);
        run("MakeKeyDisk");
        QVERIFY(!QFile::exists(file));
        app->fakes.dialogs.answerNextMessage(MessageAnswer::Yes);
        run("MakeKeyDisk");
        QCOMPARE(app->fakes.drive.content(QString::fromLatin1(KeyFileName)),
                 "100001431,\"tg04user\",905\r\n");
        const MessageBoxRequest question{
            U"For å lage en KeyDisk må du ha en diskett i drev A:. Vil du forsette?", U"Lage KeyDisk?",
            MessageButtons::YesNo, MessageIcon::Question};
        QCOMPARE(app->fakes.dialogs.messages(), std::vector(2, question));
    }
};

QTEST_MAIN(frmCryptTest)
#include "frmCryptTest.moc"
