// Qt's own windows in the program's font and language.
#include "ui_support/qt_windows.h"

#include "ui_support/fonts.h"

#include <QApplication>
#include <QFontDialog>
#include <QLineEdit>
#include <QListView>
#include <QFontInfo>
#include <QStyledItemDelegate>

void UseWindowFontInQtsOwnWindows()
{
    QApplication::setFont(WindowFont());
}

QString TranslatedFontStyleName(const QString& style)
{
    // Longest phrases first, so that an untranslated "Extra Bold" is not half translated. Qt
    // calls a plain style "Normal"; fontconfig says "Regular".
    static constexpr std::pair<const char*, const char*> kPhrases[] = {
        {"Extra Light", "Extra Light"},
        {"Extra Bold", "Extra Bold"},
        {"Demi Bold", "Demi Bold"},
        {"Semi Bold", "Demi Bold"},
        {"Regular", "Normal"},
        {"Normal", "Normal"},
        {"Bold", "Bold"},
        {"Italic", "Italic"},
        {"Oblique", "Oblique"},
        {"Light", "Light"},
        {"Medium", "Medium"},
        {"Black", "Black"},
        {"Thin", "Thin"},
    };
    QString result;
    qsizetype pos = 0;
    while (pos < style.size()) {
        bool matched = false;
        for (const auto& [phrase, source] : kPhrases) {
            const QLatin1String text(phrase);
            const qsizetype end = pos + text.size();
            // Whole words only: "Boldface" is no "Bold".
            if (!QStringView(style).sliced(pos).startsWith(text) || (end < style.size() && style[end].isLetter()))
                continue;
            const QString translated = QCoreApplication::translate("QFontDatabase", source);
            result += translated == QLatin1String(source) ? text : translated;
            pos = end;
            matched = true;
            break;
        }
        if (!matched) {
            // Up to the next word.
            const qsizetype space = style.indexOf(QLatin1Char(' '), pos);
            const qsizetype end = space < 0 ? style.size() : space + 1;
            result += QStringView(style).sliced(pos, end - pos);
            pos = end;
        }
    }
    return result;
}

namespace {

// Shows the style list's names translated while the list itself keeps Qt's names, which the
// dialog looks fonts up by.
class TranslatedStyleDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale&) const override
    {
        return TranslatedFontStyleName(value.toString());
    }
};

}  // namespace

void TranslateFontStyleNames(QFontDialog& dialog)
{
    // The dialog's three edits (family, style, size) hand their focus to their lists.
    const QList<QLineEdit*> edits = dialog.findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
    if (edits.size() < 2)
        return;
    auto* list = qobject_cast<QListView*>(edits[1]->focusProxy());
    if (!list)
        return;
    list->setItemDelegate(new TranslatedStyleDelegate(list));
    // The edit above the list only shows the chosen name; the dialog never reads it back.
    QLineEdit* edit = edits[1];
    auto translate = [edit] {
        const QString translated = TranslatedFontStyleName(edit->text());
        if (translated != edit->text())
            edit->setText(translated);
    };
    QObject::connect(edit, &QLineEdit::textChanged, edit, translate);
    translate();
}

std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial, const QString& title)
{
    QFontDialog dialog(parent);
    dialog.setWindowTitle(title);
    TranslateFontStyleNames(dialog);
    // The dialog finds the style by name among the family's; a font without one would be named
    // in the words of Qt's translation, which that list does not hold, and the first style taken.
    QFont shown = initial;
    if (shown.styleName().isEmpty())
        shown.setStyleName(QFontInfo(initial).styleName());
    dialog.setCurrentFont(shown);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}
