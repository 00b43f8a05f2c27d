#include "EditMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

#include <memory>

namespace qel {

void TranslateEditMenu(QMenu* menu)
{
    // The text edits' standard actions are named after their freedesktop icons; a line edit's carry
    // no names in every Qt version, so their English captions identify them as well.
    struct Caption {
        const char* name;
        const char* english;
        const char* norwegian;
    };
    static const Caption captions[] = {
        {"edit-undo", "Undo", "&Angre"},           {"edit-redo", "Redo", "&Gjør om"},
        {"edit-cut", "Cut", "Klipp &ut"},          {"edit-copy", "Copy", "&Kopier"},
        {"edit-paste", "Paste", "&Lim inn"},       {"edit-delete", "Delete", "&Slett"},
        {"select-all", "Select All", "&Merk alt"},
    };
    for (QAction* action : menu->actions()) {
        const QString english = action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
        for (const Caption& caption : captions) {
            if (action->objectName() != QLatin1String(caption.name) &&
                english != QLatin1String(caption.english))
                continue;
            // The shortcut stays as Qt shows it, after the tab.
            const QString shortcut = action->text().section(QLatin1Char('\t'), 1);
            const QString text = QString::fromUtf8(caption.norwegian);
            action->setText(shortcut.isEmpty() ? text : text + QLatin1Char('\t') + shortcut);
            break;
        }
    }
}

void UseNorwegianEditMenu(QLineEdit* edit)
{
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edit, &QWidget::customContextMenuRequested, edit, [edit](const QPoint& position) {
        const std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        TranslateEditMenu(menu.get());
        menu->exec(edit->mapToGlobal(position));
    });
}

} // namespace qel
