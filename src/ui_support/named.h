// Every window is laid out in fixed pixels, and its tests find the controls by name: a control
// gets both as it is made, e.g. NamedAt(new QLineEdit(this), "ekorekta", {96, 40, 80, 21}).
#pragma once

#include <QLatin1String>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;

template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

template <typename W>
W* NamedAt(W* widget, const char* name, QRect geometry)
{
    Named(widget, name)->setGeometry(geometry);
    return widget;
}

// A label at a place; without a size it takes the size of its text.
QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text, QPoint at, QSize size = {});
