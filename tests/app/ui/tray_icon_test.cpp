// The tray icon: click and double-click reporting, the tooltip limit, the menu's lifetime.
#include "app/ui/tray_icon.h"

#include <QGuiApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>

class TrayIconTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(150); }

    void SingleClickIsReportedAfterTheDoubleClickTime()
    {
        TTrayNotifyIcon icon;
        QSignalSpy clicks(&icon, &TTrayNotifyIcon::OnClick);
        QSignalSpy doubles(&icon, &TTrayNotifyIcon::OnDblClick);
        icon.LeftPress();
        QTest::qWait(40);
        QCOMPARE(clicks.count(), 0);
        QTRY_COMPARE(clicks.count(), 1);
        QCOMPARE(doubles.count(), 0);
    }

    void DoubleClickReportsOnlyTheDoubleClick()
    {
        TTrayNotifyIcon icon;
        QSignalSpy clicks(&icon, &TTrayNotifyIcon::OnClick);
        QSignalSpy doubles(&icon, &TTrayNotifyIcon::OnDblClick);
        icon.LeftPress();
        icon.LeftDoubleClick();
        QCOMPARE(doubles.count(), 1);
        QTest::qWait(400);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(doubles.count(), 1);
    }

    void WithNoDoubleClickADoubleClickIsOneClick()
    {
        TTrayNotifyIcon icon;
        icon.SetNoDoubleClick(true);
        QSignalSpy clicks(&icon, &TTrayNotifyIcon::OnClick);
        QSignalSpy doubles(&icon, &TTrayNotifyIcon::OnDblClick);
        icon.LeftPress();
        QTRY_COMPARE_WITH_TIMEOUT(clicks.count(), 1, 100);
        icon.LeftDoubleClick();
        QTest::qWait(300);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(doubles.count(), 0);
    }

    void HintIsCutTo63Characters()
    {
        TTrayNotifyIcon icon;
        const QString seventy = QString(70, QLatin1Char('x'));
        icon.SetHint(seventy);
        QCOMPARE(icon.Hint(), seventy);
        QCOMPARE(icon.SystemIcon().toolTip(), QString(63, QLatin1Char('x')));

        // A character outside the basic plane counts once and is never cut in half.
        const QString clef = QString::fromUcs4(U"\U0001D11E");
        icon.SetHint(QString(62, QLatin1Char('y')) + clef + QStringLiteral("zz"));
        QCOMPARE(icon.SystemIcon().toolTip(), QString(62, QLatin1Char('y')) + clef);
        icon.SetHint(QStringLiteral("Dniarz"));
        QCOMPARE(icon.SystemIcon().toolTip(), QStringLiteral("Dniarz"));
    }

    void HiddenIconKeepsHintAndPictureForWhenItIsShown()
    {
        TTrayNotifyIcon icon;
        icon.SetHint(QStringLiteral("Budzik nieaktywny"));
        QVERIFY(!icon.IconVisible());
        icon.SetIconVisible(true);
        QVERIFY(icon.IconVisible());
        QVERIFY(!icon.SystemIcon().icon().isNull());  // a stock picture when shown before one was set
        QCOMPARE(icon.SystemIcon().toolTip(), QStringLiteral("Budzik nieaktywny"));
    }

    void DestroyedMenuIsForgotten()
    {
        TTrayNotifyIcon icon;
        auto* menu = new QMenu;
        icon.SetPopupMenu(menu);
        QCOMPARE(icon.PopupMenu(), menu);
        QCOMPARE(icon.SystemIcon().contextMenu(), menu);
        delete menu;
        QCOMPARE(icon.PopupMenu(), nullptr);
        QCOMPARE(icon.SystemIcon().contextMenu(), nullptr);
    }
};

QTEST_MAIN(TrayIconTest)
#include "tray_icon_test.moc"
