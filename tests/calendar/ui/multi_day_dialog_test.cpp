// The multi-day note dialog: its texts, its question, typing into it, and its picture.
#include "calendar/ui/multi_day_dialog.h"

#include "calendar/ui/storable_text.h"
#include "ui_support/message_box.h"

#include "../../group_box_places.h"

#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class MultiDayDialogTest : public QObject
{
    Q_OBJECT

    const TDateTime m_anchor = EncodeDate(2004, 1, 1);
    const TDateTime m_clicked = EncodeDate(2004, 2, 1);

private slots:
    void init() { AppMessageBox::ResetAnswered(); }

    void ShowsTheRangeAndStartsWithAdding()
    {
        Twiele dialog(m_anchor, m_clicked);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Przypisanie notatki do wielu dni"));
        QCOMPARE(dialog.lwybor->text(), QStringLiteral("2004.01.01 - 2004.02.01"));
        QVERIFY(dialog.RadioAdd->isChecked());
        QVERIFY(dialog.Memo->toPlainText().isEmpty());
        QCOMPARE(dialog.size(), QSize(329, 311));
    }

    // Line breaks once made the text change handler call itself until the stack ran out.
    void TypingLinesAndUnstorableCharacters()
    {
        Twiele dialog(m_anchor, m_clicked);
        QTest::keyClicks(dialog.Memo, QStringLiteral("a"));
        QTest::keyClick(dialog.Memo, Qt::Key_Return);
        QTest::keyClicks(dialog.Memo, QStringLiteral("b"));
        QCOMPARE(dialog.Memo->toPlainText(), QStringLiteral("a\nb"));
        auto* notice = dialog.findChild<UnstorableNotice*>();
        QVERIFY(notice);
        QVERIFY(notice->isHidden());
        dialog.Memo->insertPlainText(QStringLiteral("😀c"));
        QCOMPARE(dialog.Memo->toPlainText(), QStringLiteral("a\nb?c"));
        QCOMPARE(dialog.Memo->textCursor().position(), 5);
        // The user is told, under the editor and before anything is saved, what became "?".
        QVERIFY(!notice->isHidden());
        QCOMPARE(notice->Dropped(), std::vector<std::string>{"😀"});
        QVERIFY(notice->text().endsWith(QStringLiteral(": 😀")));
        QVERIFY(notice->geometry().top() >= dialog.Memo->geometry().bottom());
    }

    // A notice that names a character once, however often it is pasted, and fits its place.
    void NoticeNamesEachLostCharacterOnce()
    {
        Twiele dialog(m_anchor, m_clicked);
        dialog.show();
        auto* notice = dialog.findChild<UnstorableNotice*>();
        for (const char* paste : {"☺ ok ☺", "zażółć → ☺ 😀", "Ø", "ąę"}) {
            dialog.Memo->insertPlainText(QString::fromUtf8(paste));
        }
        QCOMPARE(dialog.Memo->toPlainText(), QStringLiteral("? ok ?zażółć ? ? ??ąę"));
        QCOMPARE(notice->Dropped(), (std::vector<std::string>{"☺", "→", "😀", "Ø"}));
        QCOMPARE(notice->FullText(), QStringLiteral("Notatka nie zachowa znaków (są jako „?”): ☺ → 😀 Ø"));
        QCOMPARE(notice->toolTip(), notice->FullText());
        QVERIFY(notice->fontMetrics().horizontalAdvance(notice->text()) <= notice->width());
        // More than fits: the label ends in an ellipsis and the tooltip keeps the whole list.
        dialog.Memo->insertPlainText(QStringLiteral("ℵℶℷℸ∀∂∃∄∅∆∇∈∉∊∋∌∍∎∏∐∑−∓∔∕∖∗∘∙√∛∜∝∞∟∠∡∢∣∤∥∦∧∨∩∪∫∬∭∮∯∰∱∲∳"));
        QVERIFY(notice->fontMetrics().horizontalAdvance(notice->text()) <= notice->width());
        QVERIFY(notice->text().endsWith(QChar(0x2026)));
        QVERIFY(notice->toolTip().endsWith(QStringLiteral("∳")));
        const QString file = QDir::current().filePath(QStringLiteral("multi_day_dialog_unstorable.png"));
        QVERIFY(dialog.grab().save(file, "PNG"));
    }

    void NoKeepsTheDialogOpenAndYesAccepts()
    {
        Twiele dialog(m_anchor, m_clicked);
        dialog.RadioAssign->setChecked(true);
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OK"));
        AppMessageBox::SetNextAnswer(QMessageBox::No);
        ok->click();
        QCOMPARE(dialog.result(), 0);
        QVERIFY(AppMessageBox::LastAnswered().has_value());
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("Potwierdzenie"));
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Czy rzeczywiście chcesz usunąć notatki dla wszystkich dni z przedziału: "
                                "2004.01.01 - 2004.02.01"));
        AppMessageBox::SetNextAnswer(QMessageBox::Yes);
        ok->click();
        QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
        QCOMPARE(dialog.Note().operation, RangeOperation::Assign);
    }

    // Fixed places only work while every caption really fits its control in the dialog's font.
    void EveryCaptionFitsItsControl()
    {
        Twiele dialog(m_anchor, m_clicked);
        QCOMPARE(dialog.font().pixelSize(), 11);
        QCOMPARE(QFontInfo(dialog.lwybor->font()).family(), QStringLiteral("Liberation Sans"));
        auto* group = dialog.findChild<QGroupBox*>(QStringLiteral("RodzajOperacji"));
        QVERIFY(group);

        const auto* caption = dialog.findChild<QLabel*>(QStringLiteral("LabelWybrane"));
        QVERIFY(caption);
        QVERIFY(caption->geometry().right() < dialog.lwybor->geometry().left());
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
            QVERIFY2(dialog.rect().contains(label->geometry()), qPrintable(label->text()));
        }

        const auto [title, inside] = PlacesOf(group);
        QVERIFY(title.width() >= group->fontMetrics().horizontalAdvance(group->title()));
        for (const QRadioButton* radio : {dialog.RadioAdd, dialog.RadioAssign}) {
            QVERIFY2(radio->sizeHint().width() <= radio->width(), qPrintable(radio->text()));
            QVERIFY2(inside.contains(radio->geometry()), qPrintable(radio->text()));
            QVERIFY2(!title.intersects(radio->geometry()), qPrintable(radio->text()));
        }
        QVERIFY(!dialog.RadioAdd->geometry().intersects(dialog.RadioAssign->geometry()));

        for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
            const int text = button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(text + 12 <= button->width(), qPrintable(button->text()));
        }
    }

    // The picture of the dialog as a Shift-click opens it, for looking at.
    void DrawsItsPicture()
    {
        Twiele dialog(m_anchor, m_clicked);
        dialog.Memo->insertPlainText(QStringLiteral("Urlop w górach"));
        const QString file = QDir::current().filePath(QStringLiteral("multi_day_dialog.png"));
        QVERIFY(dialog.grab().save(file, "PNG"));
    }
};

QTEST_MAIN(MultiDayDialogTest)
#include "multi_day_dialog_test.moc"
