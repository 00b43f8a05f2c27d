#include "EditMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

#include <memory>

namespace qel {

void TranslateEditMenu(QMenu* menu)
{
    // The standard actions are named after their freedesktop icons.
    static const std::pair<const char*, const char*> captions[] = {
        {"edit-undo", "&Angre"},     {"edit-redo", "&Gjør om"},  {"edit-cut", "Klipp &ut"},
        {"edit-copy", "&Kopier"},    {"edit-paste", "&Lim inn"}, {"edit-delete", "&Slett"},
        {"select-all", "&Merk alt"},
    };
    for (QAction* action : menu->actions()) {
        for (const auto& [name, caption] : captions) {
            if (action->objectName() != QLatin1String(name))
                continue;
            // The shortcut stays as Qt shows it, after the tab.
            const QString shortcut = action->text().section(QLatin1Char('\t'), 1);
            const QString text = QString::fromUtf8(caption);
            action->setText(shortcut.isEmpty() ? text : text + QLatin1Char('\t') + shortcut);
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
