#include "TextBox.h"

#include "Clipboard.h"
#include "EditMenu.h"
#include "QtText.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

namespace qel {
namespace {

constexpr char32_t CR = U'\r';
constexpr char32_t LF = U'\n';
constexpr QChar Break = QChar::ParagraphSeparator; // how the document's raw text holds a line break
// Stand-ins for what the document cannot hold, chosen from glyphs the common fonts carry: a carriage
// return goes back (←), a line feed goes down (↓).
constexpr char32_t LoneCrPicture = U'\u2190';
constexpr char32_t LoneLfPicture = U'\u2193';
constexpr char32_t NulPicture = U'\u2205';
constexpr char32_t Replacement = U'\uFFFD';
// Beyond these bounds the undo history forgets its oldest steps: the number of steps, and the characters
// of the whole texts they go back to (the bound of a history that kept a whole text for every step).
constexpr std::size_t MaxUndoSteps = 100;
constexpr std::size_t MaxUndoCharacters = 4'000'000;
// A word longer than this makes the box break lines anywhere, and it breaks them at words again once no
// word is longer than half of it, so that typing at the bound does not lay the text out twice a key.
constexpr qsizetype LongWord = 8192;

// Whether display[from, to) holds a run of at least length characters without a blank. Any such run
// covers one of every length-th position from `from` on, so only the runs through those are measured:
// a million characters of prose take a few thousand looks instead of a million.
bool HasWord(QStringView display, qsizetype from, qsizetype to, qsizetype length)
{
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, display.size());
    for (qsizetype probe = from; probe < to; probe += length) {
        if (display[probe].isSpace())
            continue;
        qsizetype start = probe;
        while (start > from && !display[start - 1].isSpace())
            --start;
        qsizetype end = probe + 1;
        while (end < to && !display[end].isSpace() && end - start < length)
            ++end;
        if (end - start >= length)
            return true;
    }
    return false;
}

// The document's characters from `from` to `to`, paragraph breaks as U+2029, as toRawText() has them.
QString RawText(QTextDocument* document, qsizetype from, qsizetype to)
{
    QTextCursor cursor(document);
    cursor.setPosition(static_cast<int>(from));
    cursor.setPosition(static_cast<int>(to), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

bool IsPair(TextView exact, std::size_t i)
{
    return exact[i] == CR && i + 1 < exact.size() && exact[i + 1] == LF;
}

// What one character stands as in the document, when it is not part of a CR LF pair.
char32_t Stand(char32_t ch)
{
    switch (ch) {
    case CR:
        return LoneCrPicture;
    case LF:
        return LoneLfPicture;
    case U'\0':
        return NulPicture;
    // The document reads these as paragraph and frame boundaries.
    case U'\u2029':
    case U'\uFDD0':
    case U'\uFDD1':
        return Replacement;
    default:
        return ch;
    }
}

// Whether a character of the document may be a stand-in, typed or shown for another.
bool MayStandIn(QChar ch)
{
    const char32_t unit = ch.unicode();
    return unit == LoneCrPicture || unit == LoneLfPicture || unit == NulPicture || unit == Replacement;
}

int DisplayWidth(char32_t ch)
{
    return ch >= 0x10000 ? 2 : 1;
}

// Text the user typed into the document: a paragraph break or a line separator is a line break.
Text FromTyped(const QString& typed)
{
    Text text;
    text.reserve(static_cast<std::size_t>(typed.size()));
    for (const char32_t ch : FromQString(typed)) {
        if (ch == U'\u2029' || ch == U'\u2028') {
            text += CR;
            text += LF;
        } else {
            text += ch;
        }
    }
    return text;
}

using Place = TextPlace;

// How far apart the marks of the walks lie, in characters of the exact text.
constexpr std::size_t MarkSpacing = 4096;

// Stops at the first place at or after a document position.
auto AtDisplay(int displayPosition)
{
    return [displayPosition](std::size_t, int position) { return position >= displayPosition; };
}

// Walks the exact text a unit at a time (a CR LF pair is one unit, one line break in the document)
// from a place an earlier walk reached until stop(exact index, document position) holds or the text ends.
template <typename Stop>
Place WalkUnits(TextView exact, Stop stop, Place place)
{
    while (place.exact < exact.size() && !stop(place.exact, place.display)) {
        if (IsPair(exact, place.exact)) {
            place.exact += 2;
            place.display += 1;
        } else {
            place.display += DisplayWidth(Stand(exact[place.exact]));
            ++place.exact;
        }
    }
    return place;
}

// The first place at or after displayPosition, walking on from an earlier place.
Place PlaceAt(TextView exact, int displayPosition, Place from)
{
    return WalkUnits(exact, AtDisplay(displayPosition), from);
}

} // namespace

Text NormalisePastedBreaks(Text text)
{
    if (text.find(CR) != Text::npos || text.find(LF) == Text::npos)
        return text;
    Text withPairs;
    withPairs.reserve(text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), LF)));
    for (const char32_t ch : text) {
        if (ch == LF)
            withPairs += CR;
        withPairs += ch;
    }
    return withPairs;
}

