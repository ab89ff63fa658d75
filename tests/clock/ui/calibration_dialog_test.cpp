// Tfkor: texts, masks, Start, Stop and Tst with a fake clock and uptime, and that everything fits.
#include "clock/ui/calibration_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "clock/drift.h"
#include "platform/fake/fake_system_clock.h"
#include "ui_support/message_box.h"

using namespace std::chrono;

class CalibrationDialogTest : public QObject
{
    Q_OBJECT

    // 11:59:50 local time on 2024-03-14, one hour east of UTC.
    static constexpr SystemClock::TimePoint kStart = sys_days{year{2024} / 3 / 14} + hours{10} + minutes{59}
                                                     + seconds{50};
    FakeSystemClock m_clock{kStart, hours(1)};
    struct Values
    {
        TDateTime CalibrationStart = 0;
        TDateTime CalibrationStop = 0;
        double TotalCorrection = 0;
        double LastCalibration = 0;
    } m_settings;
    std::unique_ptr<Tfkor> Make()
    {
        return std::make_unique<Tfkor>(CalibrationValues{m_settings.CalibrationStart, m_settings.CalibrationStop,
                                                         m_settings.TotalCorrection, m_settings.LastCalibration},
                                       m_clock, StoreCalibration());
    }

    QStringList LabelTexts(const Tfkor& dialog)
    {
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            texts << label->text();
        return texts;
    }

private slots:
    void init()
    {
        m_settings = Values();
        m_clock = FakeSystemClock(kStart, hours(1));
        AppMessageBox::ResetAnswered();
    }

    void SizeTitleAndTexts()
    {
        auto dialog = Make();
        QCOMPARE(dialog->size(), QSize(531, 481));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Obliczanie korekty dobowej"));
        const QStringList texts = LabelTexts(*dialog);
        for (const char* text :
             {"1. Rozpoczęcie pomiaru", "2. Pomiar", "3. Zakończenie pomiaru",
              "Godzina [hh:mm:ss]:", "Obliczona korekta [s/24h]:",
              "Po rozpoczęciu pomiaru należy odczekać minimum jeden dzień aby zakończyć kalibrację. Zaleca się, aby "
              "pomiar trwał tydzień (lub jego wielokrotność). Umożliwia to uzyskanie odpowiedniej precyzji i "
              "minimalizuje wpływ czynników zewnętrznych (temperatura wewnątrz komputera, odmienny sposób zasilania) "
              "na zegar komputera.\nUWAGA! Podczas kalibracji nie wolno zmieniać czasu systemowego!"})
            QVERIFY2(texts.contains(QString::fromUtf8(text)), text);
        QCOMPARE(texts.count(QStringLiteral("Godzina [hh:mm:ss]:")), 2);
        const QString stop = texts.filter(QStringLiteral("przycisk Stop")).value(0);
        QVERIFY(stop.endsWith(QStringLiteral("Przycisk Stop staje się nieaktywny, jeśli od uruchomiania upłynęła "
                                             "ponad jedna godzina, nie wykonano startu lub pomiar był zakończony.")));
        QCOMPARE(stop.count(QLatin1Char('\n')), 2);
        QCOMPARE(dialog->SpeedButton2->text(), QStringLiteral("Start"));
        QCOMPARE(dialog->SpeedButton1->text(), QStringLiteral("Stop"));
        QCOMPARE(dialog->SpeedButton3->text(), QStringLiteral("Tst"));
        QCOMPARE(dialog->BitBtn1->text(), QStringLiteral("Przypisz korektę"));
        QCOMPARE(dialog->BitBtn2->text(), QStringLiteral("Zamknij"));
        QVERIFY(dialog->SpeedButton2->font().bold());
        QVERIFY(dialog->Label12->font().bold());
        QCOMPARE(dialog->Label12->text(), QStringLiteral("0.000000"));
    }

    void MaskedEditsGiveBlanksUntilFilled()
    {
        auto dialog = Make();
        for (QLineEdit* edit : {dialog->estart, dialog->estop}) {
            QCOMPARE(edit->inputMask(), QStringLiteral("00:00:00;_"));
            QCOMPARE(edit->displayText(), QStringLiteral("__:__:__"));
            QCOMPARE(Tfkor::HmsText(edit), std::string("  :  :  "));
        }
        QTest::keyClicks(dialog->estart, QStringLiteral("1234"));
        QCOMPARE(Tfkor::HmsText(dialog->estart), std::string("12:34:  "));
        QTest::keyClicks(dialog->estart, QStringLiteral("5x6"));
        QCOMPARE(Tfkor::HmsText(dialog->estart), std::string("12:34:56"));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(QApplication::focusWidget(), dialog->estart);
    }

