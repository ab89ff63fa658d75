// Tconfig: the configuration dialog, and the exchange of "Konfig." that fills it, shows it and
// applies what the user confirmed.
#pragma once

#include "app/config_model.h"
#include "ui_support/window_positions.h"

#include <QColor>
#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the dialog's buttons reach outside it. An empty one does nothing; tests put answers here.
struct ConfigDialogHooks
{
    // "Oblicz korektę": the calibration dialog, modal; its result in seconds per 24 hours when
    // the user assigned it ("Przypisz korektę"), else nothing.
    std::function<std::optional<double>(QWidget* parent)> calibrate;
    // "Opis": the info window, modal.
    std::function<void(QWidget* parent)> showInfo;
    // The colour chooser preset with `initial`; nothing when the user cancelled. Empty asks
    // QColorDialog.
    std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)> chooseColour;
    // "Imieniny bliskich": the names chosen from `forms`, starting from `chosen`; nothing when
    // the user cancelled. Empty shows the searchable list.
    std::function<std::optional<std::vector<std::string>>(const std::vector<std::string>& chosen,
                                                          const std::vector<std::string>& forms, QWidget* parent)>
        chooseNames;
};

// The searchable list of the name-day table's forms with a box each; the ticked ones in the
// list's order, or nothing when cancelled.
std::optional<std::vector<std::string>> ChooseNames(const std::vector<std::string>& chosen,
                                                    const std::vector<std::string>& forms, QWidget* parent);

class Tconfig : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 379;
    static constexpr int kClientHeight = 512;

    Tconfig(const ConfigSources& sources, ConfigDialogHooks hooks, QWidget* parent = nullptr);
    ~Tconfig() override;

    const TconfigModel& Model() const { return m_model; }
    // "Usuń wpisy" was confirmed: the caller removes the settings and the start entry and ends.
    bool RemoveEntries() const { return m_removeEntries; }

    // The date edit's blank: no cutoff date.
    static QDate NoDate();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateColours();
    void CreateClock();
    void CreatePlace();
    void CreateOptions();
    void CreateReminders();
    void CreateButtons();
    void Connect();
    // The controls from the model, without their change handlers running again.
    void ShowModel();
    void FormShow();
    void niedzieleClick(QLabel* label);
    void dzisiajClick();
    void spobliczClick();
    void imienineClick();
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();
    std::optional<QColor> ChooseColour(const QColor& initial);

    TconfigModel m_model;
    ConfigDialogHooks m_hooks;
    TFormPosKeeper m_keeper;
    bool m_removeEntries = false;

    QLabel* niedziele = nullptr;
    QLabel* soboty = nullptr;
    QLabel* notatki = nullptr;
    QLabel* tygodnie = nullptr;
    QLabel* dzisiaj = nullptr;
    QCheckBox* synchronizacja = nullptr;
    QLabel* syncTimeLabel = nullptr;
    QLineEdit* correctionEdit = nullptr;
    QPushButton* calculateButton = nullptr;
    QLineEdit* alarmLengthEdit = nullptr;
    QLineEdit* snoozeEdit = nullptr;
    QPushButton* imieniny = nullptr;
    QCheckBox* soundCardCheck = nullptr;
    QLineEdit* latitudeEdit = nullptr;
    QLineEdit* longitudeEdit = nullptr;
    QComboBox* cityCombo = nullptr;
    QCheckBox* hourSignalCheck = nullptr;
    QCheckBox* packNotesCheck = nullptr;
    QDateEdit* purgeBeforeEdit = nullptr;
    QCheckBox* przywolanie = nullptr;
    QCheckBox* autorun = nullptr;
    QComboBox* voivodeshipCombo = nullptr;  // "Województwo"
    QGroupBox* remindersGroup = nullptr;    // "Przypomnienia z notatek", ticked when on
    QLineEdit* reminderAdvanceEdit = nullptr;
    QCheckBox* reminderSoundCheck = nullptr;
    QPushButton* BitBtn1 = nullptr;  // OK
    QPushButton* BitBtn4 = nullptr;  // "Opis"
    QPushButton* BitBtn3 = nullptr;  // "Usuń wpisy"
    QPushButton* BitBtn2 = nullptr;  // "Anuluj"
};

enum class ConfigOutcome
{
    Cancelled,
    Confirmed,      // the values were applied and saved
    RemoveEntries,  // "Usuń wpisy" was confirmed; nothing was applied
};

// "Konfig.": shows the dialog filled from `sources` and, on OK, applies it to `settings` and
// `store` and through `actions` (see TconfigModel::Apply), with `now` in local time.
ConfigOutcome RunConfigDialog(QWidget* parent, const ConfigSources& sources, const ConfigDialogHooks& hooks,
                              Settings& settings, SettingsStore& store, TDateTime now, const ConfigActions& actions);

// Colours in the settings' form (red in the lowest byte) and back.
QColor FromStoredColour(std::uint32_t rgb);
std::uint32_t ToStoredColour(const QColor& colour);
