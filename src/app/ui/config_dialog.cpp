// The configuration dialog's controls; every decision is TconfigModel's.
#include "app/ui/config_dialog.h"

#include "app/name_reminders.h"
#include "app/ui/icons.h"
#include "app/ui/show_error.h"
#include "ui_support/fonts.h"
#include "ui_support/form_pos_keeper.h"
#include "ui_support/message_box.h"
#include "ui_support/named.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// TDateTime counts days from here.
const QDate kDayZero(1899, 12, 30);

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, QRect geometry, const QIcon& icon)
{
    auto* button = NamedAt(new QPushButton(icon, text, parent), name, geometry);
    // Only OK answers Enter, wherever the focus is.
    button->setAutoDefault(false);
    return button;
}

void SetLabelColour(QLabel* label, QPalette::ColorRole role, std::uint32_t colour)
{
    QPalette palette = label->palette();
    palette.setColor(role, FromStoredColour(colour));
    label->setPalette(palette);
}

void SetText(QLineEdit* edit, const std::string& text)
{
    const QString shown = FromUtf8(text);
    if (edit->text() != shown)
        edit->setText(shown);
}

TDateTime FromQDate(const QDate& date)
{
    return date == Tconfig::NoDate() ? 0 : static_cast<TDateTime>(kDayZero.daysTo(date));
}

QDate ToQDate(TDateTime date)
{
    return date <= 0 ? Tconfig::NoDate() : kDayZero.addDays(static_cast<qint64>(date));
}

// A date edit that can be blank: its lowest date shows as nothing and stands for "no date". The
// calendar then opens on today's month rather than on the blank's.
class OptionalDateEdit final : public QDateEdit
{
public:
    explicit OptionalDateEdit(QWidget* parent) : QDateEdit(parent)
    {
        setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
        setCalendarPopup(true);
        setMinimumDate(Tconfig::NoDate());
        setSpecialValueText(QStringLiteral(" "));
        setDate(Tconfig::NoDate());
        // The calendar names months and days in the program's language, not the desktop's.
        const QLocale polish(QLocale::Polish, QLocale::Poland);
        setLocale(polish);
        calendarWidget()->setLocale(polish);
        calendarWidget()->setFirstDayOfWeek(Qt::Monday);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        QDateEdit::mousePressEvent(event);
        TurnCalendarToToday();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        QDateEdit::keyPressEvent(event);
        TurnCalendarToToday();
    }

private:
    void TurnCalendarToToday()
    {
        if (date() != Tconfig::NoDate())
            return;
        const QDate today = QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
};

}  // namespace

QColor FromStoredColour(std::uint32_t rgb)
{
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb >> 16 & 0xFF));
}

std::uint32_t ToStoredColour(const QColor& colour)
{
    return RgbColour(colour.red(), colour.green(), colour.blue());
}

QDate Tconfig::NoDate()
{
    return QDate(1900, 1, 1);
}

Tconfig::Tconfig(const ConfigSources& sources, ConfigDialogHooks hooks, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      m_model(sources), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("Tconfig"));
    setWindowTitle(QStringLiteral("Konfiguracja"));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);

    CreateColours();
    CreateClock();
    CreatePlace();
    CreateOptions();
    CreateReminders();
    CreateButtons();
    ShowModel();
    Connect();

    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    RestoreWindowPosition(m_keeper, this, true);
}

Tconfig::~Tconfig() = default;

void Tconfig::CreateColours()
{
    auto* group = new QGroupBox(QStringLiteral("Wybór kolorów dla:"), this);
    group->setObjectName(QStringLiteral("GroupColours"));
    group->setGeometry(8, 6, 363, 62);
    niedziele = NamedAt(new QLabel(QStringLiteral("Niedzieli i świąt"), group), "niedziele", {16, 20, 110, 16});
    soboty = NamedAt(new QLabel(QStringLiteral("Sobót"), group), "soboty", {136, 20, 90, 16});
    notatki = NamedAt(new QLabel(QStringLiteral("Dni z notatkami"), group), "notatki", {240, 20, 110, 16});
    tygodnie = NamedAt(new QLabel(QStringLiteral("Numeru tygodnia"), group), "tygodnie", {16, 40, 110, 16});
    dzisiaj = NamedAt(new QLabel(QStringLiteral("Dnia dzisiejszego"), group), "dzisiaj", {136, 40, 96, 16});
    dzisiaj->setAutoFillBackground(true);
    dzisiaj->setAlignment(Qt::AlignCenter);
    for (QLabel* label : {niedziele, soboty, notatki, tygodnie, dzisiaj}) {
        label->setCursor(Qt::PointingHandCursor);
        label->setToolTip(QStringLiteral("Kliknij, aby wybrać kolor"));
        label->installEventFilter(this);
    }
}

