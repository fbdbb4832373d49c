#pragma once

#include <QFont>

#include "WindowDefinitions.h"

namespace mibolan::ui {

// Maps the designed Chinese font names ("宋体", "黑体") to Simplified Chinese faces that are
// installed. The toolkit cannot ask for a character set, and without this the C locale picks
// a Japanese face for Chinese text. Call once after the application object exists.
void MapDesignFonts();

// The font of a design; its family keeps the designed name, mapped by MapDesignFonts.
QFont DesignFont(const FontDesign& design);

}  // namespace mibolan::ui
