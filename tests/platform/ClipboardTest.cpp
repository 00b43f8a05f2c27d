#include "platform/Clipboard.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

namespace qel {

using namespace Qt::StringLiterals;

// The main window's Copy and Paste through the system's clipboard: another copy of the program reads
// the exact text back, another program the plain text.
class ClipboardTest : public QObject
{
    Q_OBJECT

private slots:
    void exactBesidePlain()
    {
        QtClipboard clipboard;
        clipboard.setText(U"a\rb\r\nc");
        QCOMPARE(ToQString(clipboard.exactText().value()), u"a\rb\r\nc"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"a\rb\r\nc"_s);

        // Another program's text has no exact text beside it.
        QGuiApplication::clipboard()->setText(u"p\nq"_s);
        QVERIFY(!clipboard.exactText().has_value());
        QCOMPARE(ToQString(clipboard.text()), u"p\nq"_s);
    }
};

} // namespace qel

QTEST_MAIN(qel::ClipboardTest)
#include "ClipboardTest.moc"
