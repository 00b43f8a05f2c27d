#include "FakeDialogs.h"

#include <utility>

namespace qel::testing {

namespace {

// What Escape gives: a box nobody scripted never sends a retry loop round again.
MessageAnswer EscapeAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::YesNoCancel:
    case MessageButtons::RetryCancel:
        return MessageAnswer::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return MessageAnswer::Ok;
}

} // namespace

MessageAnswer FakeDialogs::showMessage(const MessageBoxRequest& request)
{
    m_shown.emplace_back(request);
    if (auto action = std::exchange(m_whileShowing, nullptr))
        action();
    if (m_messageAnswers.empty())
        return EscapeAnswer(request.buttons);
    const MessageAnswer answer = m_messageAnswers.front();
    m_messageAnswers.pop_front();
    return answer;
}

std::optional<Text> FakeDialogs::askText(const InputBoxRequest& request)
{
    m_shown.emplace_back(request);
    if (m_promptAnswers.empty())
        return request.answer;
    auto answer = std::move(m_promptAnswers.front());
    m_promptAnswers.pop_front();
    return answer;
}

std::vector<MessageBoxRequest> FakeDialogs::messages() const
{
    std::vector<MessageBoxRequest> out;
    for (const auto& item : m_shown) {
        if (const auto* request = std::get_if<MessageBoxRequest>(&item))
            out.push_back(*request);
    }
    return out;
}

} // namespace qel::testing
