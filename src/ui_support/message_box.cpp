// The message-box door.
#include "ui_support/message_box.h"

#include "ui_support/message_icons.h"

#include <QAbstractButton>

#include <utility>

namespace {

std::optional<AppMessageBox::Button> g_nextAnswer;
std::optional<AppMessageBox::Record> g_lastAnswered;
int g_answeredCount = 0;

}  // namespace

AppMessageBox::Button AppMessageBox::Show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                          const QString& text, QMessageBox::StandardButtons buttons,
                                          Button defaultButton)
{
    if (g_nextAnswer) {
        const Button answer = *g_nextAnswer;
        g_nextAnswer.reset();
        g_lastAnswered = Record{icon, title, text, buttons};
        ++g_answeredCount;
        return answer;
    }
    QMessageBox box(icon, title, text, buttons, parent);
    box.setIconPixmap(MessageIconPixmap(icon, box.devicePixelRatio()));
    // Qt names its standard buttons in English unless a translation is installed; the program
    // speaks Polish whatever the desktop's language.
    static constexpr std::pair<QMessageBox::StandardButton, const char*> kCaptions[] = {
        {QMessageBox::Yes, "&Tak"},
        {QMessageBox::No, "&Nie"},
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, "Anuluj"}};
    for (const auto& [which, caption] : kCaptions) {
        if (QAbstractButton* button = box.button(which))
            button->setText(QString::fromUtf8(caption));
    }
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<Button>(box.exec());
}

void AppMessageBox::SetNextAnswer(Button answer)
{
    g_nextAnswer = answer;
}

const std::optional<AppMessageBox::Record>& AppMessageBox::LastAnswered()
{
    return g_lastAnswered;
}

int AppMessageBox::AnsweredCount()
{
    return g_answeredCount;
}

void AppMessageBox::ResetAnswered()
{
    g_nextAnswer.reset();
    g_lastAnswered.reset();
    g_answeredCount = 0;
}
