#include "platform/StatusBar.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <climits>
#include <memory>

namespace qel {

class StatusBarTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<StatusBar> m_bar;

private slots:
    void init()
    {
        m_bar = std::make_unique<StatusBar>();
        for (const char32_t* text : {U"en", U"to", U"tre"}) {
            m_bar->add();
            m_bar->setText(m_bar->count(), text);
        }
        m_bar->show();
    }

    void cleanup()
    {
        m_bar.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // A screen reader finds a status bar, and its panels in their order.
    void accessibleAsStatusBar()
    {
        m_bar->remove(1);
        m_bar->add();
        m_bar->setText(3, U"fire");
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(m_bar.get());
        QCOMPARE(bar->role(), QAccessible::StatusBar);
        QStringList panels;
        for (int i = 0; i < bar->childCount(); ++i)
            panels << bar->child(i)->text(QAccessible::Name);
        QCOMPARE(panels, (QStringList{"to", "tre", "fire"}));
    }

    // Outside 1..count() every call is ignored; inside, removing a panel moves the later ones up.
    void positions()
    {
        for (const int position : {0, -1, 4, INT_MAX, INT_MIN}) {
            m_bar->setText(position, U"x");
            m_bar->sizeToContents(position);
            m_bar->remove(position);
            QVERIFY2(m_bar->text(position).empty() && !m_bar->panelLabel(position) &&
                         !m_bar->isSizedToContents(position),
                     qPrintable(QString::number(position)));
        }
        QVERIFY(m_bar->count() == 3 && m_bar->text(1) == U"en" && m_bar->text(2) == U"to" &&
                m_bar->text(3) == U"tre");
        m_bar->remove(2);
        QVERIFY(m_bar->count() == 2 && m_bar->text(1) == U"en" && m_bar->text(2) == U"tre");
    }

    // It grows to show a longer text whole and shrinks back; a standard panel keeps its width.
    void aPanelSizedToContentsFollowsItsText()
    {
        m_bar->sizeToContents(1);
        const QLabel *sized = m_bar->panelLabel(1), *standard = m_bar->panelLabel(2);
        const int shortWidth = sized->width(), standardWidth = standard->width();
        for (const int position : {1, 2})
            m_bar->setText(position, U"Kryptert 12 345 tegn på 0,25 sekunder");
        QVERIFY(sized->contentsRect().width() - sized->indent() >=
                sized->fontMetrics().horizontalAdvance(sized->text()));
        QCOMPARE(standard->width(), standardWidth);
        m_bar->setText(1, U"en");
        QCOMPARE(sized->width(), shortWidth);
    }
};

} // namespace qel

QTEST_MAIN(qel::StatusBarTest)
#include "StatusBarTest.moc"
