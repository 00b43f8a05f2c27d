#pragma once

#include "cipher/UserDialogs.h"

#include <QStringList>

namespace qel {

// Real modal boxes: QMessageBox and QInputDialog over the active window, with Norwegian buttons.
class QtDialogs final : public UserDialogs
{
public:
    MessageAnswer showMessage(const MessageBoxRequest& request) override;
    std::optional<Text> askText(const InputBoxRequest& request) override;
    // A list to pick one item from, by its position; nothing when cancelled.
    static std::optional<qsizetype> chooseItem(const QString& title, const QString& prompt,
                                               const QStringList& items);
};

} // namespace qel
