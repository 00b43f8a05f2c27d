#include "platform/TextBox.h"
#include "platform/EditMenu.h"
#include "platform/QtText.h"
#include "tests/support/qt/Rows.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <memory>
#include <random>

namespace qel {

using namespace Qt::StringLiterals;
using testing::AddRows;
using testing::TheRow;

// before, cursor (in the document, where a line break or a picture is one character), keys, after
using EditRow = std::tuple<QString, int, QString, QString>;

class TextBoxTest : public QObject
{
    Q_OBJECT

    TextBox* m_box = nullptr;

    // ⌫ Backspace, ⌦ Delete, ↵ Return, ⇧ Shift+Return, ◂ Shift+Left, ▣ select all, © copy, ⎘ paste, ↶ undo,
    // ↷ Ctrl+Shift+Z, ⤼ Ctrl+Y; ⊘ makes the box read-only, ✎ sets the text "x\r", ® reserves Ctrl+A for the
    // window, ƒ puts "p\nq" on the clipboard as another program would, ⌨ commits "ba" from an input method
    // (✍ shows "b" composing first), ⇡ drops another program's "x" at the end;
    // any other character is typed.
    void press(char32_t key)
    {
        static const QStringList keys{u"Backspace"_s,  u"Del"_s,          u"Return"_s, u"Shift+Return"_s,
                                      u"Shift+Left"_s, u"Ctrl+A"_s,       u"Ctrl+C"_s, u"Ctrl+V"_s,
                                      u"Ctrl+Z"_s,     u"Ctrl+Shift+Z"_s, u"Ctrl+Y"_s};
        const QString text = QString::fromUcs4(&key, 1);
        const qsizetype named = u"⌫⌦↵⇧◂▣©⎘↶↷⤼"_s.indexOf(text);
        if (text == u"⊘")
            m_box->setReadOnly(true);
        else if (text == u"✎")
            m_box->setText(U"x\r");
        else if (text == u"ƒ")
            QGuiApplication::clipboard()->setText(u"p\nq"_s);
        else if (text == u"⇡") {
            QTextCursor end = m_box->textCursor();
            end.movePosition(QTextCursor::End);
            const QPoint at = m_box->cursorRect(end).center();
            QMimeData data;
            data.setText(u"x"_s);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &drop})
                QApplication::sendEvent(m_box->viewport(), event);
        } else if (text == u"⌨" || text == u"✍") {
            QInputMethodEvent composing(u"b"_s, {});
            if (text == u"✍")
                QApplication::sendEvent(m_box, &composing);
            QInputMethodEvent commit;
            commit.setCommitString(u"ba"_s);
            QApplication::sendEvent(m_box, &commit);
        } else if (text == u"®")
            m_box->setReservedShortcuts(
                {QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::CTRL | Qt::Key_K)});
        else if (named >= 0)
            QTest::keySequence(m_box, QKeySequence(keys[named]));
        else
            QTest::sendKeyEvent(QTest::Click, m_box, Qt::Key_unknown, text, Qt::NoModifier);
    }

