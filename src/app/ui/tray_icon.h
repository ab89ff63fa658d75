// TTrayNotifyIcon: the program's icon in the notification area, its tooltip, its clicks and menu.
#pragma once

#include "app/tray_clicks.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

class TTrayNotifyIcon : public QObject
{
    Q_OBJECT
public:
    // The longest tooltip the tray is given; longer hints are cut.
    static constexpr int kMaxHintLength = 63;

    explicit TTrayNotifyIcon(QObject* parent = nullptr);
    ~TTrayNotifyIcon() override;

    // An empty icon shows a stock picture instead.
    void SetIcon(const QIcon& icon);
    const QIcon& Icon() const { return m_icon; }
    void SetHint(const QString& hint);
    const QString& Hint() const { return m_hint; }
    void SetIconVisible(bool visible);
    bool IconVisible() const { return m_tray.isVisible(); }
    // With NoDoubleClick a click is reported at once and a double-click counts as one click.
    void SetNoDoubleClick(bool value);
    bool NoDoubleClick() const { return m_clicks.NoDoubleClick(); }
    // The menu of the right button; forgotten when the menu is destroyed.
    void SetPopupMenu(QMenu* menu);
    QMenu* PopupMenu() const { return m_popupMenu; }

    // A passing notification beside the icon; the last one is kept for tests.
    void ShowMessage(const QString& title, const QString& text);
    const QString& LastMessage() const { return m_lastMessage; }

    // What the tray itself is showing.
    const QSystemTrayIcon& SystemIcon() const { return m_tray; }

    // The raw mouse events of the icon. The tray reports them through Qt; tests call them directly.
    void LeftPress();
    void LeftDoubleClick();

signals:
    void OnClick();
    void OnDblClick();

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void OnClickTimer();
    TrayClicks::Ms Now() const { return m_since.elapsed(); }

    QSystemTrayIcon m_tray;
    QIcon m_icon;
    QString m_hint;
    QString m_lastMessage;
    QPointer<QMenu> m_popupMenu;
    TrayClicks m_clicks;
    QTimer m_clickTimer;
    QElapsedTimer m_since;
};
