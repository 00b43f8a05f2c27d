#pragma once

#include <QList>

class QRadioButton;
class QWidget;

namespace qel {

// Option buttons that form one group, in their order on the screen. Tab reaches the group at the
// chosen button only (at the first, while none is chosen); the arrow keys move to the next or previous
// enabled button of the group, round at the ends, and choose it, as a click does.
void MakeOptionGroup(const QList<QRadioButton*>& group);

// Enter, from the main keyboard or the keypad, presses whichever push button of the window has the
// focus, as Space does. No button becomes the window's default: Enter elsewhere does what it did.
void PressFocusedButtonOnEnter(QWidget* window);

} // namespace qel
