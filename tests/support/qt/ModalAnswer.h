#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace qel::testing {

// Answers the next real modal dialog: once one is open, hands it to answer, which clicks or types.
// Call it before the command that opens the dialog; the answer comes from inside the dialog's own
// event loop. Gives up quietly after a few seconds, so that a dialog that never came fails the test
// through the test's own checks instead of hanging it.
void AnswerNextModal(std::function<void(QWidget* dialog)> answer);

// Clicks the button with the given caption on a QMessageBox or QInputDialog.
void ClickButton(QWidget* dialog, const QString& caption);

} // namespace qel::testing
