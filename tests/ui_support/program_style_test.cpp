// The program's style draws exactly what Fusion draws, group boxes included, without making Qt
// load its image-format plugins for them.
#include "ui_support/program_style.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <iterator>
#include <memory>

class ProgramStyleTest : public QObject
{
    Q_OBJECT

    static QImage Draw(QStyle* style, const QString& title, bool checkable)
    {
        QGroupBox box(title);
        box.setStyle(style);
        box.setCheckable(checkable);
        box.resize(160, 90);
        return box.grab().toImage();
    }

private slots:
    void GroupBoxesLookAsInFusionAndNoImagePluginIsLoaded()
    {
        const std::unique_ptr<QStyle> ours(CreateProgramStyle());
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        QVERIFY(ours && fusion);
        struct Box
        {
            QString title;
            bool checkable;
        };
        const Box boxes[] = {{{}, false}, {QStringLiteral("Typ notatki"), false}, {QStringLiteral("Zaznacz"), true}};
        QList<QImage> drawn;
        for (const Box& box : boxes)
            drawn.append(Draw(ours.get(), box.title, box.checkable));
#ifdef __linux__
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QVERIFY(!maps.readAll().contains("imageformats"));
#endif
        for (std::size_t i = 0; i < std::size(boxes); ++i)
            QCOMPARE(drawn[static_cast<int>(i)], Draw(fusion.get(), boxes[i].title, boxes[i].checkable));
    }
};

QTEST_MAIN(ProgramStyleTest)
#include "program_style_test.moc"
