#include "windows/accessories/frmGreetz.h"

#include "tests/support/qt/ProgramUnderTest.h"
#include "windows/main/frmCrypt.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace qel;

class frmGreetzTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<testing::ProgramUnderTest> app;
    frmCrypt* crypt = nullptr;
    frmGreetz* greetz = nullptr;

    void open()
    {
        greetz = static_cast<frmGreetz*>(app->rules.Show(WindowId::frmGreetz));
        QVERIFY(QTest::qWaitForWindowActive(greetz));
    }

private slots:
    void init()
    {
        app = std::make_unique<testing::ProgramUnderTest>();
        crypt = static_cast<frmCrypt*>(app->rules.Show(WindowId::frmCrypt));
        crypt->move(30, 40); // away from the screen's centre, where the window would centre without it
        open();
    }
    void cleanup()
    {
        app.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void opensAsDesigned()
    {
        QCOMPARE(greetz->windowTitle(), "qelCrypto - Greetz");
        QCOMPARE(greetz->minimumSize(), QSize(312, 119));
        QCOMPARE(greetz->maximumSize(), QSize(312, 119));
        QCOMPARE(greetz->windowFlags() & (Qt::Tool | Qt::WindowMinMaxButtonsHint), Qt::WindowFlags(Qt::Tool));
        QCOMPARE(greetz->frameGeometry().center(), crypt->frameGeometry().center());
        const QList<QLabel*> labels{greetz->lblGreetzFlyOut(), greetz->lblGreet1(), greetz->lblGreet2(),
                                    greetz->lblGreet3()};
        QCOMPARE(
            (QList<QRect>{labels[0]->geometry(), labels[1]->geometry(), labels[2]->geometry(),
                          labels[3]->geometry(), greetz->cmdGreetzBack()->geometry()}),
            (QList<QRect>{
                {0, 0, 313, 25}, {0, 40, 297, 17}, {0, 56, 297, 17}, {0, 72, 297, 17}, {8, 96, 297, 21}}));
        QCOMPARE(greetz->cmdGreetzBack()->text(), "Lukk");
        QTRY_COMPARE(QApplication::focusWidget(), greetz->cmdGreetzBack());

        QLabel* heading = labels[0];
        heading->ensurePolished();
        QCOMPARE(heading->text(), "Greetz fly out to:");
        QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(heading->font().pointSizeF(), 15.75);
        QVERIFY(heading->font().bold() && heading->font().italic() &&
                heading->alignment() & Qt::AlignHCenter);
        QCOMPARE(labels[1]->font(), QApplication::font());
        // A line for each of the three users; no text is cut off.
        const QStringList starts{"Greetz", "Kaktus – ", "Fjord – ", "Mast – "};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(labels[i]->text().startsWith(starts[i]), qPrintable(labels[i]->text()));
            QVERIFY(labels[i]->fontMetrics().horizontalAdvance(labels[i]->text()) <= labels[i]->width());
        }
    }

    // "Lukk" unloads the window and brings up the main window, even from hidden; the close box only
    // unloads. The next Show loads the window afresh.
    void closingUnloads_data()
    {
        QTest::addColumn<bool>("lukk");
        QTest::addColumn<bool>("mainHidden");
        QTest::newRow("Lukk") << true << false;
        QTest::newRow("Lukk, main window hidden") << true << true;
        QTest::newRow("close box") << false << false;
    }
    void closingUnloads()
    {
        QFETCH(bool, lukk);
        QFETCH(bool, mainHidden);
        if (mainHidden)
            app->rules.Hide(WindowId::frmCrypt);
        greetz->lblGreet1()->setText("endret");
        const QPointer<frmGreetz> old = greetz;
        if (lukk)
            QTest::mouseClick(greetz->cmdGreetzBack(), Qt::LeftButton);
        else
            greetz->close();
        QVERIFY(!app->rules.IsLoaded(WindowId::frmGreetz));
        QTRY_VERIFY(old.isNull());
        QCOMPARE(crypt->isVisible(), lukk || !mainHidden);
        if (lukk)
            QTRY_COMPARE(QApplication::activeWindow(), crypt);
        open();
        QVERIFY(greetz->lblGreet1()->text().startsWith("Kaktus"));
    }
};

QTEST_MAIN(frmGreetzTest)
#include "frmGreetzTest.moc"
