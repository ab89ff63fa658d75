// Qt's own windows in the program's look: message boxes, context menus and Qt's colour, font and
// date choosers are not children of the program's windows, so they do not take their font.
#pragma once

#include <QFont>
#include <QString>

#include <optional>

class QFontDialog;
class QWidget;

// Makes the windows' 11-pixel font the application's, which Qt's own windows use; the desktop's
// default is about twice as large beside the program's fixed-pixel windows.
void UseWindowFontInQtsOwnWindows();

// A font style name as fontconfig gives it ("Bold Italic") in the words of Qt's installed
// translation ("Pogrubiony Kursywa"), as Qt itself names a font's style; words Qt has no
// translation for stay as they are. Qt reads such names back to the same weight and slant.
QString TranslatedFontStyleName(const QString& style);
// Shows the style names of Qt's own font dialog in those words, whichever family is chosen.
void TranslateFontStyleNames(QFontDialog& dialog);

// Qt's font dialog with translated style names; nothing when it is cancelled.
std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial, const QString& title);
