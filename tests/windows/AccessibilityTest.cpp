#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

namespace {

QString NameOf(QObject* object)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

QString Label(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// What the user can reach in a window: the visible, enabled widgets of the window itself (not of its
// popups) that take focus from the keyboard or act on a click.
QList<QWidget*> Reachable(QWidget* window, bool buttons)
{
    QList<QWidget*> found;
    QList<QWidget*> all = window->findChildren<QWidget*>();
    all.prepend(window);
    for (QWidget* widget : all) {
        if (widget->window() != window || !widget->isVisible() || !widget->isEnabled())
            continue;
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 ||
            (buttons && qobject_cast<QAbstractButton*>(widget)))
            found << widget;
    }
    return found;
}

// Every command of a menu bar and its menus, submenus included, as the menus show them.
QList<QAction*> Commands(const QList<QAction*>& actions)
{
    QList<QAction*> commands;
    for (QAction* action : actions) {
        if (action->isSeparator())
            continue;
        commands << action;
        if (action->menu() != nullptr)
            commands << Commands(action->menu()->actions());
    }
    return commands;
}

} // namespace

// What a screen reader and a keyboard-only user find in each window of the program.
class AccessibilityTest : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase() { QAccessible::setActive(true); }

    // A screen reader finds the caption beside a box as the box's label.
    void captionsLabelTheirBoxes()
    {
        const std::tuple<WindowId, const char*, const char*> rows[] = {
            {WindowId::frmLogin, "txtBrukernavn", "lblBrukernavn"},
            {WindowId::frmLogin, "txtPassord", "Label1"},
            {WindowId::frmLogin, "Combo1", "Label4"},
            {WindowId::frmCryptKey, "txtInputKey", "lblSkrivInn"},
            {WindowId::frmCryptKey, "txtOutputKey", "lblOutput"}};
        QStringList unlabelled;
        for (const auto& [id, box, label] : rows) {
            QWidget* window = show(id, false);
            const auto relations = QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(box))
                                       ->relations(QAccessible::Label);
            if (relations.isEmpty() || relations[0].first->object() != window->findChild<QLabel*>(label))
                unlabelled << box;
        }
        QVERIFY2(unlabelled.isEmpty(), qPrintable(unlabelled.join(' ')));
    }

    void everyControlIsNamedAndReached_data() { everyWindow(); }
    // The controls and every menu command, as a screen reader names them; the list is of the nameless.
    // Then Tab from the control that has the focus on opening, round the chain back to it, stops once at
    // each control that takes Tab. A group of radio buttons is one stop, as in every toolkit: its other
    // buttons take the focus from a click or the arrow keys only. The order is the design test's.
    void everyControlIsNamedAndReached()
    {
        QFETCH(WindowId, id);
        QWidget* window = show(id);
        QVERIFY(window != nullptr);
        QStringList nameless;
        for (QWidget* control : Reachable(window, true)) {
            if (NameOf(control).isEmpty())
                nameless << Label(control);
        }
        // A picture is named too, so that a screen reader can say what it shows.
        for (QLabel* picture : window->findChildren<QLabel*>()) {
            if (!picture->pixmap().isNull() && NameOf(picture).isEmpty())
                nameless << Label(picture);
        }
        // The menu bar and every menu, each item as the accessibility tree shows it.
        for (QWidget* menu : window->findChildren<QWidget*>()) {
            if (!menu->inherits("QMenuBar") && !menu->inherits("QMenu"))
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
            QVERIFY(accessible != nullptr);
            for (int i = 0; i < accessible->childCount(); ++i) {
                QAccessibleInterface* item = accessible->child(i);
                if (item->role() != QAccessible::Separator && item->text(QAccessible::Name).isEmpty())
                    nameless << menu->objectName() + "/" + QString::number(i);
            }
        }
        QVERIFY2(nameless.isEmpty(), qPrintable("nameless: " + nameless.join(" ")));

        const QList<QWidget*> reachable = Reachable(window, false);
        // The panic screen is its own only control, and any key leaves it.
        if (reachable == QList<QWidget*>{window})
            return;
        QWidget* first = QApplication::focusWidget();
        QVERIFY(first != nullptr && first->window() == window);
        QStringList controls, stops;
        for (QWidget* control : reachable)
            controls << Label(control);
        for (int step = 0; step < 40 && (step == 0 || QApplication::focusWidget() != first); ++step) {
            stops << Label(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), first);
        controls.sort();
        stops.sort();
        QCOMPARE(stops, controls);
    }

    // Each command of the main window is reached with the keyboard: by a key of its own, or through
    // its menu, which Alt and the menu's underlined letter open and the arrow keys walk.
    void everyMenuCommandHasAKey()
    {
        QWidget* window = show(WindowId::frmCrypt);
        QVERIFY(window != nullptr);
        QStringList keyless;
        const QList<QAction*> bar = window->findChild<QMenuBar*>()->actions();
        QVERIFY(Commands(bar).size() > 20);
        for (QAction* entry : bar) {
            if (!QKeySequence::mnemonic(entry->text()).isEmpty())
                continue;
            const QList<QAction*> commands =
                entry->menu() ? Commands(entry->menu()->actions()) : QList{entry};
            for (const QAction* command : commands) {
                if (command->menu() == nullptr && command->shortcut().isEmpty())
                    keyless << command->objectName();
            }
        }
        QVERIFY2(keyless.isEmpty(), qPrintable("no key: " + keyless.join(" ")));
    }

    void enterPressesTheFocusedButton_data() { everyWindow(); }
    // Enter on a focused push button presses it, as Space does, in every window.
    void enterPressesTheFocusedButton()
    {
        QFETCH(WindowId, id);
        QStringList names;
        for (const QPushButton* button : show(id)->findChildren<QPushButton*>())
            names << button->objectName();
        QStringList unpressed;
        for (const QString& name : names) {
            app = std::make_unique<ProgramUnderTest>(); // a press may close the window
            auto* button = show(id)->findChild<QPushButton*>(name);
            if (!button->isEnabled())
                continue;
            button->setFocus();
            QSignalSpy clicks(button, &QPushButton::clicked);
            QTest::keyClick(button, Qt::Key_Return);
            if (clicks.count() != 1)
                unpressed << name;
        }
        QVERIFY2(unpressed.isEmpty(), qPrintable("not pressed: " + unpressed.join(" ")));
    }

    void escapeAnswersDialogs_data()
    {
        AddRows<std::pair<WindowId, bool>>({
            {"frmCryptKey, as its close box", {WindowId::frmCryptKey, false}},
            {"frmGreetz, as Lukk", {WindowId::frmGreetz, true}},
            {"frmChangelog, as Tilbake", {WindowId::frmChangelog, true}},
        });
    }
    // Escape closes a dialog as its button back does; a key typed into the CryptKey dialog is not kept.
    void escapeAnswersDialogs()
    {
        const auto& [id, showsMain] = TheRow<std::pair<WindowId, bool>>();
        QVERIFY(show(WindowId::frmCrypt) != nullptr);
        QVERIFY(show(id) != nullptr);
        app->rules.Hide(WindowId::frmCrypt); // so that only the way back can show it
        QTest::keyClicks(QApplication::focusWidget(), "NØKKEL");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(app->rules.Find(id), nullptr);
        QCOMPARE(app->rules.Find(WindowId::frmCrypt)->isShown(), showsMain);
        QVERIFY(app->state.CryptKey.empty());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
