// Named controls.
#include "ui_support/named.h"

#include <QLabel>

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text, QPoint at, QSize size)
{
    if (size.isValid())
        return NamedAt(new QLabel(text, parent), name, QRect(at, size));
    auto* label = Named(new QLabel(text, parent), name);
    label->move(at);
    label->adjustSize();
    return label;
}
