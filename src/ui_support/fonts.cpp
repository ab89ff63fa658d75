// The fonts of the program's windows.
#include "ui_support/fonts.h"

#include <QStringList>

QFont SansFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
