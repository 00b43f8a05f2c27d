#include "QtDialogs.h"

#include "QtText.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <utility>
#include <vector>

namespace qel {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonDesign {
    MessageAnswer answer;
    QMessageBox::StandardButton standard;
    const char* caption;
};

std::vector<ButtonDesign> ButtonsOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo:
        return {{MessageAnswer::Yes, QMessageBox::Yes, "&Ja"}, {MessageAnswer::No, QMessageBox::No, "&Nei"}};
    case MessageButtons::YesNoCancel:
        return {{MessageAnswer::Yes, QMessageBox::Yes, "&Ja"},
                {MessageAnswer::No, QMessageBox::No, "&Nei"},
                {MessageAnswer::Cancel, QMessageBox::Cancel, "Avbryt"}};
    case MessageButtons::RetryCancel:
        return {{MessageAnswer::Retry, QMessageBox::Retry, "&Prøv igjen"},
                {MessageAnswer::Cancel, QMessageBox::Cancel, "Avbryt"}};
    case MessageButtons::Ok:
        break;
    }
    return {{MessageAnswer::Ok, QMessageBox::Ok, "OK"}};
}

// A closed box leaves the keyboard with the window it was asked from; without a window manager, or
// with one that picks the window behind, typing would otherwise land elsewhere.
void GiveBackFocus(QWidget* owner)
{
    if (owner != nullptr && owner->isVisible())
        owner->activateWindow();
}

} // namespace

MessageAnswer QtDialogs::showMessage(const MessageBoxRequest& request)
{
    const QPointer<QWidget> owner = QApplication::activeWindow();
    QMessageBox box(ToQtIcon(request.icon), ToQString(request.title), ToQString(request.text),
                    QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    const std::vector<ButtonDesign> buttons = ButtonsOf(request.buttons);
    for (const ButtonDesign& button : buttons)
        box.addButton(button.standard)->setText(QString::fromUtf8(button.caption));
    box.setDefaultButton(buttons.front().standard);
    box.setEscapeButton(buttons.back().standard);

    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    GiveBackFocus(owner);
    for (const ButtonDesign& button : buttons) {
        if (button.standard == clicked)
            return button.answer;
    }
    // Closed without a button (the close box, Escape): the box's escape button.
    return buttons.back().answer;
}

std::optional<Text> QtDialogs::askText(const InputBoxRequest& request)
{
    const QPointer<QWidget> owner = QApplication::activeWindow();
    QInputDialog dialog(owner);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(ToQString(request.title));
    dialog.setLabelText(ToQString(request.prompt));
    dialog.setTextValue(ToQString(request.answer));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Avbryt"));
    const int result = dialog.exec();
    GiveBackFocus(owner);
    if (result != QDialog::Accepted)
        return std::nullopt;
    return FromQString(dialog.textValue());
}

std::optional<qsizetype> QtDialogs::chooseItem(const QString& title, const QString& prompt,
                                               const QStringList& items)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Avbryt"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const qsizetype picked = items.indexOf(dialog.textValue());
    return picked >= 0 ? std::optional(picked) : std::nullopt;
}

} // namespace qel
