#pragma once

#include "cipher/UserDialogs.h"

namespace qel {

// Real modal boxes: QMessageBox and QInputDialog over the active window, with Norwegian buttons.
class QtDialogs final : public UserDialogs
{
public:
    MessageAnswer showMessage(const MessageBoxRequest& request) override;
    std::optional<Text> askText(const InputBoxRequest& request) override;
};

} // namespace qel
