// The tray icon over QSystemTrayIcon.
#include "app/ui/tray_icon.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>
#include <QStyleHints>

namespace {

// Cut at a whole character: half a surrogate pair would show as garbage at the tooltip's end.
QString CutHint(const QString& hint)
{
    int length = 0;
    for (int chars = 0; length < hint.size() && chars < TTrayNotifyIcon::kMaxHintLength; ++chars)
        length += hint.at(length).isHighSurrogate() && length + 1 < hint.size() ? 2 : 1;
    return hint.left(length);
}

// Only for an icon shown before one was given: the style's pictures are files, and reading the
// first makes Qt load every image format it has, which a start should not pay for.
QIcon PlaceholderIcon()
{
    return QApplication::style()->standardIcon(QStyle::SP_DesktopIcon);
}

}  // namespace

TTrayNotifyIcon::TTrayNotifyIcon(QObject* parent) : QObject(parent)
{
    m_since.start();
    m_clickTimer.setSingleShot(true);
    // A coarse timer may fire a little early, which would turn a double-click into a click.
    m_clickTimer.setTimerType(Qt::PreciseTimer);
    m_clicks.SetDoubleClickTime(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    connect(&m_clickTimer, &QTimer::timeout, this, &TTrayNotifyIcon::OnClickTimer);
    connect(&m_tray, &QSystemTrayIcon::activated, this, &TTrayNotifyIcon::OnActivated);
}

TTrayNotifyIcon::~TTrayNotifyIcon()
{
    m_tray.hide();
}

void TTrayNotifyIcon::SetIcon(const QIcon& icon)
{
    m_icon = icon;
    m_tray.setIcon(icon.isNull() ? PlaceholderIcon() : icon);
}

void TTrayNotifyIcon::SetHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    m_tray.setToolTip(CutHint(hint));
}

void TTrayNotifyIcon::ShowMessage(const QString& title, const QString& text)
{
    m_lastMessage = title + QLatin1Char('\n') + text;
    // Desktops without notifications simply show nothing.
    m_tray.showMessage(title, text, QSystemTrayIcon::Information);
}

void TTrayNotifyIcon::SetIconVisible(bool visible)
{
    if (visible && m_tray.icon().isNull())
        m_tray.setIcon(PlaceholderIcon());
    m_tray.setVisible(visible);
}

void TTrayNotifyIcon::SetNoDoubleClick(bool value)
{
    m_clicks.SetNoDoubleClick(value);
}

void TTrayNotifyIcon::SetPopupMenu(QMenu* menu)
{
    m_popupMenu = menu;
    // The tray shows the menu itself, where each desktop expects it; QSystemTrayIcon forgets a
    // destroyed menu on its own, as m_popupMenu does.
    m_tray.setContextMenu(menu);
}

void TTrayNotifyIcon::LeftPress()
{
    m_clicks.LeftPress(Now());
    m_clickTimer.start(static_cast<int>(m_clicks.Interval()));
}

void TTrayNotifyIcon::LeftDoubleClick()
{
    if (m_clicks.LeftDoubleClick(Now()) == TrayClicks::Event::DoubleClick)
        emit OnDblClick();
}

void TTrayNotifyIcon::OnClickTimer()
{
    const TrayClicks::Ms now = Now();
    if (m_clicks.Poll(now) == TrayClicks::Event::Click) {
        emit OnClick();
        return;
    }
    if (const auto deadline = m_clicks.Deadline())
        m_clickTimer.start(static_cast<int>(std::max<TrayClicks::Ms>(1, *deadline - now)));
}

void TTrayNotifyIcon::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Qt reports a left press as Trigger and sends DoubleClick in place of the second press; the
    // right button's menu is shown by the tray through setContextMenu.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        LeftPress();
        break;
    case QSystemTrayIcon::DoubleClick:
        LeftDoubleClick();
        break;
    case QSystemTrayIcon::Context:
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
}
