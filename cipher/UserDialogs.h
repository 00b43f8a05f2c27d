#pragma once

#include "Text.h"

#include <optional>

namespace qel {

enum class MessageButtons { Ok, YesNo, YesNoCancel, RetryCancel };
enum class MessageIcon { None, Critical, Exclamation, Question, Information };
enum class MessageAnswer { Ok, Yes, No, Cancel, Retry };

// A modal message box exactly as the user is to see it.
struct MessageBoxRequest {
    Text text;
    Text title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const MessageBoxRequest&) const = default;
};

// A modal input box: a prompt, a title and the answer the field starts with.
struct InputBoxRequest {
    Text prompt;
    Text title;
    Text answer;

    bool operator==(const InputBoxRequest&) const = default;
};

// How the engine and the windows talk to the user. Whoever runs a command passes one in: the program a
// binding to real modal boxes, the tests a double that records the boxes and answers them.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    virtual MessageAnswer showMessage(const MessageBoxRequest& request) = 0;
    // The entered text, or nothing when the user cancelled.
    virtual std::optional<Text> askText(const InputBoxRequest& request) = 0;
};

} // namespace qel
