#pragma once

#include "cipher/Text.h"

#include <optional>

class QMimeData;

namespace qel {

// The system clipboard. The program's own copies carry the exact text under a type of their own beside
// the plain text, because the plain text of other programs has its line breaks rewritten on the way in
// (NormalisePastedBreaks), and an encrypted text with a lone LF must reach another copy unchanged.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // The clipboard's plain text, or an empty text when it holds none.
    virtual Text text() const = 0;
    // The exact text a copy of this program put there; nothing when another program filled it.
    virtual std::optional<Text> exactText() const = 0;
    // Puts the text there both exactly and as plain text.
    virtual void setText(const Text& text) = 0;
};

class QtClipboard final : public Clipboard
{
public:
    Text text() const override;
    std::optional<Text> exactText() const override;
    void setText(const Text& text) override;
};

// The exact text and the plain text in one piece of clipboard or drag data, and the exact text back.
void PutExactText(QMimeData& data, TextView text);
std::optional<Text> ExactText(const QMimeData* data);

} // namespace qel