private slots:
    void init()
    {
        m_box = new TextBox;
        // The window's command on Ctrl+A, which writes "A", runs only once the key is reserved for it.
        auto* command = new QAction(m_box);
        command->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        m_box->addAction(command);
        connect(command, &QAction::triggered, m_box, [this] { m_box->setText(U"A"); });
        m_box->resize(400, 300);
        m_box->show();
        m_box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_box));
    }

    void cleanup()
    {
        delete m_box;
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void holdsTextExactly_data()
    {
        QTest::addColumn<QString>("exact");
        QTest::addColumn<QString>("rendering");
        QTest::newRow("lone LF, LF CR, lone CR") << u"\na\n\rb\r"_s << u"↓a↓←b←"_s;
        QTest::newRow("CR LF, CR CR LF") << u"a\r\r\nb\r\n"_s << u"a←\u2029b\u2029"_s;
        QTest::newRow("no-break space, line separator") << u"a\u00A0\u2028b"_s << u"a\u00A0\u2028b"_s;
        QTest::newRow("structure characters") << u"\u2029a\uFDD0\uFDD1"_s << u"\uFFFDa\uFFFD\uFFFD"_s;
        QTest::newRow("NUL, astral") << u"a\0\U0001F600"_s << u"a∅\U0001F600"_s;
        QTest::newRow("long") << u"x\r\ny\rz\n\U0001F600\u00A0"_s.repeated(3000)
                              << u"x\u2029y←z↓\U0001F600\u00A0"_s.repeated(3000);
    }

    void holdsTextExactly()
    {
        QFETCH(QString, exact);
        m_box->setText(FromQString(exact));
        QCOMPARE(ToQString(m_box->text()), exact);
        QTEST(m_box->document()->toRawText(), "rendering");
    }

    // Each key that changes the text signals it once. The clipboard holds "P" until something is copied
    // (one character, which must not join the typing before it). What the box copies comes back exactly;
    // text from another program with bare LF breaks only is pasted with CR LF.
    void editsLandInTheExactText_data()
    {
        AddRows<EditRow>({
            {"typed line breaks", {u"]"_s, 0, u"ab↵c⇧d\u2028x"_s, u"ab\r\nc\r\nd\r\nx]"_s}},
            {"backspace at end after lone CR", {u"a\rb"_s, 3, u"⌫"_s, u"a\r"_s}},
            {"backspace deletes lone CR", {u"a\rb"_s, 2, u"⌫"_s, u"ab"_s}},
            {"type after lone LF", {u"a\nb"_s, 2, u"xy"_s, u"a\nxyb"_s}},
            {"type before lone CR", {u"a\r"_s, 1, u"xy"_s, u"axy\r"_s}},
            {"backspace joins lines", {u"a\r\nb"_s, 2, u"⌫"_s, u"ab"_s}},
            {"backspace after astral", {u"\U0001F600\r\U0001F600b"_s, 5, u"⌫"_s, u"\U0001F600\rb"_s}},
            {"astral over astral", {u"\U0001F600"_s, 0, u"▣\U0001F601"_s, u"\U0001F601"_s}},
            {"astral over astral, same low half", {u"\U0001F600"_s, 0, u"▣\U0001FA00"_s, u"\U0001FA00"_s}},
            {"type after the lowest astral", {u"\U00010000y"_s, 2, u"x"_s, u"\U00010000xy"_s}},
            {"input method over a selection", {u"xab"_s, 3, u"◂◂⌨"_s, u"xba"_s}},
            {"input method after lone breaks", {u"a\rb\n"_s, 4, u"✍"_s, u"a\rb\nba"_s}},
            // The document shows ←← either way; only the exact text tells where the typed one went.
            {"typed ← before lone CR", {u"\r"_s, 0, u"←"_s, u"\u2190\r"_s}},
            {"typed ← over a selection ending in lone CR", {u"ab\rc"_s, 3, u"◂◂←"_s, u"a\u2190c"_s}},
            {"typed ← over lone CR", {u"\r"_s, 1, u"▣←"_s, u"\u2190"_s}},
            {"typed ← over a real ←", {u"\u2190"_s, 1, u"◂←"_s, u"\u2190"_s}},
            {"dropped at the end after lone CR", {u"a\rb"_s, 0, u"⇡"_s, u"a\rbx"_s}},
            {"CR meets LF", {u"\rx\n"_s, 1, u"⌦"_s, u"\r\n"_s}},
            {"copy, paste bare LFs", {u"[x\ny\n]"_s, 5, u"◂◂◂◂©⌦⎘"_s, u"[x\ny\n]"_s}},
            {"another program's bare LFs", {u"[]"_s, 1, u"ƒ⎘"_s, u"[p\r\nq]"_s}},
            {"copy, paste CR LF, bare LF", {u"[\r\ny\nz]"_s, 5, u"◂◂◂◂©⌦⎘"_s, u"[\r\ny\nz]"_s}},
            {"copy, paste line separator", {u"[x\u2028y]"_s, 4, u"◂◂◂©⌦⎘"_s, u"[x\u2028y]"_s}},
            // The document's own undo would give back the rendering, ← and ↓ for the lone CR and LF.
            {"undo a deletion exactly", {u"a\rb\n"_s, 0, u"▣⌦↶"_s, u"a\rb\n"_s}},
            {"typing undoes as one step", {u"a\r"_s, 2, u"xy↶"_s, u"a\r"_s}},
            {"deletion is a step", {u"a\rb"_s, 2, u"xy⌦↶"_s, u"a\rxyb"_s}},
            {"paste is a step", {u"a\r"_s, 2, u"x⎘↶"_s, u"a\rx"_s}},
            {"redo Ctrl+Shift+Z", {u"a\r"_s, 2, u"x⎘↶↶↷"_s, u"a\rx"_s}},
            {"redo Ctrl+Y", {u"a\r"_s, 2, u"x⎘↶⤼"_s, u"a\rxP"_s}},
            {"an edit drops redo", {u"a\r"_s, 2, u"x↶z⤼"_s, u"a\rz"_s}},
            {"steps back and forth", {u"a\r\nb"_s, 2, u"xy⌫⌫⌫↵⎘↶↶↶↶↶↷↷↷"_s, u"ab"_s}},
            {"set text starts the history", {u"a\r"_s, 2, u"x✎✎↶"_s, u"x\r"_s}},
            {"reserved key reaches the window", {u"ab"_s, 1, u"▣⌦®▣"_s, u"A"_s}},
            {"read-only never undoes", {u"a\r"_s, 2, u"x⊘↶"_s, u"a\rx"_s}},
        });
    }

    void editsLandInTheExactText()
    {
        const auto& [before, cursor, keys, after] = TheRow<EditRow>();
        QGuiApplication::clipboard()->setText(u"P"_s);
        m_box->setText(FromQString(before));
        QTextCursor at = m_box->textCursor();
        at.setPosition(cursor);
        m_box->setTextCursor(at);
        QSignalSpy changed(m_box, &TextBox::changed);
        for (const char32_t key : keys.toUcs4()) {
            const Text was = m_box->text();
            const qsizetype emitted = changed.count();
            press(key);
            QCOMPARE(changed.count() - emitted, m_box->text() == was ? 0 : 1);
        }
        QCOMPARE(ToQString(m_box->text()), after);
        QCOMPARE(m_box->document()->toRawText(), TextBox::Render(m_box->text()));
    }

    // Laid out breaking at words, a very long word costs the document minutes a keystroke: from a word of
    // 8,192 characters the box breaks lines anywhere, and at words again once none is 4,096 long.
    void breaksAnywhereOnlyWhileAWordIsVeryLong()
    {
        const auto anywhere = [this] { return m_box->wordWrapMode() == QTextOption::WrapAnywhere; };
        const auto typeAt = [this](int position, char32_t key) {
            QTextCursor cursor = m_box->textCursor();
            cursor.setPosition(position);
            m_box->setTextCursor(cursor);
            press(key);
        };
        m_box->setText(U"a " + Text(8191, U'x') + U" b");
        QVERIFY(!anywhere());
        typeAt(2 + 8191, U'x');
        QVERIFY2(anywhere(), "a word typed to 8,192");
        typeAt(2 + 4000, U' ');
        QVERIFY2(anywhere(), "parted into 4,000 and 4,192");
        typeAt(2 + 4001 + 4000, U' ');
        QVERIFY2(!anywhere(), "parted into 4,000, 4,000 and 192");
        press(U'↶');
        QVERIFY2(!anywhere(), "one undone: 4,000 and 4,192 again");
        press(U'↶');
        QVERIFY2(anywhere(), "both undone");
        m_box->setText(Text(12000, U' ') + Text(9000, U'y'));
        QVERIFY2(anywhere(), "set with the word at its end");
        m_box->setText(Text(8192, U'z'));
        typeAt(4096, U' ');
        typeAt(8193, U'⌫');
        QVERIFY2(anywhere(), "the text's first word still 4,096 long");
        m_box->setText(U"kort");
        QVERIFY(!anywhere());
        m_box->setText(Text(8191, U'x') + U" b");
        QVERIFY2(!anywhere(), "set with a word of 8,191 first");
        m_box->setText(Text(8192, U' ') + Text(8192, U'y'));
        QVERIFY2(anywhere(), "a word of 8,192 starting where a look falls");
    }

    // Keys far apart in a text longer than the box's walks go in one stretch, each changing how the exact
    // text and the document count (an astral letter counts twice there, a line break once here twice); a
    // deletion is undone, and every other one redone, and halfway the text is set anew. The model is the
    // document's text as the keys change it, line breaks read as CR LF.
    void editsFarApartLandWhereTyped()
    {
        const auto exact = [](QString display) {
            return display.replace(QChar::ParagraphSeparator, u"\r\n"_s);
        };
        const char32_t keys[] = {U'x', U'↵', U'\U0001F600', U'⌦', U'⎘'};
        // A paste leaves the cursor behind what it put in, where the next key types.
        const QString inserted[] = {
            u"x"_s, QChar(QChar::ParagraphSeparator), u"\U0001F600"_s, {}, u"p\U0001F600x"_s};
        QGuiApplication::clipboard()->setText(u"p\U0001F600"_s);
        QString model = u"ab\U0001F600c\u2029"_s.repeated(2000);
        m_box->setText(FromQString(exact(model)));
        std::mt19937 draw(7);
        for (int step = 0; step < 300; ++step) {
            if (step == 150) {
                model = u"\U0001F600\u2029d"_s.repeated(3000);
                m_box->setText(FromQString(exact(model)));
            }
            qsizetype at = std::uniform_int_distribution<qsizetype>(0, model.size())(draw);
            if (at > 0 && model[at - 1].isHighSurrogate())
                --at;
            const int key = step % 5;
            if (key == 3 && at == model.size())
                continue;
            QTextCursor cursor = m_box->textCursor();
            cursor.setPosition(static_cast<int>(at));
            m_box->setTextCursor(cursor);
            const QString was = model;
            press(keys[key]);
            if (key == 4)
                press(U'x');
            if (key == 3)
                model.remove(at, model[at].isHighSurrogate() ? 2 : 1);
            else
                model.insert(at, inserted[key]);
            QCOMPARE(ToQString(m_box->text()), exact(model));
            if (key == 3) {
                m_box->moveCursor(QTextCursor::End); // the undo then walks the whole text first
                press(U'↶');
                QCOMPARE(ToQString(m_box->text()), exact(was));
                if (step % 2 == 0)
                    model = was;
                else
                    press(U'↷');
                QCOMPARE(ToQString(m_box->text()), exact(model));
            }
        }
    }

    // Qt's own menus of the box and of a line edit, whose actions carry no names in every Qt version;
    // the box's shows the shortcuts after a tab.
    void editMenusAreNorwegian()
    {
        QGuiApplication::styleHints()->setShowShortcutsInContextMenus(true);
        qDeleteAll(m_box->actions()); // a command on a key hides the key in the menu
        QLineEdit edit;
        for (const bool box : {true, false}) {
            const std::unique_ptr<QMenu> menu(box ? m_box->createStandardContextMenu()
                                                  : edit.createStandardContextMenu());
            TranslateEditMenu(menu.get());
            QStringList captions;
            for (const QAction* action : menu->actions()) {
                if (!action->isSeparator())
                    captions << (box ? action->text() : action->text().section(u'\t', 0, 0));
            }
            const auto key = [box](QKeySequence::StandardKey key) {
                return box ? u'\t' + QKeySequence(key).toString() : QString();
            };
            QCOMPARE(
                captions,
                (QStringList{u"&Angre"_s + key(QKeySequence::Undo), u"&Gjør om"_s + key(QKeySequence::Redo),
                             u"Klipp &ut"_s + key(QKeySequence::Cut), u"&Kopier"_s + key(QKeySequence::Copy),
                             u"&Lim inn"_s + key(QKeySequence::Paste), u"&Slett"_s,
                             u"&Merk alt"_s + key(QKeySequence::SelectAll)}));
        }
    }

    // The box's own menu undoes and redoes from the box's history, exactly, and offers each step only
    // while there is one.
    void menuStepsThroughTheHistory()
    {
        // Opens the menu, notes whether "Angre" and "Gjør om" are offered, and chooses one of them.
        const auto choose = [this](int step) {
            QString offered;
            QTimer::singleShot(0, m_box, [&offered, step] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu != nullptr);
                for (int i = 0; i < 2; ++i)
                    offered += menu->actions().value(i)->isEnabled() ? u'1' : u'0';
                menu->actions().value(step)->trigger();
                menu->close();
            });
            QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                  m_box->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(m_box, &key);
            return offered;
        };
        m_box->setText(U"a\r");
        m_box->moveCursor(QTextCursor::End);
        press(U'x');
        QCOMPARE(choose(0), u"10"_s);
        QCOMPARE(ToQString(m_box->text()), u"a\r"_s);
        QCOMPARE(choose(1), u"01"_s);
        QCOMPARE(ToQString(m_box->text()), u"a\rx"_s);
    }
};

} // namespace qel

QTEST_MAIN(qel::TextBoxTest)
#include "TextBoxTest.moc"
