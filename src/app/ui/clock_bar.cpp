// The top bar's clock and alarm.
#include "app/ui/clock_bar.h"

#include "app/ui/announce.h"
#include "clock/local_time.h"
#include "app/ui/show_error.h"
#include "app/ui/tray_icon.h"
#include "platform/system_clock.h"
#include "ui_support/ui_thread.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

// For a window that is only drawn: nothing may sound there.
class Silence final : public Sound
{
public:
    void PlayTone(int, int) override {}
    bool PlayAlarmWave(const std::filesystem::path&, const std::function<bool()>&) override { return false; }
};

// The ringing alarm's notification: one on the screen at a time.
const std::string kRingTag = "alarm";

void SetTextIfDifferent(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

}  // namespace

ClockBar::ClockBar(Controls controls, Services services, TTrayNotifyIcon* tray, QWidget* window)
    : m_controls(controls), m_clock(services.clock), m_settings(services.settings),
      m_sound(services.sound ? std::move(services.sound) : std::make_shared<Silence>()),
      m_alarmSound(m_sound, services.programDir / "ALARM.WAV", std::move(services.alarmTiming)), m_tray(tray),
      m_notifier(services.notifier), m_window(window)
{
    // All four digits are required ("9" in Qt's masks; its "0" would allow a gap, and a half-typed
    // time would pass as complete). Empty positions show as "_", so that the gap is plain to see.
    m_controls.alarmEdit->setInputMask(QStringLiteral("99:99;_"));
    // The stored alarm is taken once, at the start; later the box and the toggle are the user's.
    if (!m_settings.AlarmText.empty())
        m_controls.alarmEdit->setText(QString::fromStdString(m_settings.AlarmText));
    m_controls.alarmToggle->setChecked(m_settings.AlarmOn);
    m_lastComplete = m_controls.alarmEdit->hasAcceptableInput() ? m_controls.alarmEdit->text()
                                                                : QStringLiteral("00:00");
    m_textOnEntry = m_controls.alarmEdit->text();
    m_logic.AlarmTextChanged(m_controls.alarmEdit->text().toStdString(), false);
    if (m_controls.alarmToggle->isChecked())
        azalwylClick(true);
    ShowState();

    connect(m_controls.alarmToggle, &QPushButton::toggled, this, [this](bool down) {
        if (!m_applying)
            azalwylClick(down);
    });
    connect(m_controls.alarmEdit, &QLineEdit::textChanged, this, [this] {
        if (!m_applying)
            alarmChange();
    });
    connect(m_controls.stopButton, &QPushButton::clicked, this, &ClockBar::StopClick);
    connect(m_controls.snoozeButton, &QPushButton::clicked, this, &ClockBar::SnoozeClick);
    m_controls.alarmEdit->installEventFilter(this);
    m_alarmSound.OnAlarmEnded(CallOnUiThread(this, [this] { ClockTick(); }));
}

ClockBar::~ClockBar()
{
    // At the program's end a ring's buttons would lead nowhere.
    CloseRingNotification();
    m_controls.alarmEdit->removeEventFilter(this);
}

void ClockBar::ClockTick()
{
    m_logic.SetHourSignalEnabled(m_settings.HourSignalEnabled);
    const ClockTickResult tick = m_logic.Tick(LocalNow(m_clock), IsAlarmSounding());
    if (tick.secondChanged) {
        SetTextIfDifferent(m_controls.timeLabel, QString::fromStdString(tick.clockText));
        m_alarmHint = QString::fromStdString(tick.trayHint);
        ShowHint();
        if (tick.hourSignal)
            StartHourSignal(m_sound);
    }
    if (tick.startAlarm)
        StartAlarm();
    if (tick.missedAlarm) {
        const std::string time = m_controls.alarmEdit->text().toStdString();
        Announce(
            m_notifier, m_tray,
            {"Pominięty alarm " + time,
             "Gdy nadeszła jego pora, komputer był uśpiony lub zegar przestawiono. Następny alarm zadzwoni jutro o "
                 + time + ".",
             {},
             false,
             {}});
    }
    ShowState();
}

void ClockBar::StartAlarm()
{
    // A stored length out of range is brought back in, as the configuration dialog would have.
    m_alarmSound.StartAlarmSound(m_settings.AlarmViaSoundCard, ClampAlarmDuration(m_settings.AlarmDuration));
    // Hidden in the tray, the window cannot show its STOP: a notification offers its buttons, or
    // the tray says what rings and how to stop it.
    ++m_ring;
    if (m_window->isVisible())
        return;
    QPointer<ClockBar> self(this);
    m_ringNotified = true;
    Announce(
        m_notifier, m_tray,
        {"Alarm " + m_controls.alarmEdit->text().toStdString(),
         "Budzik dzwoni.",
         {{"stop", "Stop"}, {"snooze", "Drzemka"}},
         true,
         kRingTag},
        [self, ring = m_ring](const std::string& key) {
            // The buttons belong to their ring: pressed after it ended (the server may keep the
            // notification for hours), they would snooze or stop what they were never about.
            if (!self || self->m_ring != ring || !self->m_ringNotified)
                return;
            if (key == "stop")
                self->StopClick();
            else if (key == "snooze")
                self->SnoozeClick();
        },
        "Sygnał wyłączysz poleceniem „Wył. alarm” w menu ikony lub kliknięciem ikony.");
}

