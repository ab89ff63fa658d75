// The drawn pictures on scaled screens: each scale gets its own drawing, never a stretched one,
// and the application icon is whole at the sizes the desktop's menus use.
#include "app/ui/icons.h"

#include <QApplication>
#include <QImage>
#include <QTest>

class IconsTest : public QObject
{
    Q_OBJECT

private slots:
    void GlyphsAreDrawnAgainForEveryScale()
    {
        for (Glyph glyph : {Glyph::Today, Glyph::Contacts, Glyph::Config, Glyph::Info, Glyph::Save, Glyph::Cancel,
                            Glyph::Erase, Glyph::Sync}) {
            const QIcon icon = GlyphIcon(glyph);
            for (qreal ratio : {1.0, 1.5, 2.0, 3.0}) {
                const int pixels = static_cast<int>(16 * ratio);
                for (bool enabled : {true, false}) {
                    const QPixmap shown = icon.pixmap(QSize(16, 16), ratio, enabled ? QIcon::Normal : QIcon::Disabled);
                    QCOMPARE(shown.size(), QSize(pixels, pixels));
                    QVERIFY2(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                 == GlyphPixmap(glyph, enabled, pixels)
                                        .toImage()
                                        .convertToFormat(QImage::Format_ARGB32_Premultiplied),
                             qPrintable(QStringLiteral("glyph %1 at %2x").arg(int(glyph)).arg(ratio)));
                }
            }
        }
    }

    void InfoPictureHasTheScreensPixels()
    {
        const QPixmap picture = InfoPicture(56, 2.0);
        QCOMPARE(picture.size(), QSize(112, 112));
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(56, 56));
        QCOMPARE(InfoPicture(56).size(), QSize(56, 56));
    }

    void AppIconHeadingIsRedAcrossItsWholeHeight()
    {
        // The page's red heading runs from 2.2 to 5.8 of the 16 units; its middle column holds no
        // binding ring. Anything but red there is a hole in the drawing, plain to see in a menu.
        const QIcon icon = AppIcon();
        // The desktop is told the sizes its menus and panels use, and gets each drawn for it.
        QCOMPARE(icon.availableSizes().size(), 8);
        QCOMPARE(icon.pixmap(QSize(22, 22)).toImage(), AppIconPixmap(22).toImage());
        for (int size : {32, 64, 128, 256}) {
            const QImage image = icon.pixmap(QSize(size, size)).toImage();
            const int x = size / 2;
            for (double unit = 3.2; unit <= 5.4; unit += 0.2) {
                const QColor colour = image.pixelColor(x, static_cast<int>(unit * size / 16.0));
                QVERIFY2(colour.red() > 180 && colour.green() < 90 && colour.blue() < 90,
                         qPrintable(QStringLiteral("%1 px at %2 units: %3").arg(size).arg(unit).arg(colour.name())));
            }
        }
    }
};

QTEST_MAIN(IconsTest)
#include "icons_test.moc"
