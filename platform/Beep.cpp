#include "Beep.h"

#include <QApplication>

namespace qel {

void QtBeep::beep()
{
    QApplication::beep();
}

} // namespace qel