void Tconfig::CreateClock()
{
    synchronizacja = NamedAt(new QCheckBox(QStringLiteral("Synchronizacja czasu"), this), "synchronizacja",
                             {12, 76, 220, 18});
    NamedAt(new QLabel(QStringLiteral("Ostatnia synchronizacja czasu:"), this), "LabelSynch", {12, 98, 170, 16});
    syncTimeLabel = NamedAt(new QLabel(QStringLiteral("....."), this), "tsynch", {184, 98, 187, 16});
    QFont bold = syncTimeLabel->font();
    bold.setBold(true);
    syncTimeLabel->setFont(bold);

    NamedAt(new QLabel(QStringLiteral("Korekta [s/24h]"), this), "LabelKorekta", {12, 124, 92, 16});
    correctionEdit = NamedAt(new QLineEdit(this), "ekorekta", {106, 121, 81, 21});
    calculateButton = PlaceButton(this, "spoblicz", QStringLiteral("Oblicz korektę"), {196, 120, 105, 23}, {});

    NamedAt(new QLabel(QStringLiteral("Czas alarmu [s]"), this), "LabelCzas", {12, 152, 92, 16});
    alarmLengthEdit = NamedAt(new QLineEdit(this), "eczas", {106, 149, 49, 21});
    soundCardCheck = NamedAt(new QCheckBox(QStringLiteral("Alarm przez kartę dźwiękową"), this), "ckarta",
                             {166, 150, 205, 18});
}

void Tconfig::CreatePlace()
{
    auto* group = new QGroupBox(QStringLiteral("Obliczanie czasu wschodu i zachodu słońca"), this);
    group->setObjectName(QStringLiteral("GroupPlace"));
    group->setGeometry(8, 178, 363, 76);
    NamedAt(new QLabel(QStringLiteral("Szer. geograf.:"), group), "LabelSzer", {10, 24, 84, 16});
    latitudeEdit = NamedAt(new QLineEdit(group), "eszer", {96, 21, 81, 21});
    NamedAt(new QLabel(QStringLiteral("Dług. geograf.:"), group), "LabelDl", {10, 50, 84, 16});
    longitudeEdit = NamedAt(new QLineEdit(group), "edl", {96, 47, 81, 21});
    NamedAt(new QLabel(QStringLiteral("lub wybierz miasto:"), group), "LabelMiasto", {196, 24, 150, 16});
    cityCombo = new QComboBox(group);
    cityCombo->setObjectName(QStringLiteral("cmiasto"));
    cityCombo->setGeometry(196, 47, 155, 21);
    cityCombo->setEditable(false);
    cityCombo->setMaxVisibleItems(15);
    for (const std::string& name : m_model.Form().cityItems)
        cityCombo->addItem(FromUtf8(name));
}

void Tconfig::CreateOptions()
{
    hourSignalCheck = NamedAt(new QCheckBox(QStringLiteral("Sygnalizacja pełnej godziny"), this), "pelna",
                              {12, 264, 190, 18});
    NamedAt(new QLabel(QStringLiteral("Czas drzemki [min]"), this), "LabelDrzemka", {214, 265, 108, 16});
    snoozeEdit = NamedAt(new QLineEdit(this), "edrzemka", {324, 262, 47, 21});
    packNotesCheck = NamedAt(new QCheckBox(QStringLiteral("Upakowanie bazy z notatkami"), this), "upakowanie",
                             {12, 288, 359, 18});
    NamedAt(new QLabel(QStringLiteral("Usuń notatki sprzed:"), this), "LabelDatyod", {30, 314, 118, 16});
    purgeBeforeEdit = new OptionalDateEdit(this);
    purgeBeforeEdit->setObjectName(QStringLiteral("datyod"));
    purgeBeforeEdit->setGeometry(150, 311, 105, 21);
    imieniny = PlaceButton(this, "imieniny", QStringLiteral("Imieniny bliskich"), {264, 310, 107, 23}, {});
    imieniny->setToolTip(QStringLiteral("Czyje imieniny przypominać dzień wcześniej i w dniu imienin"));
    przywolanie = NamedAt(new QCheckBox(QStringLiteral("Podczas przywołania programu ustaw dzisiejszą datę"), this),
                          "przywolanie", {12, 342, 359, 18});
    autorun = NamedAt(new QCheckBox(QStringLiteral("Automatyczne uruchomienie programu podczas startu systemu"), this),
                      "autorun", {12, 366, 359, 18});
    auto* voivodeshipLabel = NamedAt(new QLabel(QStringLiteral("Województwo (ferie zimowe):"), this),
                                     "LabelWojewodztwo", {12, 395, 166, 16});
    voivodeshipCombo = new QComboBox(this);
    voivodeshipCombo->setObjectName(QStringLiteral("wojewodztwo"));
    voivodeshipCombo->setGeometry(180, 392, 191, 21);
    voivodeshipCombo->setEditable(false);
    voivodeshipCombo->setMaxVisibleItems(17);
    for (const std::string& name : m_model.Form().voivodeshipItems)
        voivodeshipCombo->addItem(FromUtf8(name));
    const QString hint = QStringLiteral("Przerwy szkolne tego województwa, z feriami zimowymi, są zaznaczone w "
                                        "kalendarzu i nazwane przy dniu");
    voivodeshipLabel->setToolTip(hint);
    voivodeshipCombo->setToolTip(hint);
    voivodeshipLabel->setBuddy(voivodeshipCombo);
}