QString TextBox::Render(TextView exact)
{
    // Sized once and written in place: appending a character at a time took longer than the rest of a
    // keystroke in a long text. A CR LF pair is one unit, a character beyond the BMP two; room for those
    // is made only when one comes, so that most texts are read once.
    QString display(static_cast<qsizetype>(exact.size()), Qt::Uninitialized);
    QChar* out = display.data();
    bool grown = false;
    for (std::size_t i = 0; i < exact.size(); ++i) {
        const char32_t ch = exact[i];
        // Most characters stand for themselves.
        if (ch >= 0x20 && ch < 0xFDD0 && ch != U'\u2029') {
            *out++ = QChar(static_cast<char16_t>(ch));
            continue;
        }
        if (IsPair(exact, i)) {
            *out++ = Break;
            ++i;
            continue;
        }
        const char32_t stand = Stand(ch);
        if (stand < 0x10000) {
            *out++ = QChar(static_cast<char16_t>(stand));
            continue;
        }
        const qsizetype written = out - display.constData();
        if (!grown) {
            grown = true;
            const auto wide = std::count_if(exact.begin() + static_cast<std::ptrdiff_t>(i), exact.end(),
                                            [](char32_t c) { return c >= 0x10000; });
            display.resize(written + static_cast<qsizetype>(exact.size() - i) + wide);
        }
        out = display.data() + written;
        *out++ = QChar(QChar::highSurrogate(stand));
        *out++ = QChar(QChar::lowSurrogate(stand));
    }
    display.truncate(out - display.constData());
    return display;
}

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    // The document's undo would restore the rendering, not the exact text behind it.
    setUndoRedoEnabled(false);
    // The classic edit control's narrow inner margin: a one-line box shows its line.
    document()->setDocumentMargin(2);
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // As in an edit control, lines break at words, and a word longer than the line anywhere.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(document(), &QTextDocument::contentsChange, this, &TextBox::onContentsChange);
}

void TextBox::setText(Text text)
{
    if (text == m_exact)
        return;
    // As in any edit control, a text set by the program starts a new history.
    m_undo.clear();
    m_redo.clear();
    m_typingEnd = Text::npos;
    putText(std::move(text));
}

void TextBox::replaceText(Text text)
{
    if (text == m_exact)
        return;
    recordEdit(0, m_exact.size(), text, false);
    putText(std::move(text));
}

// A whole new text is shown from its start.
void TextBox::putText(Text text)
{
    m_exact = std::move(text);
    m_marks.clear();
    renderDocument(m_display, 0);
    emit changed();
}

template <typename Stop>
TextPlace TextBox::walkTo(Stop stop) const
{
    // Both the exact index and the document position grow along the text, so the marks the walk
    // passes by are those it does not stop at.
    const auto next = std::partition_point(m_marks.begin(), m_marks.end(), [&stop](const Place& mark) {
        return !stop(mark.exact, mark.display);
    });
    Place place = next == m_marks.begin() ? Place{0, 0} : *std::prev(next);
    if (next != m_marks.end())
        return WalkUnits(m_exact, stop, place);
    // Beyond the last mark: the walk leaves marks behind it.
    for (;;) {
        const std::size_t markAt = place.exact + MarkSpacing;
        place = WalkUnits(
            m_exact,
            [&stop, markAt](std::size_t index, int position) {
                return index >= markAt || stop(index, position);
            },
            place);
        if (place.exact >= m_exact.size() || stop(place.exact, place.display))
            return place;
        m_marks.push_back(place);
    }
}

