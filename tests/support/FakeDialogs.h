#pragma once

#include "cipher/UserDialogs.h"

#include <deque>
#include <functional>
#include <variant>
#include <vector>

namespace qel::testing {

// Records every box and prompt in the order shown, and answers them from scripts. Unscripted
// message boxes are answered as Escape would (Cancel, No, or OK); unscripted prompts with OK on the
// pre-filled answer.
class FakeDialogs final : public UserDialogs
{
public:
    using Shown = std::variant<MessageBoxRequest, InputBoxRequest>;

    MessageAnswer showMessage(const MessageBoxRequest& request) override;
    std::optional<Text> askText(const InputBoxRequest& request) override;

    void answerNextMessage(MessageAnswer answer) { m_messageAnswers.push_back(answer); }
    void answerNextPrompt(std::optional<Text> answer) { m_promptAnswers.push_back(std::move(answer)); }
    // Runs while the next message box is open, as events delivered inside a modal box's loop do.
    void whileNextMessageShows(std::function<void()> action) { m_whileShowing = std::move(action); }

    const std::vector<Shown>& shown() const { return m_shown; }
    std::vector<MessageBoxRequest> messages() const;

private:
    std::vector<Shown> m_shown;
    std::deque<MessageAnswer> m_messageAnswers;
    std::deque<std::optional<Text>> m_promptAnswers;
    std::function<void()> m_whileShowing;
};

} // namespace qel::testing
