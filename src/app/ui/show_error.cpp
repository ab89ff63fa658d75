// Showing errors that reach the event loop.
#include "app/ui/show_error.h"

#include "ui_support/message_box.h"

#include <iostream>
#include <typeinfo>

namespace {

bool g_errorsToStandardError = false;

}  // namespace

void SetErrorsToStandardError(bool on)
{
    g_errorsToStandardError = on;
}

void ShowError(QWidget* parent, const std::exception& error)
{
    // Only the exact class: an error derived from it may mean something else entirely.
    if (typeid(error) == typeid(EDBEditError) && !g_errorsToStandardError) {
        AppMessageBox::Show(parent, QMessageBox::Warning, QStringLiteral("komunikat"),
                            QStringLiteral("Wprowadź poprawną godzinę alarmu lub naciśnij ESC w celu przywrócenia "
                                           "poprzedniej."));
        return;
    }
    ShowError(parent, QString::fromUtf8(error.what()));
}

void ShowError(QWidget* parent, const QString& message)
{
    if (g_errorsToStandardError) {
        QString line = message;
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        std::cerr << "dniarz: " << line.toStdString() << std::endl;
        return;
    }
    AppMessageBox::Show(parent, QMessageBox::Critical, QStringLiteral("Dniarz"), message);
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(activeWindow(), error);
    } catch (...) {
        ShowError(activeWindow(), QStringLiteral("Wystąpił nieoczekiwany błąd."));
    }
    return false;
}