void Tconfig::CreateReminders()
{
    // Unticked, the group greys out what only matters while the notes remind.
    remindersGroup = new QGroupBox(QStringLiteral("Przypomnienia z notatek"), this);
    remindersGroup->setObjectName(QStringLiteral("przypomnienia"));
    remindersGroup->setGeometry(8, 418, 363, 48);
    remindersGroup->setCheckable(true);
    remindersGroup->setToolTip(
        QStringLiteral("Wiersz notatki zaczynający się od godziny, np. „14:30 dentysta”, przypomina o tej porze"));
    NamedAt(new QLabel(QStringLiteral("Przypominaj"), remindersGroup), "LabelPrzypominaj", {10, 23, 70, 16});
    reminderAdvanceEdit = NamedAt(new QLineEdit(remindersGroup), "ewczesniej", {82, 20, 41, 21});
    NamedAt(new QLabel(QStringLiteral("minut wcześniej"), remindersGroup), "LabelWczesniej", {128, 23, 92, 16});
    reminderSoundCheck = NamedAt(new QCheckBox(QStringLiteral("Dźwięk przypomnień"), remindersGroup), "dzwiek",
                                 {222, 22, 135, 18});
}

void Tconfig::CreateButtons()
{
    BitBtn1 = PlaceButton(this, "BitBtn1", QStringLiteral("OK"), {8, 476, 83, 27}, GlyphIcon(Glyph::Save));
    // Enter confirms the dialog from any control.
    BitBtn1->setDefault(true);
    BitBtn4 = PlaceButton(this, "BitBtn4", QStringLiteral("Opis"), {99, 476, 83, 27}, GlyphIcon(Glyph::Info));
    BitBtn3 = PlaceButton(this, "BitBtn3", QStringLiteral("Usuń wpisy"), {190, 476, 90, 27}, {});
    BitBtn2 = PlaceButton(this, "BitBtn2", QStringLiteral("Anuluj"), {288, 476, 83, 27}, GlyphIcon(Glyph::Cancel));
}

