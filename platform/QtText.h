#pragma once

#include "cipher/Text.h"

#include <QString>

namespace qel {

// The engine works on code points, Qt on UTF-16; these convert without touching line breaks or any
// other character.
QString ToQString(TextView text);
Text FromQString(const QString& text);

} // namespace qel
