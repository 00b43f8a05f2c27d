// The main window as a filter, so that the page's test can hold the desktop program against the page
// and qelcrypt: the text on standard input goes into the input box, the protocol and Strong are
// clicked, the Krypter command named by the pass count (or Dekrypter) runs, and the output box's
// exact text goes to standard output. A box the window shows goes to standard error, with status 1.
//
//   desktop_window krypter PROTOCOL STRONG PASSES KEY     (PROTOCOL 1 to 4, STRONG 0 or 1)
//   desktop_window dekrypter PROTOCOL KEY
#include "app/ApplicationState.h"
#include "app/WindowRules.h"
#include "cipher/Cryptocalls.h"
#include "platform/TextBox.h"
#include "tests/support/qt/FakeServices.h"
#include "windows/Registry.h"
#include "windows/main/frmCrypt.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

using namespace qel;
using namespace qel::testing;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool encrypt = args.value(0) == "krypter";
    if (args.size() != (encrypt ? 5 : 3)) {
        std::fputs("usage: desktop_window krypter PROTOCOL STRONG PASSES KEY | dekrypter PROTOCOL KEY\n",
                   stderr);
        return 2;
    }
    const std::string input{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};

    FakeServices fakes;
    SeededRandom random = SeededRandom::fromClock();
    Services services{fakes.dialogs, fakes.clipboard, fakes.clock,  random,
                      fakes.beep,    fakes.drive,     fakes.printer};
    ApplicationState state;
    // As the CryptKey dialog sets it, or refuses it.
    if (const Text key = Cryptocalls::NormaliseKey(FromUtf8(args.last().toStdString()));
        key != Cryptocalls::KeyTooShort)
        state.CryptKey = key;
    WindowRules rules;
    RegisterWindows({state, rules, services});
    rules.Show(WindowId::frmCrypt);
    auto* window = rules.Find<frmCrypt>(WindowId::frmCrypt);

    window->findChild<QRadioButton*>("Option" + args.value(1))->click();
    window->txtInput()->setText(FromUtf8(input));
    QString command = "dekrypter";
    if (encrypt) {
        if (args.value(2) == "1")
            window->Check1()->click();
        const QString passes = args.value(3);
        command = passes == "1"    ? "krypter"
                  : passes == "3"  ? "crypt3"
                  : passes == "10" ? "crypt10"
                                   : "cryptx";
        fakes.dialogs.answerNextPrompt(FromUtf8(passes.toStdString()));
    }
    window->findChild<QAction*>(command)->trigger();

    int status = 0;
    for (const MessageBoxRequest& box : fakes.dialogs.messages()) {
        std::fprintf(stderr, "%s\n", ToUtf8(box.text).c_str());
        status = 1;
    }
    const std::string output = ToUtf8(window->txtOutput()->text());
    std::fwrite(output.data(), 1, output.size(), stdout);
    rules.UnloadAll();
    return status;
}
