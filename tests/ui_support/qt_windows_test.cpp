// Qt's own windows in the program's font, and the font dialog's style names in Polish without
// losing the style the user had.
#include "ui_support/qt_windows.h"

#include "ui_support/qt_language.h"
#include "ui_support/fonts.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QColorDialog>
#include <QDateEdit>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTimer>

class QtWindowsTest : public QObject
{
    Q_OBJECT

    bool m_polish = false;

    // The names the style list shows, and what its edit shows; the size list's length.
    struct Shown
    {
        QStringList styles;
        QString styleEdit;
        int sizes = 0;
    };
    static Shown ShownIn(QFontDialog& dialog)
    {
        Shown shown;
        const QList<QLineEdit*> edits = dialog.findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
        if (edits.size() < 3)
            return shown;
        shown.styleEdit = edits[1]->text();
        auto* list = qobject_cast<QListView*>(edits[1]->focusProxy());
        auto* delegate = list ? qobject_cast<QStyledItemDelegate*>(list->itemDelegate()) : nullptr;
        for (int row = 0; delegate && row < list->model()->rowCount(); ++row)
            shown.styles << delegate->displayText(list->model()->index(row, 0).data(), QLocale());
        // Family, style and size, in the order the dialog makes them.
        const QList<QListView*> lists = dialog.findChildren<QListView*>(Qt::FindDirectChildrenOnly);
        if (lists.size() == 3 && lists[1] == list)
            shown.sizes = lists[2]->model()->rowCount();
        return shown;
    }

private slots:
    void initTestCase() { m_polish = InstallQtPolishTranslation(); }

    // Message boxes, menus and Qt's choosers are windows of their own and do not inherit a
    // window's font; the desktop's default made them about twice the size of the windows' text.
    void QtsOwnWindowsTakeTheWindowFont()
    {
        UseWindowFontInQtsOwnWindows();
        QMessageBox box(QMessageBox::Question, QStringLiteral("Potwierdzenie"), QStringLiteral("Tak czy nie?"));
        QMenu menu;
        QColorDialog colours;
        colours.setOption(QColorDialog::DontUseNativeDialog);
        QFontDialog fonts;
        fonts.setOption(QFontDialog::DontUseNativeDialog);
        QDateEdit date;
        date.setCalendarPopup(true);
        const QList<std::pair<const char*, QWidget*>> windows = {{"message box", &box},
                                                                 {"menu", &menu},
                                                                 {"colours", &colours},
                                                                 {"fonts", &fonts},
                                                                 {"date drop-down", date.calendarWidget()}};
        for (const auto& [what, window] : windows) {
            QCOMPARE(QFontInfo(window->font()).pixelSize(), 11);
            QVERIFY2(QFontInfo(window->font()).family() == QFontInfo(WindowFont()).family(), what);
        }
    }

    void StyleNamesInQtsWords()
    {
        if (!m_polish)
            QSKIP("Qt's Polish translation is not installed (qt6-translations-l10n)");
        QCOMPARE(TranslatedFontStyleName(QStringLiteral("Bold Italic")), QStringLiteral("Pogrubiony Kursywa"));
        QCOMPARE(TranslatedFontStyleName(QStringLiteral("Regular")), QStringLiteral("Normalny"));
        QCOMPARE(TranslatedFontStyleName(QStringLiteral("Condensed Bold")), QStringLiteral("Condensed Pogrubiony"));
        // What Qt has no Polish for stays, whole.
        QCOMPARE(TranslatedFontStyleName(QStringLiteral("Extra Bold")), QStringLiteral("Extra Bold"));
        QCOMPARE(TranslatedFontStyleName(QStringLiteral("Boldface")), QStringLiteral("Boldface"));
        // The names Qt gives a font's style itself, so that the dialog finds the user's style.
        QFont boldItalic(QStringLiteral("Liberation Sans"));
        boldItalic.setBold(true);
        boldItalic.setItalic(true);
        QCOMPARE(TranslatedFontStyleName(QStringLiteral("Bold Italic")), QFontDatabase::styleString(boldItalic));
        QCOMPARE(TranslatedFontStyleName(QStringLiteral("Regular")), QFontDatabase::styleString(QFont()));
    }

    // With Qt's Polish translation the dialog once looked for "Pogrubiony" among English names,
    // found nothing and took the list's first style: OK without a change made plain text bold.
    void FontDialogConfirmedUnchangedKeepsTheStyle()
    {
        if (!m_polish)
            QSKIP("Qt's Polish translation is not installed (qt6-translations-l10n)");
        QVERIFY(QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")));
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                QFont font(QStringLiteral("Liberation Sans"), 12);
                font.setBold(bold);
                font.setItalic(italic);
                Shown shown;
                QTimer::singleShot(0, [&shown] {
                    auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
                    if (!dialog)
                        return;
                    shown = ShownIn(*dialog);
                    QCoreApplication::processEvents();
                    dialog->grab().save(QDir::current().filePath(QStringLiteral("font_dialog.png")), "PNG");
                    dialog->accept();
                });
                const std::optional<QFont> chosen = ChooseFont(nullptr, font, QStringLiteral("Czcionka"));
                const QString what = QStringLiteral("bold %1 italic %2").arg(bold).arg(italic);
                QVERIFY2(chosen.has_value(), qPrintable(what));
                QVERIFY2(chosen->bold() == bold && chosen->italic() == italic, qPrintable(what));
                QCOMPARE(chosen->family(), QStringLiteral("Liberation Sans"));
                QVERIFY2(shown.styles.contains(QStringLiteral("Pogrubiony Kursywa")),
                         qPrintable(shown.styles.join(u'|')));
                QVERIFY2(!shown.styles.contains(QStringLiteral("Bold")), qPrintable(shown.styles.join(u'|')));
                QCOMPARE(shown.styleEdit, QFontDatabase::styleString(font));
                // The names shown are not what the dialog looks sizes up by.
                QVERIFY2(shown.sizes > 5, qPrintable(what));
            }
        }
    }

    // The list is filled again for every family the user picks.
    void StyleNamesStayPolishForAnotherFamily()
    {
        if (!m_polish)
            QSKIP("Qt's Polish translation is not installed (qt6-translations-l10n)");
        QFontDialog dialog;
        dialog.setOption(QFontDialog::DontUseNativeDialog);
        TranslateFontStyleNames(dialog);
        for (const char* family : {"Liberation Serif", "Liberation Mono", "Liberation Sans"}) {
            QFont font(QString::fromLatin1(family), 12);
            font.setStyleName(QStringLiteral("Bold"));
            dialog.setCurrentFont(font);
            const Shown shown = ShownIn(dialog);
            QVERIFY2(shown.styles.contains(QStringLiteral("Pogrubiony")), family);
            QVERIFY2(!shown.styles.contains(QStringLiteral("Bold Italic")), family);
            QCOMPARE(shown.styleEdit, QStringLiteral("Pogrubiony"));
        }
    }
};

QTEST_MAIN(QtWindowsTest)
#include "qt_windows_test.moc"
