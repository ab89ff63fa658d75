// The caret rests after a while without input and blinks again at the next key or click.
#include "ui_support/caret_rest.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>

class CaretRestTest : public QObject
{
    Q_OBJECT

private slots:
    void TheCaretStopsBlinkingWhileNobodyTypesAndStartsAgainOnInput()
    {
        QStyleHints* hints = QGuiApplication::styleHints();
        hints->setCursorFlashTime(1000);
        QLineEdit box;
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        {
            CaretRest rest(50);
            QTRY_VERIFY(rest.Resting());
            QCOMPARE(hints->cursorFlashTime(), 0);
            QTest::keyClick(&box, Qt::Key_A);
            QVERIFY(!rest.Resting());
            QCOMPARE(hints->cursorFlashTime(), 1000);
            QTRY_VERIFY(rest.Resting());
            QTest::mouseClick(&box, Qt::LeftButton);
            QCOMPARE(hints->cursorFlashTime(), 1000);
            QTRY_VERIFY(rest.Resting());
        }
        // Gone, it leaves the desktop's blinking as it found it.
        QCOMPARE(hints->cursorFlashTime(), 1000);
        // A desktop that never blinks stays so.
        hints->setCursorFlashTime(0);
        CaretRest still(1);
        QTest::qWait(20);
        QTest::keyClick(&box, Qt::Key_B);
        QCOMPARE(hints->cursorFlashTime(), 0);
    }
};

QTEST_MAIN(CaretRestTest)
#include "caret_rest_test.moc"
