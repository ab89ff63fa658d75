// The fonts of the program's windows.
#pragma once

#include <QFont>

// The windows are laid out in fixed pixels, so their fonts are fixed in pixels too: an 8-point
// sans at 96 dpi is 11 pixels. Arial is asked for first; Linux desktops serve it with the
// metrically equal Liberation Sans.
QFont SansFont(int pixelSize, bool bold = false);

// The font of every window and dialog: the 11-pixel sans.
inline QFont WindowFont()
{
    return SansFont(11);
}