void TextBox::forgetMarksFrom(std::size_t from)
{
    // A mark before the change still holds: the characters before it and the one it stands at are as
    // they were, so no CR LF pair formed or parted across it.
    m_marks.erase(std::partition_point(m_marks.begin(), m_marks.end(),
                                       [from](const Place& mark) { return mark.exact < from; }),
                  m_marks.end());
}

std::size_t TextBox::exactIndexAt(int displayPosition) const
{
    return walkTo(AtDisplay(displayPosition)).exact;
}

int TextBox::displayPositionOf(std::size_t exactIndex) const
{
    return walkTo([exactIndex](std::size_t index, int) { return index >= exactIndex; }).display;
}

void TextBox::fitWrapMode(qsizetype from, qsizetype to)
{
    // Breaking at words, the document looks for each line's break from the line's start to the end of
    // its word, which for a word of a million characters took it minutes a keystroke; breaking anywhere
    // lays it out in a fraction of a second. Any word that grew past the bound touches the change, and
    // then lies at least LongWord characters within it on one side or the other.
    const bool anywhere = wordWrapMode() == QTextOption::WrapAnywhere;
    const bool wants = anywhere ? HasWord(m_display, 0, m_display.size(), LongWord / 2)
                                : HasWord(m_display, from - LongWord, to + LongWord, LongWord);
    if (wants != anywhere)
        setWordWrapMode(wants ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    if (!wants)
        return;
    // A paragraph's layout otherwise drops its glyphs once laid out, and the key's cursor and its
    // painting have them made again, about 35 bytes a character each time: for a word of a million
    // characters that was a third of a keystroke. Kept for long paragraphs only, while the layout is valid.
    for (const qsizetype at : {from, to}) {
        const QTextBlock block =
            document()->findBlock(static_cast<int>(std::clamp<qsizetype>(at, 0, m_display.size())));
        if (block.isValid() && block.length() >= LongWord)
            block.layout()->setCacheEnabled(true);
    }
}

void TextBox::renderDocument(const QString& shown, std::size_t cursorExact)
{
    m_rendering = true;
    const int scroll = verticalScrollBar()->value();
    QString display = Render(m_exact);
    // Only the stretch that differs is replaced, so the document keeps the blocks and layout of the rest;
    // setting a whole million-character text again on every undo took it half a second.
    const qsizetype shorter = std::min(shown.size(), display.size());
    qsizetype prefix = 0;
    while (prefix < shorter && shown[prefix] == display[prefix])
        ++prefix;
    if (prefix > 0 && display[prefix - 1].isHighSurrogate())
        --prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           shown[shown.size() - 1 - suffix] == display[display.size() - 1 - suffix])
        ++suffix;
    if (suffix > 0 && display[display.size() - suffix].isLowSurrogate())
        --suffix;
    const bool whole = 2 * (shown.size() - prefix - suffix) > shown.size() ||
                       2 * (display.size() - prefix - suffix) > display.size();
    // shown may be m_display itself, and is not read past here.
    const qsizetype shownEnd = shown.size() - suffix;
    m_display = std::move(display);
    fitWrapMode(prefix, m_display.size() - suffix);
    if (whole) {
        // The document's own: the box's adds a pass over every character to give it the format it
        // already has.
        document()->setPlainText(m_display);
    } else {
        QTextCursor stretch(document());
        stretch.setPosition(static_cast<int>(prefix));
        stretch.setPosition(static_cast<int>(shownEnd), QTextCursor::KeepAnchor);
        stretch.insertText(m_display.mid(prefix, m_display.size() - suffix - prefix));
    }
    QTextCursor cursor = textCursor();
    cursor.setPosition(displayPositionOf(cursorExact));
    setTextCursor(cursor);
    verticalScrollBar()->setValue(scroll);
    ensureCursorVisible();
    m_rendering = false;
}

