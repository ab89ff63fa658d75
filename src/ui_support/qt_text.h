// The program's texts and colours on Qt's controls.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>

#include <string>

// A UTF-8 text of the core, whose line breaks may be CR LF, as Qt shows it.
inline QString FromText(const std::string& text)
{
    QString result = QString::fromUtf8(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

inline void SetTextColour(QWidget* widget, const QColor& colour, QPalette::ColorRole role = QPalette::WindowText)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}
