// The calibration dialog.
#include "clock/ui/calibration_dialog.h"

#include "clock/local_time.h"
#include "ui_support/fonts.h"
#include "ui_support/message_box.h"
#include "ui_support/named.h"

#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// The instructions of the three steps.
constexpr const char* kStartText =
    "Po określeniu godziny synchronizacji należy nacisnąć przycisk Start w momencie, gdy nadejdzie wprowadzona "
    "godzina. Najlepiej wykorzystać do tego celu radiowy sygnał czasu lub wskazania zegara kontrolowanego "
    "radiowo.\nPo naciśnięciu przycisku Start nastąpi ustawienie wprowadzonej godziny jako czasu aktualnego i "
    "rozpocznie się pomiar.";
constexpr const char* kMeasureText =
    "Po rozpoczęciu pomiaru należy odczekać minimum jeden dzień aby zakończyć kalibrację. Zaleca się, aby pomiar "
    "trwał tydzień (lub jego wielokrotność). Umożliwia to uzyskanie odpowiedniej precyzji i minimalizuje wpływ "
    "czynników zewnętrznych (temperatura wewnątrz komputera, odmienny sposób zasilania) na zegar komputera.\nUWAGA! "
    "Podczas kalibracji nie wolno zmieniać czasu systemowego!";
constexpr const char* kStopText =
    "Po określeniu godziny synchronizacji należy nacisnąć przycisk Stop w momencie, gdy nadejdzie wprowadzona "
    "godzina. Najlepiej wykorzystać do tego celu radiowy sygnał czasu lub wskazania zegara kontrolowanego "
    "radiowo.\nPo naciśnięciu przycisku Stop nastąpi ustawienie wprowadzonej godziny jako czasu aktualnego i "
    "zakończenie kalibracji. Wynik kalibracji zostanie przeniesiony do okna konfiguracyjnego.\nUWAGA! Zaleca się, "
    "aby zakończenie pomiaru nastąpiło wkrótce po załączeniu (restarcie) komputera. Przycisk Stop staje się "
    "nieaktywny, jeśli od uruchomiania upłynęła ponad jedna godzina, nie wykonano startu lub pomiar był zakończony.";

QLabel* Heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(SansFont(14, true));
    return label;
}

QLabel* Instructions(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QLineEdit* HmsEdit(const char* name, QWidget* parent)
{
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setInputMask(QLatin1String(Tfkor::kHmsMask));
    edit->setFixedWidth(64);
    return edit;
}

QPushButton* BoldButton(const char* name, const QString& text, QWidget* parent)
{
    auto* button = Named(new QPushButton(text, parent), name);
    button->setFont(SansFont(11, true));
    button->setFixedWidth(85);
    return button;
}

}  // namespace

