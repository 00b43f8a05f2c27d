#pragma once

#include "Beep.h"
#include "Clipboard.h"
#include "Clock.h"
#include "KeyDrive.h"
#include "Printer.h"
#include "cipher/RandomSource.h"
#include "cipher/UserDialogs.h"

namespace qel {

// Everything a window may need from outside the program. Whoever creates the windows owns the
// services: the program the Qt ones, a test its doubles.
struct Services {
    UserDialogs& dialogs;
    Clipboard& clipboard;
    Clock& clock;
    RandomSource& random;
    Beep& beep;
    KeyDrive& drive;
    Printer& printer;
};

} // namespace qel
