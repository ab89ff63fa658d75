// Modal message boxes through one door, so that tests can answer them before they appear.
#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

class AppMessageBox
{
public:
    using Button = QMessageBox::StandardButton;

    // Shows a modal box and returns the button pressed (the Escape button when closed).
    static Button Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                       Button defaultButton = QMessageBox::NoButton);

    // Tests: the next Show returns `answer` at once without showing anything; the boxes that were
    // answered this way are counted and the last one is kept for inspection.
    static void SetNextAnswer(Button answer);
    struct Record
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    static const std::optional<Record>& LastAnswered();
    static int AnsweredCount();
    static void ResetAnswered();
};
