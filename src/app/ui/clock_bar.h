// ClockBar: the working of the main window's top bar. It keeps the clock label, the alarm box, the
// alarm toggle with its countdown, STOP and the tray hint in step with the clock, and starts the
// alarm and the full-hour tone; the decisions themselves are AlarmClock's.
#pragma once

#include "app/settings.h"
#include "clock/alarm_clock.h"
#include "clock/alarm_sound.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>
#include <string>

class DesktopNotifier;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class Sound;
class SystemClock;
class TTrayNotifyIcon;

class ClockBar : public QObject
{
    Q_OBJECT
public:
    // The bar's controls, laid out by the window.
    struct Controls
    {
        QLabel* timeLabel;          // "lgodzina"
        QLineEdit* alarmEdit;       // "alarm"
        QPushButton* alarmToggle;   // "azalwyl", "Zał/Wył"
        QPushButton* stopButton;    // "alstop", "STOP"
        QPushButton* snoozeButton;  // "drzemka", beside STOP while the alarm rings
    };
    struct Services
    {
        SystemClock& clock;
        const Settings& settings;             // alarm length, sound card, full-hour signal: read when used
        std::shared_ptr<Sound> sound;         // null: silence
        std::filesystem::path programDir;     // "ALARM.WAV" is looked for here
        AlarmTiming alarmTiming = {};         // empty: real time
        DesktopNotifier* notifier = nullptr;  // null: the tray's messages
    };

    // Puts the stored alarm time ("Godzina alarmu") into the box and the toggle down when the
    // alarm was on at the last end ("Załączony alarm"); it then rings at its next time, today if
    // still ahead, else tomorrow.
    // `tray` may be null; `window` is where the messages appear, and whether it is visible decides
    // whether a ringing alarm is announced in the tray.
    ClockBar(Controls controls, Services services, TTrayNotifyIcon* tray, QWidget* window);
    ~ClockBar() override;

    // One tick of the window's clock; changes a text only when it differs. The bar ticks by
    // itself when an alarm's sound ends, so that STOP goes at once.
    void ClockTick();
    // Every recall from the tray: the sound stops, a snooze waits on.
    void StopAlarmSound();
    // STOP and "Wył. alarm": the sound stops and a snooze ends; the daily alarm stays.
    void StopClick();
    // "Drzemka": while the alarm rings, the sound stops and the alarm rings again after the snooze
    // time. Nothing at other times.
    void SnoozeClick();
    bool IsAlarmSounding() const;

    // What the settings keep at the end: the alarm box's last complete text (an entry left half
    // typed is not kept) and whether the toggle is down.
    std::string AlarmTextToSave() const;
    bool AlarmOn() const;
    const AlarmClock& Logic() const { return m_logic; }
    // A second line of the tray's hint under the alarm's ("Następne: 14:30 dentysta"); empty for none.
    void SetHintLine(const std::string& line);

signals:
    // The alarm was switched, set, stopped or snoozed: its next ring may have moved.
    void AlarmChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void azalwylClick(bool down);
    void alarmChange();
    void SetToggle(bool down);
    void ShowState();
    void StartAlarm();
    void CloseRingNotification();
    void ShowHint();

    Controls m_controls;
    SystemClock& m_clock;
    const Settings& m_settings;
    std::shared_ptr<Sound> m_sound;
    AlarmSound m_alarmSound;
    AlarmClock m_logic;
    TTrayNotifyIcon* m_tray;
    DesktopNotifier* m_notifier;
    QWidget* m_window;
    QString m_alarmHint;          // the alarm's line of the tray's hint, as the last tick gave it
    QString m_hintLine;           // SetHintLine's
    QString m_textOnEntry;        // the box's text when it got the focus: Esc brings it back
    QString m_lastComplete;       // the last complete time the box held
    bool m_reEntering = false;    // the focus comes back after an incomplete entry was refused
    bool m_applying = false;      // the bar is being set from the logic, not by the user
    unsigned m_ring = 0;          // counts the rings, so that a notification's buttons know theirs
    bool m_ringNotified = false;  // the ring in progress has a notification on the screen
};
