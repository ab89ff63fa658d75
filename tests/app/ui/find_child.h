// The window tests find controls by their object names; a missing one ends the test at once with
// its name, rather than with a null pointer somewhere later.
#pragma once

#include <QLatin1String>
#include <QObject>
#include <QtGlobal>

template <typename T>
T* Find(const QObject& form, const char* name)
{
    T* child = form.findChild<T*>(QLatin1String(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}