void TextBox::recordEdit(std::size_t from, std::size_t to, const Text& inserted, bool typing)
{
    m_redo.clear();
    const bool typed = typing && from == to && inserted.size() == 1;
    // Characters typed one after another undo together, as a word does in any editor.
    const bool continuesRun = typed && from == m_typingEnd;
    m_typingEnd = typed ? from + 1 : Text::npos;
    if (continuesRun && !m_undo.empty()) {
        ++m_undo.back().length;
        return;
    }
    // Only the replaced stretch is kept: copying the whole text for every step took a Backspace in a
    // long text longer than the rest of it.
    m_undo.push_back({from, inserted.size(), m_exact.substr(from, to - from), to, m_exact.size()});
    std::size_t characters = 0;
    for (const Step& step : m_undo)
        characters += step.size;
    while (m_undo.size() > 1 && (m_undo.size() > MaxUndoSteps || characters > MaxUndoCharacters)) {
        characters -= m_undo.front().size;
        m_undo.erase(m_undo.begin());
    }
}

void TextBox::restore(std::vector<Step>& from, std::vector<Step>& to)
{
    if (from.empty() || isReadOnly())
        return;
    Step step = std::move(from.back());
    from.pop_back();
    to.push_back({step.at, step.replaced.size(), m_exact.substr(step.at, step.length),
                  exactIndexAt(textCursor().position()), m_exact.size()});
    m_exact.replace(step.at, step.length, step.replaced);
    forgetMarksFrom(step.at);
    m_typingEnd = Text::npos;
    renderDocument(m_display, step.cursor);
    emit changed();
}

void TextBox::undoEdit()
{
    restore(m_undo, m_redo);
}

void TextBox::redoEdit()
{
    restore(m_redo, m_undo);
}

void TextBox::replaceExact(std::size_t from, std::size_t to, const Text& replacement, std::size_t cursorAfter)
{
    recordEdit(from, to, replacement, false);
    m_exact.replace(from, to - from, replacement);
    forgetMarksFrom(from);
    renderDocument(m_display, cursorAfter);
    emit changed();
}