void ClockBar::StopAlarmSound()
{
    m_alarmSound.StopAlarmSound();
}

void ClockBar::StopClick()
{
    m_logic.Stop();
    m_alarmSound.StopAlarmSound();
    // The ring is over with the press, though STOP stays until the sound has died away.
    CloseRingNotification();
    ShowState();
    emit AlarmChanged();
}

void ClockBar::SnoozeClick()
{
    if (m_logic.State() != AlarmState::Ringing)
        return;
    if (m_logic.Snooze(LocalNow(m_clock), m_settings.SnoozeMinutes))
        m_alarmSound.StopAlarmSound();
    ShowState();
    emit AlarmChanged();
}

bool ClockBar::IsAlarmSounding() const
{
    return m_alarmSound.IsAlarmSounding();
}

std::string ClockBar::AlarmTextToSave() const
{
    return (m_controls.alarmEdit->hasAcceptableInput() ? m_controls.alarmEdit->text() : m_lastComplete).toStdString();
}

bool ClockBar::AlarmOn() const
{
    return m_controls.alarmToggle->isChecked();
}

void ClockBar::azalwylClick(bool down)
{
    if (down) {
        if (!m_logic.Press(LocalNow(m_clock)))
            SetToggle(false);
    } else if (m_logic.Release(IsAlarmSounding())) {
        m_alarmSound.StopAlarmSound();
    }
    ShowState();
    emit AlarmChanged();
}

void ClockBar::alarmChange()
{
    if (m_controls.alarmEdit->hasAcceptableInput())
        m_lastComplete = m_controls.alarmEdit->text();
    SetToggle(false);
    if (m_logic.AlarmTextChanged(m_controls.alarmEdit->text().toStdString(), IsAlarmSounding()))
        m_alarmSound.StopAlarmSound();
    ShowState();
    emit AlarmChanged();
}

void ClockBar::SetToggle(bool down)
{
    m_applying = true;
    m_controls.alarmToggle->setChecked(down);
    m_applying = false;
}

void ClockBar::CloseRingNotification()
{
    if (!m_ringNotified)
        return;
    m_ringNotified = false;
    // The tray's message, where there is no notification service (Windows among them), cannot be
    // taken back; it goes by itself after a few seconds.
    if (m_notifier)
        m_notifier->Close(kRingTag);
}

void ClockBar::SetHintLine(const std::string& line)
{
    m_hintLine = QString::fromStdString(line);
    ShowHint();
}

void ClockBar::ShowHint()
{
    if (!m_tray || m_alarmHint.isEmpty())
        return;
    const QString hint = m_hintLine.isEmpty() ? m_alarmHint : m_alarmHint + QLatin1Char('\n') + m_hintLine;
    if (m_tray->Hint() != hint)
        m_tray->SetHint(hint);
}

void ClockBar::ShowState()
{
    // However the ring ended (STOP, "Drzemka", the alarm switched off or its time changed, the
    // sound's own end), its notification goes with it.
    if (m_logic.State() != AlarmState::Ringing)
        CloseRingNotification();
    const QString caption = QString::fromStdString(m_logic.Caption());
    if (m_controls.alarmToggle->text() != caption)
        m_controls.alarmToggle->setText(caption);
    if (m_controls.stopButton->isHidden() == m_logic.StopVisible())
        m_controls.stopButton->setVisible(m_logic.StopVisible());
    const bool ringing = m_logic.State() == AlarmState::Ringing;
    if (m_controls.snoozeButton->isHidden() == ringing)
        m_controls.snoozeButton->setVisible(ringing);
}

bool ClockBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_controls.alarmEdit)
        return QObject::eventFilter(watched, event);
    QLineEdit* box = m_controls.alarmEdit;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!m_reEntering)
            m_textOnEntry = box->text();
        m_reEntering = false;
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            box->setText(m_textOnEntry);
            return true;
        }
        break;
    case QEvent::FocusOut: {
        // Only the user moving on counts; the window losing the focus to another program, a menu
        // or its own message box leaves the entry as it is.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool movedOn = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
                             || reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
        if (!movedOn || box->hasAcceptableInput())
            break;
        m_reEntering = true;
        ShowError(m_window, EDBEditError("Invalid input value"));
        // The box takes the focus back, as the entry is neither complete nor given up with Esc.
        QTimer::singleShot(0, box, [box] { box->setFocus(Qt::OtherFocusReason); });
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