void Tconfig::Connect()
{
    connect(synchronizacja, &QCheckBox::toggled, this, [this](bool on) {
        m_model.synchronizacjaClick(on);
        FormShow();
    });
    connect(correctionEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.SetCorrectionText(text.toStdString()); });
    connect(calculateButton, &QPushButton::clicked, this, &Tconfig::spobliczClick);
    connect(imieniny, &QPushButton::clicked, this, &Tconfig::imienineClick);
    connect(alarmLengthEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.SetAlarmLengthText(text.toStdString()); });
    connect(snoozeEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.SetSnoozeText(text.toStdString()); });
    connect(soundCardCheck, &QCheckBox::toggled, this, [this](bool on) { m_model.SetSoundCard(on); });
    // Typing, not the filling from a city, lets the city go: textEdited is the user's alone.
    connect(latitudeEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model.SetLatitudeText(text.toStdString());
        ShowModel();
    });
    connect(longitudeEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model.SetLongitudeText(text.toStdString());
        ShowModel();
    });
    connect(cityCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model.cmiastoChange(index);
        ShowModel();
    });
    connect(hourSignalCheck, &QCheckBox::toggled, this, [this](bool on) { m_model.SetHourSignal(on); });
    connect(packNotesCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_model.upakowanieClick(on);
        ShowModel();
    });
    connect(purgeBeforeEdit, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        m_model.datyodChange(FromQDate(date));
        ShowModel();
    });
    connect(przywolanie, &QCheckBox::toggled, this, [this](bool on) { m_model.SetRecall(on); });
    connect(autorun, &QCheckBox::toggled, this, [this](bool on) { m_model.SetAutorun(on); });
    connect(voivodeshipCombo, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_model.SetVoivodeshipIndex(index); });
    connect(remindersGroup, &QGroupBox::toggled, this, [this](bool on) { m_model.SetNoteReminders(on); });
    connect(reminderAdvanceEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.SetReminderAdvanceText(text.toStdString()); });
    connect(reminderSoundCheck, &QCheckBox::toggled, this, [this](bool on) { m_model.SetReminderSound(on); });
    connect(BitBtn1, &QPushButton::clicked, this, &Tconfig::BitBtn1Click);
    connect(BitBtn4, &QPushButton::clicked, this, &Tconfig::BitBtn4Click);
    connect(BitBtn3, &QPushButton::clicked, this, &Tconfig::BitBtn3Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void Tconfig::ShowModel()
{
    const ConfigForm& form = m_model.Form();
    SetLabelColour(niedziele, QPalette::WindowText, form.niedziele);
    SetLabelColour(soboty, QPalette::WindowText, form.soboty);
    SetLabelColour(notatki, QPalette::WindowText, form.notatki);
    SetLabelColour(tygodnie, QPalette::WindowText, form.tygodnie);
    SetLabelColour(dzisiaj, QPalette::Window, form.dzisiaj);
    syncTimeLabel->setText(FromUtf8(form.syncTimeText));

    const QSignalBlocker blockers[] = {
        QSignalBlocker(synchronizacja),     QSignalBlocker(soundCardCheck),  QSignalBlocker(cityCombo),
        QSignalBlocker(hourSignalCheck),    QSignalBlocker(packNotesCheck),  QSignalBlocker(purgeBeforeEdit),
        QSignalBlocker(przywolanie),        QSignalBlocker(autorun),         QSignalBlocker(remindersGroup),
        QSignalBlocker(reminderSoundCheck), QSignalBlocker(voivodeshipCombo)};
    synchronizacja->setChecked(form.synchronizacja);
    SetText(correctionEdit, form.correctionText);
    SetText(alarmLengthEdit, form.alarmLengthText);
    SetText(snoozeEdit, form.snoozeText);
    soundCardCheck->setChecked(form.alarmViaSoundCard);
    SetText(latitudeEdit, form.latitudeText);
    SetText(longitudeEdit, form.longitudeText);
    cityCombo->setCurrentIndex(form.cityIndex);
    hourSignalCheck->setChecked(form.hourSignal);
    packNotesCheck->setChecked(form.packNotes);
    purgeBeforeEdit->setDate(ToQDate(form.purgeBefore));
    // Qt paints both week-end days red; the drop-down's calendar shows them as the grids do.
    QCalendarWidget* calendar = purgeBeforeEdit->calendarWidget();
    for (const auto& [day, colour] : {std::pair{Qt::Saturday, form.soboty}, std::pair{Qt::Sunday, form.niedziele}}) {
        QTextCharFormat format = calendar->weekdayTextFormat(day);
        format.setForeground(FromStoredColour(colour));
        calendar->setWeekdayTextFormat(day, format);
    }
    przywolanie->setChecked(form.przywolanie);
    autorun->setChecked(form.autorun);
    voivodeshipCombo->setCurrentIndex(m_model.VoivodeshipIndex());
    remindersGroup->setChecked(form.noteReminders);
    SetText(reminderAdvanceEdit, form.reminderAdvanceText);
    reminderSoundCheck->setChecked(form.reminderSound);
}

void Tconfig::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void Tconfig::FormShow()
{
    const bool enabled = m_model.CorrectionEnabled();
    correctionEdit->setEnabled(enabled);
    calculateButton->setEnabled(enabled);
}

bool Tconfig::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == dzisiaj) {
            dzisiajClick();
            return true;
        }
        for (QLabel* label : {niedziele, soboty, notatki, tygodnie})
            if (watched == label) {
                niedzieleClick(label);
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<QColor> Tconfig::ChooseColour(const QColor& initial)
{
    if (m_hooks.chooseColour)
        return m_hooks.chooseColour(initial, this);
    const QColor chosen = QColorDialog::getColor(initial, this);
    return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

void Tconfig::niedzieleClick(QLabel* label)
{
    std::uint32_t ConfigForm::*field = label == niedziele ? &ConfigForm::niedziele
                                       : label == soboty  ? &ConfigForm::soboty
                                       : label == notatki ? &ConfigForm::notatki
                                                          : &ConfigForm::tygodnie;
    if (const auto colour = ChooseColour(FromStoredColour(m_model.Form().*field))) {
        m_model.SetColour(field, ToStoredColour(*colour));
        ShowModel();
    }
}

void Tconfig::dzisiajClick()
{
    if (const auto colour = ChooseColour(FromStoredColour(m_model.Form().dzisiaj))) {
        m_model.SetColour(&ConfigForm::dzisiaj, ToStoredColour(*colour));
        ShowModel();
    }
}

void Tconfig::imienineClick()
{
    const ConfigForm& form = m_model.Form();
    const auto chosen = m_hooks.chooseNames ? m_hooks.chooseNames(form.imieniny, form.nameForms, this)
                                            : ChooseNames(form.imieniny, form.nameForms, this);
    if (chosen)
        m_model.SetChosenNames(*chosen);
}

std::optional<std::vector<std::string>> ChooseNames(const std::vector<std::string>& chosen,
                                                    const std::vector<std::string>& forms, QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ImieninyBliskich"));
    dialog.setWindowTitle(QStringLiteral("Imieniny bliskich"));
    // A window of its own takes no font from its parent: the program's small one, as elsewhere.
    if (parent)
        dialog.setFont(parent->font());
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Zaznacz imiona, o których imieninach przypominać:"), &dialog));
    auto* search = new QLineEdit(&dialog);
    search->setObjectName(QStringLiteral("szukaj"));
    search->setPlaceholderText(QStringLiteral("Szukaj imienia"));
    search->setClearButtonEnabled(true);
    layout->addWidget(search);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("imiona"));
    // The name as people say it, and the table's form that is stored ("Anna (Anny)").
    const std::vector<NameChoice> choices = NameChoices(forms);
    for (const NameChoice& choice : choices) {
        auto* item = new QListWidgetItem(QString::fromStdString(choice.label), list);
        item->setData(Qt::UserRole, QString::fromStdString(choice.form));
        const bool ticked = std::find(chosen.begin(), chosen.end(), choice.form) != chosen.end();
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(list);
    QObject::connect(search, &QLineEdit::textChanged, list, [list, choices](const QString& text) {
        const std::vector<bool> found = NamesFound(choices, text.toStdString());
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setHidden(!found[static_cast<std::size_t>(i)]);
    });
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(240, 320);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    std::vector<std::string> names;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            names.push_back(list->item(i)->data(Qt::UserRole).toString().toStdString());
    return names;
}

void Tconfig::spobliczClick()
{
    if (!m_hooks.calibrate)
        return;
    if (const auto correction = m_hooks.calibrate(this)) {
        m_model.CalibrationAssigned(*correction);
        ShowModel();
    }
}

void Tconfig::BitBtn1Click()
{
    if (m_model.NeedsAutostartQuestion()
        && AppMessageBox::Show(this, QMessageBox::Question, QStringLiteral("Informacja"),
                               QString::fromUtf8(TconfigModel::AutostartQuestion()), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes)
               == QMessageBox::Yes) {
        m_model.SetAutorun(true);
        ShowModel();
    }
    accept();
}

void Tconfig::BitBtn3Click()
{
    if (AppMessageBox::Show(this, QMessageBox::Question, QStringLiteral("Potwierdzenie"),
                            QString::fromUtf8(TconfigModel::RemoveEntriesQuestion()),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::No)
        return;
    m_removeEntries = true;
    reject();
}

void Tconfig::BitBtn4Click()
{
    if (m_hooks.showInfo)
        m_hooks.showInfo(this);
}

void Tconfig::done(int result)
{
    SaveWindowPosition(m_keeper, this);
    QDialog::done(result);
}

ConfigOutcome RunConfigDialog(QWidget* parent, const ConfigSources& sources, const ConfigDialogHooks& hooks,
                              Settings& settings, SettingsStore& store, TDateTime now, const ConfigActions& actions)
{
    Tconfig dialog(sources, hooks, parent);
    const int result = dialog.exec();
    if (dialog.RemoveEntries())
        return ConfigOutcome::RemoveEntries;
    if (result != QDialog::Accepted)
        return ConfigOutcome::Cancelled;
    if (!dialog.Model().Apply(settings, store, now, actions))
        ShowError(parent, QStringLiteral("Nie udało się zapisać konfiguracji. Zmiany obowiązują do zakończenia "
                                         "programu."));
    return ConfigOutcome::Confirmed;
}