void TextBox::onContentsChange(int position, int removed, int added)
{
    if (m_rendering)
        return;
    const QString& before = m_display;
    const qsizetype nowSize = document()->characterCount() - 1; // without the end of the last paragraph

    // The document names the stretch it changed, [lo, hi) of what it showed, [lo, hiNow) now; its count
    // may take in the last paragraph's end, which no edit touches. Reading and comparing only that
    // stretch keeps a keystroke in a long text from copying all of it. Should the count not add up,
    // the whole text is compared.
    qsizetype lo = std::clamp<qsizetype>(position, 0, std::min(before.size(), nowSize));
    qsizetype hi = std::min<qsizetype>(before.size(), lo + removed);
    qsizetype hiNow = std::min<qsizetype>(nowSize, lo + added);
    const bool counted = before.size() - hi == nowSize - hiNow;
    if (!counted) {
        lo = 0;
        hi = before.size();
        hiNow = nowSize;
    }
    // Room either side for the neighbours the rendering looks at.
    constexpr qsizetype Margin = 4;
    const qsizetype base = std::max<qsizetype>(lo - Margin, 0);
    const QString stretch = RawText(document(), base, std::min(hiNow + Margin, nowSize));
    const auto now = [&stretch, base](qsizetype i) { return stretch[i - base]; };
    const auto nowMid = [&stretch, base](qsizetype from, qsizetype length) {
        return stretch.mid(from - base, length);
    };
    // Typing over a stand-in with the same character (a typed ← over a lone CR's ←) hides from any
    // comparison. Typing leaves the cursor at the end of what the document changed, so where that
    // stretch held a stand-in and the comparison cannot place the typing, the document's stretch is
    // taken. An input method's composing names its whole paragraph unchanged, and is no typing; nor is a
    // change whose count does not add up (a drop from elsewhere, which Qt reports after the box redrew).
    const int cursorDisplay = textCursor().position();
    const auto wholeParagraph = [this, position, removed] {
        const QTextBlock paragraph = document()->findBlock(position);
        return paragraph.position() == position && paragraph.length() == removed;
    };
    const bool typedOver = counted && lo < hi && lo < hiNow && cursorDisplay == hiNow && !wholeParagraph() &&
                           std::any_of(before.begin() + lo, before.begin() + hi, MayStandIn);
    if (hi == hiNow && !typedOver &&
        QStringView(before).sliced(lo, hi - lo) == QStringView(stretch).sliced(lo - base, hi - lo))
        return;

    // The changed stretch: what lies between the longest common prefix and suffix. Where the same
    // characters could have been changed in more than one place, the typing ends at the cursor; failing
    // that, the document's own position decides. An input method's commit names its whole paragraph,
    // so its position alone would take the unchanged characters before the cursor for typed ones.
    const qsizetype shorter = std::min(before.size(), nowSize);
    qsizetype common = lo;
    while (common < std::min(hi, hiNow) && before[common] == now(common))
        ++common;
    const auto suffixAfter = [&](qsizetype prefix) {
        qsizetype suffix = std::min(before.size() - hi, shorter - prefix);
        while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == now(nowSize - 1 - suffix))
            ++suffix;
        return suffix;
    };
    const qsizetype inserted = nowSize - suffixAfter(common) - common;
    qsizetype prefix =
        std::clamp<qsizetype>(cursorDisplay - inserted, std::clamp<qsizetype>(position, lo, common), common);
    if (prefix > 0 && before[prefix - 1].isHighSurrogate())
        --prefix;
    qsizetype suffix = suffixAfter(prefix);
    if (suffix > 0 && before[before.size() - suffix].isLowSurrogate())
        --suffix;
    if (typedOver && (nowSize - suffix != cursorDisplay || nowSize - suffix == prefix)) {
        prefix = lo;
        suffix = before.size() - hi;
    }

    const Place fromPlace = walkTo(AtDisplay(static_cast<int>(prefix)));
    const Place toPlace = PlaceAt(m_exact, static_cast<int>(before.size() - suffix), fromPlace);
    const std::size_t from = fromPlace.exact;
    const std::size_t to = toPlace.exact;
    const Text typed = FromTyped(nowMid(prefix, nowSize - suffix - prefix));
    if (typedOver && TextView(m_exact).substr(from, to - from) == typed)
        return; // a real ← typed over a real ←

    // Where the cursor stands in the exact text once the typing is in.
    std::size_t cursorExact = 0;
    if (cursorDisplay <= prefix)
        cursorExact = exactIndexAt(cursorDisplay);
    else if (cursorDisplay >= nowSize - suffix)
        cursorExact =
            PlaceAt(m_exact, static_cast<int>(before.size() - (nowSize - cursorDisplay)), toPlace).exact -
            (to - from) + typed.size();
    else
        cursorExact = from + FromTyped(nowMid(prefix, cursorDisplay - prefix)).size();

    // Only the rendering around the edit changes. A position parts two units unless it lies between a
    // CR and an LF, so one unit either side of the replaced stretch takes in any pair the typing made
    // or parted, and what lies beyond stays as it was shown.
    Place start = fromPlace;
    if (start.exact >= 2 && IsPair(m_exact, start.exact - 2)) {
        start.exact -= 2;
        start.display -= 1;
    } else if (start.exact >= 1) {
        start.exact -= 1;
        start.display -= DisplayWidth(Stand(m_exact[start.exact]));
    }
    Place end = toPlace;
    if (end.exact < m_exact.size()) {
        const bool pair = IsPair(m_exact, end.exact);
        end.display += pair ? 1 : DisplayWidth(Stand(m_exact[end.exact]));
        end.exact += pair ? 2 : 1;
    }
    recordEdit(from, to, typed, true);
    m_exact.replace(from, to - from, typed);
    forgetMarksFrom(from);
    const std::size_t newEnd = end.exact - (to - from) + typed.size();
    const QString rendered = Render(TextView(m_exact).substr(start.exact, newEnd - start.exact));
    m_display.replace(start.display, end.display - start.display, rendered);
    fitWrapMode(start.display, start.display + rendered.size());
    // The typed text can join or part its neighbours (a lone CR meeting a lone LF, a typed line
    // separator): then the document no longer shows the rendering and is redrawn.
    // Only the re-rendered units can differ; were they ever outside the stretch read, the redraw's own
    // comparison would find nothing to change.
    const qsizetype at = start.display - base;
    const bool shown = m_display.size() == nowSize && at >= 0 && at + rendered.size() <= stretch.size() &&
                       QStringView(stretch).sliced(at, rendered.size()) == rendered;
    if (!shown)
        renderDocument(document()->toRawText(), cursorExact);
    emit changed();
}

