// The program's pictures, drawn in code: the application and tray icon, the glyphs of the flat
// buttons and the picture of the information panel.
#pragma once

#include <QIcon>
#include <QPixmap>

enum class Glyph
{
    Today,     // "Dzisiaj"
    Contacts,  // "Tel."
    Config,    // "Konfig."
    Info,      // "Info"
    Save,      // "Zachowaj"
    Cancel,    // "Anuluj"
    Erase,     // "Wykasuj"
    Sync       // time synchronisation
};

// A calendar page; sizes from 16 to 256 pixels.
QIcon AppIcon();
QPixmap AppIconPixmap(int size);
// The same drawing on any device `size` units square, such as an SVG generator.
void PaintAppIcon(QPaintDevice& device, int size);

// Two states, as flat buttons show them: in colour while enabled, grey while disabled.
QIcon GlyphIcon(Glyph glyph);
QPixmap GlyphPixmap(Glyph glyph, bool enabled, int size = 16);

// A calendar page under the sun and a crescent moon, for the information panel: `size` logical
// pixels, drawn at `pixelRatio` device pixels each.
QPixmap InfoPicture(int size, qreal pixelRatio = 1.0);
