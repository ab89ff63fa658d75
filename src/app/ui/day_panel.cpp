// The day panel.
#include "app/ui/day_panel.h"

#include "ui_support/fonts.h"
#include "ui_support/named.h"
#include "ui_support/qt_text.h"

#include <QLabel>
#include <QTextOption>

#include <algorithm>

namespace {

QLabel* CentredLabel(QWidget* parent, const char* name, int top, int height, const QFont& font)
{
    QLabel* label = NamedLabel(parent, name, {}, {0, top}, {96, height});
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(font);
    return label;
}

// The runs as the label's rich text: every run escaped, the chosen ones bold, a line break each.
QString RichNames(const std::vector<NameRun>& runs)
{
    QString html;
    for (const NameRun& run : runs) {
        QString text = FromText(run.text).toHtmlEscaped();
        text.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
        html += run.chosen ? QStringLiteral("<b>") + text + QStringLiteral("</b>") : text;
    }
    return html;
}

QString PlainNames(const std::vector<NameRun>& runs)
{
    std::string text;
    for (const NameRun& run : runs)
        text += run.text;
    return FromText(text);
}

// Whether the label shows all of its text as it lays it out itself, bold names with their bold
// width: no taller than the label, and its longest word no wider. Measuring with the label's own
// layout rather than a copy of it keeps the answer right wherever the fonts are drawn differently.
bool ShowsAll(const QLabel* label)
{
    return label->heightForWidth(label->width()) <= label->height()
           && label->minimumSizeHint().width() <= label->width();
}

}  // namespace

DayPanel::DayPanel(QWidget* form) : QFrame(form)
{
    setObjectName(QStringLiteral("Panel1"));
    setGeometry(164, 36, 97, 161);
    setAutoFillBackground(true);
    SetTextColour(this, Qt::white, QPalette::Window);

    ltydzien = CentredLabel(this, "ltydzien", 4, 16, SansFont(13, true));
    ldzien = CentredLabel(this, "ldzien", 20, 28, SansFont(24, true));
    lmiesiac = CentredLabel(this, "lmiesiac", 49, 16, SansFont(13, true));
    lrok = CentredLabel(this, "lrok", 64, 16, SansFont(13, true));
    slonce = NamedLabel(this, "slonce", {}, {4, 84});
    limien = CentredLabel(this, "limien", 100, 54, font());
    limien->setWordWrap(true);
    limien->setTextFormat(Qt::RichText);
    // The holiday lies over the top of the names, which then start with two empty lines.
    lextraday = CentredLabel(this, "lextraday", 100, 25, SansFont(11));
    lextraday->setWordWrap(true);
    SetTextColour(lextraday, QColor(0x00, 0x80, 0x80));
    lextraday->hide();
    // A screen reader reads the labels one by one: it is told what the bare numbers are, and the
    // hints the mouse shows (the working time, the Moon) reach it as the labels' descriptions.
    setAccessibleName(QStringLiteral("Wybrany dzień"));
}

void DayPanel::SetWeekday(const std::string& text)
{
    ltydzien->setText(FromText(text));
}

void DayPanel::SetDayNumber(int day, const QColor& colour)
{
    ldzien->setText(QString::number(day));
    ldzien->setAccessibleName(QStringLiteral("Dzień miesiąca: %1").arg(day));
    SetTextColour(ldzien, colour);
}

void DayPanel::SetMonthAndYear(const std::string& month, int year, const std::string& hint)
{
    lmiesiac->setText(FromText(month));
    lmiesiac->setToolTip(FromText(hint));
    lrok->setText(QString::number(year));
    lrok->setAccessibleName(QStringLiteral("Rok %1").arg(year));
}

void DayPanel::SetSunLine(const std::string& caption, const std::string& hint)
{
    slonce->setText(FromText(caption));
    // "W/Z:" is a sign to the eye; the ear gets the words.
    QString spoken = FromText(caption);
    if (spoken.startsWith(QStringLiteral("W/Z: ")))
        spoken = QStringLiteral("Wschód i zachód Słońca: ") + spoken.mid(5);
    slonce->setAccessibleName(spoken);
    slonce->setToolTip(FromText(hint));
    slonce->adjustSize();
}

void DayPanel::SetNamesAndHoliday(const std::string& holiday, const std::vector<NameRun>& names,
                                  const std::vector<NameRun>& namesInline, const std::string& holidayHint)
{
    lextraday->setToolTip(FromText(holidayHint));
    // The holiday lies over the top of the names, as tall as its text really is, and the names
    // begin right under it: a fixed two-line gap would leave room for two names only.
    const QString holidayText = FromText(holiday);
    lextraday->setText(holidayText);
    lextraday->setVisible(!holidayText.isEmpty());
    limien->setToolTip(PlainNames(names));
    limien->setAccessibleName(QStringLiteral("Imieniny: ") + PlainNames(namesInline));
    // One name a line reads best; when that runs past the panel the names share their lines, and
    // on the few days with a holiday and many long names they also take a pixel less, or, with
    // bold names in fonts of taller lines (as Windows draws them), two. A holiday of several
    // lines (a long feast, or a feast on a trading Sunday) gives up a pixel or two of its own
    // before the names go below eight.
    const QString oneALine = RichNames(names);
    const QString shared = RichNames(namesInline);
    const auto show = [this](int pixels, const QString& text) {
        QFont font = this->font();
        font.setPixelSize(pixels);
        limien->setFont(font);
        limien->setText(text);
    };
    const auto placeHoliday = [&](int pixels) {
        lextraday->setFont(SansFont(pixels));
        int namesTop = 0;
        if (!holidayText.isEmpty()) {
            namesTop = std::min(lextraday->heightForWidth(lextraday->width()), limien->height());
            lextraday->resize(lextraday->width(), namesTop);
        }
        limien->setContentsMargins(0, namesTop, 0, 0);
    };
    for (const int holidayPixels : {11, 10, 9}) {
        placeHoliday(holidayPixels);
        for (const int pixels : {11, 10, 9, 8}) {
            for (const QString* text : {&oneALine, &shared}) {
                show(pixels, *text);
                if (ShowsAll(limien))
                    return;
            }
        }
    }
    // No table day comes here; should one, the smallest shared lines show the most.
    show(8, shared);
}