bool TextBox::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (m_reserved.contains(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Undo || event == QKeySequence::Redo) {
        if (event == QKeySequence::Undo)
            undoEdit();
        else
            redoEdit();
        event->accept();
        return;
    }
    // Shift+Enter would put a line separator into the document; it is a line break like Enter.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::ShiftModifier) {
        QKeyEvent plain(event->type(), event->key(), Qt::NoModifier, event->text());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextBox::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    for (QAction* action : menu->actions()) {
        const bool undo = action->objectName() == QLatin1String("edit-undo");
        if (!undo && action->objectName() != QLatin1String("edit-redo"))
            continue;
        // The document keeps no history of its own; these steps come from the box's.
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this, undo ? &TextBox::undoEdit : &TextBox::redoEdit);
        action->setEnabled(!isReadOnly() && (undo ? canUndo() : canRedo()));
    }
    TranslateEditMenu(menu.get());
    menu->exec(event->globalPos());
}

QMimeData* TextBox::createMimeDataFromSelection() const
{
    m_dragged = m_dragged || m_mouseMoving; // only a drag asks for the selection during a mouse move
    const QTextCursor cursor = textCursor();
    const std::size_t from = exactIndexAt(cursor.selectionStart());
    const std::size_t to = exactIndexAt(cursor.selectionEnd());
    auto* data = new QMimeData;
    PutExactText(*data, TextView(m_exact).substr(from, to - from));
    return data;
}

bool TextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void TextBox::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source->hasText())
        return;
    const std::optional<Text> exact = ExactText(source);
    const Text pasted = exact ? *exact : NormalisePastedBreaks(FromQString(source->text()));
    const QTextCursor cursor = textCursor();
    const std::size_t from = exactIndexAt(cursor.selectionStart());
    const std::size_t to = exactIndexAt(cursor.selectionEnd());
    replaceExact(from, to, pasted, from + pasted.size());
}

// Qt moves a stretch within the box by taking it out of the document before it asks for the dropped
// text, while the exact text still holds it: the move is made here instead, as one edit of the exact text.
void TextBox::dropEvent(QDropEvent* event)
{
    const QTextCursor selection = textCursor();
    if (event->source() != viewport() || event->dropAction() != Qt::MoveAction || isReadOnly() ||
        !selection.hasSelection()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    // The drop's own cursor goes as Qt's drop would take it away; it would otherwise stay drawn.
    QDragLeaveEvent leave;
    QPlainTextEdit::dragLeaveEvent(&leave);
    const int at = cursorForPosition(event->position().toPoint()).position();
    if (at >= selection.selectionStart() && at <= selection.selectionEnd())
        return;
    const std::size_t from = exactIndexAt(selection.selectionStart());
    const std::size_t to = exactIndexAt(selection.selectionEnd());
    const std::size_t drop = exactIndexAt(at);
    const TextView exact(m_exact);
    const TextView moved = exact.substr(from, to - from);
    if (drop > to)
        replaceExact(from, drop, Text(exact.substr(to, drop - to)).append(moved), drop);
    else
        replaceExact(drop, to, Text(moved).append(exact.substr(drop, from - drop)), drop + moved.size());
}

// A drag that Qt starts in a mouse move runs to its drop within the call and takes the button's
// release, so the box still counts the button as held. Had the pointer left the box, its scrolling
// timer then kept sending moves that started the same drag again and again, each drop inserting the
// text anew. The box gets the release once the drag is over, and keeps the cursor the drop left.
void TextBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_mouseMoving)
        return; // the scrolling timer's moves while this box's own drag runs
    m_mouseMoving = true;
    m_dragged = false;
    QPlainTextEdit::mouseMoveEvent(event);
    m_mouseMoving = false;
    if (!m_dragged)
        return;
    const QTextCursor kept = textCursor();
    QMouseEvent release(QEvent::MouseButtonRelease, event->position(), event->scenePosition(),
                        event->globalPosition(), Qt::LeftButton, Qt::NoButton, event->modifiers());
    QPlainTextEdit::mouseReleaseEvent(&release);
    setTextCursor(kept);
}

} // namespace qel
