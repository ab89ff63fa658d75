// Tfkor: the calibration dialog that measures the PC clock's drift against a reference time
// signal, from a Start to a Stop a day or more later. Its logic is Calibration (clock/calibration.h).
#pragma once

#include <QDialog>

#include "clock/calibration.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class Tfkor : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 531;
    static constexpr int kClientHeight = 481;
    // The masked edits' mask. Qt's '0' is an optional digit (the classic '9'); the colons stay in
    // the text and a blank shows as '_'.
    static constexpr const char* kHmsMask = "00:00:00;_";

    // The values are the calibration's in the program's memory; `store` writes them as they change.
    Tfkor(CalibrationValues values, SystemClock& clock, StoreCalibration store, QWidget* parent = nullptr);

    // Label9, Label10 and Label12 from the stored values.
    void ShowCalibration();
    // The edits' text as the calibration reads it: eight characters, blanks for empty places.
    static std::string HmsText(const QLineEdit* edit);

    QLineEdit* estart = nullptr;
    QPushButton* SpeedButton2 = nullptr;  // Start
    QLabel* Label9 = nullptr;
    QLineEdit* estop = nullptr;
    QPushButton* SpeedButton1 = nullptr;  // Stop
    QLabel* Label10 = nullptr;
    QLabel* Label12 = nullptr;
    QPushButton* SpeedButton3 = nullptr;  // Tst
    QPushButton* BitBtn1 = nullptr;       // "Przypisz korektę"
    QPushButton* BitBtn2 = nullptr;       // "Zamknij"

    void SpeedButton2Click();
    void SpeedButton1Click();
    void SpeedButton3Click();

private:
    QHBoxLayout* AddRow(QVBoxLayout* layout);
    void AddTimeRow(QVBoxLayout* layout, const char* editName, const char* buttonName, const QString& caption,
                    const char* labelName, QLineEdit*& edit, QPushButton*& button, QLabel*& label);
    void AddResultRow(QVBoxLayout* layout);
    void AddButtons(QVBoxLayout* layout);
    void Report(const std::optional<ClockChange>& change);

    Calibration m_logic;
};
