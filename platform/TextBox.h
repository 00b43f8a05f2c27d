#pragma once

#include "cipher/Text.h"

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>

#include <cstddef>
#include <vector>

namespace qel {

// The same place in a TextBox's exact text and in its document.
struct TextPlace {
    std::size_t exact;
    int display;
};

// A multi-line text box that holds its text exactly as the program or the user put it in.
//
// A QTextDocument turns CR, LF and CR LF alike into paragraph breaks, and its plain-text export
// rewrites no-break spaces and line separators, so the box keeps the exact text itself and shows the
// document a rendering of it: a CR LF pair as a line break, a lone CR or LF (which encrypted texts
// carry) as the arrows ← and ↓, and the few characters the document would take for structure as �.
// Edits are read back from the document by comparing it with the rendering, so what the user types
// lands in the exact text, a typed line break as CR LF. Pastes, drops and copies go through the exact
// text. Use text() and setText(); the inherited plain-text accessors see only the rendering.
class TextBox final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    const Text& text() const { return m_exact; }
    // Replaces the whole text; emits changed() when that changes it, as any edit does.
    void setText(Text text);
    // The same as one edit of the user's, which Ctrl+Z takes back: for the commands that replace what the
    // user typed.
    void replaceText(Text text);

    // Key sequences that belong to the window's commands rather than to the editing keys of the box
    // (Ctrl+K, for one, would otherwise delete to the end of the line).
    void setReservedShortcuts(QList<QKeySequence> shortcuts) { m_reserved = std::move(shortcuts); }

    // How the document shows an exact text.
    static QString Render(TextView exact);

    // The box's own undo history: the user's edits since the program last set the text.
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    void undoEdit();
    void redoEdit();

signals:
    // The exact text changed, by the user or by setText().
    void changed();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // One step of a history: at `at` the text holds `length` characters where `replaced` stood before;
    // taking the step back puts them back and the cursor at `cursor`. `size` is the length of the whole
    // text the step goes back to, which the history's bound counts.
    struct Step {
        std::size_t at;
        std::size_t length;
        Text replaced;
        std::size_t cursor;
        std::size_t size;
    };

    void onContentsChange(int position, int removed, int added);
    void putText(Text text);
    void replaceExact(std::size_t from, std::size_t to, const Text& replacement, std::size_t cursorAfter);
    void recordEdit(std::size_t from, std::size_t to, const Text& inserted, bool typing);
    void restore(std::vector<Step>& from, std::vector<Step>& to);
    // Breaks lines anywhere while the text holds a very long word; from and to bound what just changed.
    void fitWrapMode(qsizetype from, qsizetype to);
    // Makes the document, which shows shown, show the exact text.
    void renderDocument(const QString& shown, std::size_t cursorExact);
    std::size_t exactIndexAt(int displayPosition) const;
    int displayPositionOf(std::size_t exactIndex) const;
    // Walks the exact text to the first place where stop(exact index, document position) holds, from
    // the nearest mark before it.
    template <typename Stop>
    TextPlace walkTo(Stop stop) const;
    // The exact text from `from` on changed: the marks there no longer hold.
    void forgetMarksFrom(std::size_t from);

    Text m_exact;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
    std::size_t m_typingEnd = Text::npos; // where a run of typed characters stands, merged into one step
    QString m_display;                    // what the document holds: always Render(m_exact)
    // Places that walks passed, one every MarkSpacing characters of the exact text, so that finding a
    // place in a long text walks a few thousand characters, not all before it.
    mutable std::vector<TextPlace> m_marks;
    bool m_rendering = false;
    bool m_mouseMoving = false;     // a mouse move is being handled, any drag it starts included
    mutable bool m_dragged = false; // that move started a drag
    QList<QKeySequence> m_reserved;
};

// Text taken from another program: one that uses bare LF line breaks (it holds no CR at all) gets
// each of them as CR LF; any other text is kept exactly.
Text NormalisePastedBreaks(Text text);

} // namespace qel
