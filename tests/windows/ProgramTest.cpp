#include "windows/Program.h"

#include <QtTest>

#include <memory>

using namespace qel;

namespace {

class PlainForm final : public Form
{
public:
    void makeVisible() override {}
    void makeHidden() override {}
    bool isShown() const override { return true; }
    void dispose() override { delete this; }
};

} // namespace

class ProgramTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowRules> windows;
    int quits = 0;

private slots:
    void init()
    {
        windows = std::make_unique<WindowRules>();
        quits = 0;
        for (const WindowId id : {WindowId::frmLogin, WindowId::frmCrypt})
            windows->registerWindow(id, [] { return std::make_unique<PlainForm>(); });
        QuitWhenAllUnloaded(*windows, [this] { ++quits; });
    }

    // The decision waits for the event loop, and a window left loaded keeps the program running.
    void endsOnceTheLastWindowIsGone()
    {
        windows->Show(WindowId::frmLogin);
        windows->Show(WindowId::frmCrypt);
        windows->Unload(WindowId::frmLogin);
        QCoreApplication::processEvents();
        QCOMPARE(quits, 0);
        windows->Unload(WindowId::frmCrypt);
        QCOMPARE(quits, 0);
        QTRY_COMPARE(quits, 1);
    }

    // Logging out unloads everything and shows a fresh window before the handler returns.
    void aWindowShownInTheSameHandlerKeepsItRunning()
    {
        windows->Show(WindowId::frmCrypt);
        windows->UnloadAll();
        windows->Show(WindowId::frmLogin);
        QCoreApplication::processEvents();
        QCOMPARE(quits, 0);
    }
};

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