Tfkor::Tfkor(CalibrationValues values, SystemClock& clock, StoreCalibration store, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_logic(values, clock, std::move(store))
{
    setObjectName(QStringLiteral("fkor"));
    setWindowTitle(QStringLiteral("Obliczanie korekty dobowej"));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(4);
    layout->addWidget(Heading(QStringLiteral("1. Rozpoczęcie pomiaru"), this));
    layout->addWidget(Instructions(QString::fromUtf8(kStartText), this));
    AddTimeRow(layout, "estart", "SpeedButton2", QStringLiteral("Start"), "Label9", estart, SpeedButton2, Label9);
    layout->addSpacing(4);
    layout->addWidget(Heading(QStringLiteral("2. Pomiar"), this));
    layout->addWidget(Instructions(QString::fromUtf8(kMeasureText), this));
    layout->addSpacing(4);
    layout->addWidget(Heading(QStringLiteral("3. Zakończenie pomiaru"), this));
    layout->addWidget(Instructions(QString::fromUtf8(kStopText), this));
    AddTimeRow(layout, "estop", "SpeedButton1", QStringLiteral("Stop"), "Label10", estop, SpeedButton1, Label10);
    AddResultRow(layout);
    layout->addStretch(1);
    AddButtons(layout);

    connect(SpeedButton2, &QPushButton::clicked, this, &Tfkor::SpeedButton2Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &Tfkor::SpeedButton1Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &Tfkor::SpeedButton3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    // Stop is decided once, as the dialog opens: later it may already be too long since boot.
    SpeedButton1->setEnabled(m_logic.StopEnabled());
    ShowCalibration();
    estart->setFocus();
    // On the middle of the screen, not over the configuration dialog that opens it.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QHBoxLayout* Tfkor::AddRow(QVBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    layout->addLayout(row);
    return row;
}

void Tfkor::AddTimeRow(QVBoxLayout* layout, const char* editName, const char* buttonName, const QString& caption,
                       const char* labelName, QLineEdit*& edit, QPushButton*& button, QLabel*& label)
{
    // "Godzina [hh:mm:ss]:", the time edit, its button and the label that shows the moment.
    QHBoxLayout* row = AddRow(layout);
    row->addWidget(new QLabel(QStringLiteral("Godzina [hh:mm:ss]:"), this));
    edit = HmsEdit(editName, this);
    // Said with the button's caption: two rows have the same label.
    edit->setAccessibleName(QStringLiteral("Godzina: ") + caption);
    row->addWidget(edit);
    button = BoldButton(buttonName, caption, this);
    button->setAutoDefault(false);
    row->addWidget(button);
    label = Named(new QLabel(this), labelName);
    row->addWidget(label, 1);
}

void Tfkor::AddResultRow(QVBoxLayout* layout)
{
    QHBoxLayout* row = AddRow(layout);
    row->addWidget(new QLabel(QStringLiteral("Obliczona korekta [s/24h]:"), this));
    Label12 = Named(new QLabel(this), "Label12");
    Label12->setFont(SansFont(11, true));
    row->addWidget(Label12);
    row->addStretch(1);
    SpeedButton3 = Named(new QPushButton(QStringLiteral("Tst"), this), "SpeedButton3");
    SpeedButton3->setFixedWidth(36);
    SpeedButton3->setAutoDefault(false);
    row->addWidget(SpeedButton3);
}

void Tfkor::AddButtons(QVBoxLayout* layout)
{
    QHBoxLayout* row = AddRow(layout);
    row->addStretch(1);
    BitBtn1 = Named(
        new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Przypisz korektę"), this),
        "BitBtn1");
    BitBtn2 = Named(
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Zamknij"), this),
        "BitBtn2");
    for (QPushButton* b : {BitBtn1, BitBtn2}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(120);
        row->addWidget(b);
    }
}

void Tfkor::ShowCalibration()
{
    const CalibrationTexts texts = m_logic.Texts();
    Label9->setText(QString::fromStdString(texts.start));
    Label10->setText(QString::fromStdString(texts.stop));
    Label12->setText(QString::fromStdString(texts.result));
}

std::string Tfkor::HmsText(const QLineEdit* edit)
{
    return edit->displayText().replace(QLatin1Char('_'), QLatin1Char(' ')).toStdString();
}

void Tfkor::Report(const std::optional<ClockChange>& change)
{
    if (!change || change->Ok())
        return;
    const QString text = QStringLiteral("Nie udało się ustawić zegara, więc pomiar nie został zmieniony. Przyczyna: ")
                         + QString::fromStdString(ClockChangeReason(*change)) + QLatin1Char('.');
    AppMessageBox::Show(this, QMessageBox::Warning, QStringLiteral("Komunikat"), text);
}

void Tfkor::SpeedButton2Click()
{
    const auto change = m_logic.Start(HmsText(estart));
    // A press that did nothing leaves the labels as they are, with what Tst appended.
    if (!change)
        return;
    Report(change);
    ShowCalibration();
}

void Tfkor::SpeedButton1Click()
{
    const auto change = m_logic.Stop(HmsText(estop));
    // A press that did nothing leaves the labels as they are, with what Tst appended.
    if (!change)
        return;
    Report(change);
    ShowCalibration();
}

void Tfkor::SpeedButton3Click()
{
    if (const auto text = m_logic.Test(HmsText(estop)))
        Label10->setText(Label10->text() + QString::fromStdString(*text));
}
