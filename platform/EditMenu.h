#pragma once

class QLineEdit;
class QMenu;

namespace qel {

// Qt's standard edit menus carry English captions; every text the user sees here is Norwegian.
void TranslateEditMenu(QMenu* menu);

// Gives a line edit's context menu the Norwegian captions.
void UseNorwegianEditMenu(QLineEdit* edit);

} // namespace qel