    void StartSetsTheClockAndShowsTheStart()
    {
        auto dialog = Make();
        QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);  // nothing entered: nothing happens
        QVERIFY(m_clock.Shifts().empty());
        QTest::keyClicks(dialog->estart, QStringLiteral("120000"));
        QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
        QCOMPARE(m_clock.Shifts().size(), std::size_t(1));
        QCOMPARE(dialog->Label9->text(), QStringLiteral("2024.03.14  12:00:00"));
        QCOMPARE(dialog->Label10->text(), QStringLiteral("  (0 dni 0 h)"));
        // Stop keeps the state it had when the dialog opened.
        QVERIFY(!dialog->SpeedButton1->isEnabled());
    }

    void StopOnlyInTheFirstHourDuringACalibration()
    {
        m_settings.CalibrationStart = EncodeDate(2024, 3, 7) + EncodeTime(11, 0, 0);
        m_clock.SetUptime(minutes(61));
        QVERIFY(!Make()->SpeedButton1->isEnabled());
        m_clock.SetUptime(minutes(30));
        auto dialog = Make();
        QVERIFY(dialog->SpeedButton1->isEnabled());
        QCOMPARE(dialog->Label10->text(), QStringLiteral("  (7 dni 0 h)"));

        // Tst appends what Stop would compute, once per press, and changes nothing.
        QTest::keyClicks(dialog->estop, QStringLiteral("120010"));
        QTest::mouseClick(dialog->SpeedButton3, Qt::LeftButton);
        QTest::mouseClick(dialog->SpeedButton3, Qt::LeftButton);
        const QString once = FormatCorrection(20 / (7 + 1.0 / 24 + 10.0 / 86400)).c_str();
        QCOMPARE(dialog->Label10->text(), QStringLiteral("  (7 dni 0 h)") + once + once);
        QVERIFY(m_clock.Shifts().empty());
        // Start without a time does nothing at all: what Tst showed stays.
        QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
        QCOMPARE(dialog->Label10->text(), QStringLiteral("  (7 dni 0 h)") + once + once);

        QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
        QCOMPARE(m_clock.Shifts().size(), std::size_t(1));
        QCOMPARE(dialog->Label10->text(), QStringLiteral("2024.03.14  12:00:10  (7 dni 1 h)"));
        QCOMPARE(dialog->Label12->text(), once);
    }

    void ARefusedClockChangeIsToldAndChangesNothing()
    {
        m_clock.SetMaySet(false, ClockChangeError::Refused);
        auto dialog = Make();
        QTest::keyClicks(dialog->estart, QStringLiteral("120000"));
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("Komunikat"));
        QVERIFY(AppMessageBox::LastAnswered()->text.contains(QStringLiteral("system odmówił zmiany czasu")));
        QCOMPARE(dialog->Label9->text(), QString());
        QCOMPARE(m_settings.CalibrationStart, 0.0);
    }

    void CloseButtonsGiveTheirResults()
    {
        auto dialog = Make();
        QTest::mouseClick(dialog->BitBtn1, Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        dialog = Make();
        QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }

    // Fixed sizes only work while every text fits its place; the picture is for a person to look at.
    void EveryCaptionFitsAndThePictureIsSaved()
    {
        m_settings.CalibrationStart = EncodeDate(2024, 3, 7) + EncodeTime(12, 0, 0);
        m_settings.LastCalibration = -12.345678;
        auto dialog = Make();
        QTest::keyClicks(dialog->estop, QStringLiteral("115950"));
        QTest::mouseClick(dialog->SpeedButton3, Qt::LeftButton);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            const QString name = label->text().left(30);
            if (label->wordWrap())
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(name));
            else
                QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
        }
        // The style's preferred width of a push button has a floor well above a short caption, so the
        // caption itself is measured: text, icon and the frame's margins on either side.
        for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
            const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            const int needed = button->fontMetrics().horizontalAdvance(button->text()) + icon + 2 * 8;
            QVERIFY2(needed <= button->width(), qPrintable(button->text()));
        }
        for (const QWidget* child : dialog->findChildren<QWidget*>())
            QVERIFY2(dialog->rect().contains(QRect(child->mapTo(dialog.get(), QPoint(0, 0)), child->size())),
                     qPrintable(child->objectName()));
        QVERIFY(dialog->grab().save(QStringLiteral("tfkor.png")));
    }
};

QTEST_MAIN(CalibrationDialogTest)
#include "calibration_dialog_test.moc"
