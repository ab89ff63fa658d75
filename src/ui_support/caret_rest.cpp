#include "ui_support/caret_rest.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

CaretRest::CaretRest(int restMs, QObject* parent)
    : QObject(parent), m_flashTime(QGuiApplication::styleHints()->cursorFlashTime())
{
    m_rest.setSingleShot(true);
    m_rest.setInterval(restMs);
    connect(&m_rest, &QTimer::timeout, this, &CaretRest::Rest);
    qApp->installEventFilter(this);
    m_rest.start();
}

CaretRest::~CaretRest()
{
    qApp->removeEventFilter(this);
    Wake();
}

bool CaretRest::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::InputMethod:
    case QEvent::FocusIn:
        Wake();
        // Restarting a running timer costs nothing worth counting; keys arrive far apart.
        m_rest.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CaretRest::Rest()
{
    if (m_resting || m_flashTime <= 0)
        return;
    m_resting = true;
    // A flash time of 0 leaves the caret on without a timer; the text controls follow the change.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void CaretRest::Wake()
{
    if (!m_resting)
        return;
    m_resting = false;
    QGuiApplication::styleHints()->setCursorFlashTime(m_flashTime);
}
