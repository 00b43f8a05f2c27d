#pragma once

#include "cipher/Text.h"

namespace qel {

// The system clipboard, plain text only.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // The clipboard's plain text, or an empty text when it holds none.
    virtual Text text() const = 0;
    virtual void setText(const Text& text) = 0;
};

class QtClipboard final : public Clipboard
{
public:
    Text text() const override;
    void setText(const Text& text) override;
};

} // namespace qel
