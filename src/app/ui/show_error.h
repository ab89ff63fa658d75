// The one place where errors that escape a handler are shown to the user.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <stdexcept>

class QWidget;

// Raised when the alarm time box is left with one of its digits missing.
class EDBEditError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// An EDBEditError (exactly that class) gets the alarm-time box titled "komunikat"; every other
// error a box with its own message under the program's name.
void ShowError(QWidget* parent, const std::exception& error);
// For failures that are no exception, such as a link that cannot be opened.
void ShowError(QWidget* parent, const QString& message);
// While on, errors go to standard error instead of a box. For an end the system asked for: nobody
// may be there to answer a box, and one left unanswered would keep the program from ending.
void SetErrorsToStandardError(bool on);

// Runs `action` and shows over `parent` what it throws, so that a failed write never loses the window.
template <typename Action>
void Guarded(QWidget* parent, Action&& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        ShowError(parent, error);
    }
}

// Catches what a handler throws on its way back to the event loop and shows it, so that one
// failed action never ends the program.
class TApplication : public QApplication
{
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
