// Build-time tool: writes the application icon the window draws as the PNG files of the desktop's
// icon theme and as one SVG file, so the menu shows the very picture the window and tray show.
//   dniarz_icon_export OUTDIR SIZE...   -> OUTDIR/<SIZE>x<SIZE>/apps/dniarz.png, OUTDIR/scalable/apps/dniarz.svg
#include "app/ui/icons.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv)
{
    // No display is needed to paint into files.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::cerr << "usage: dniarz_icon_export OUTDIR SIZE...\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        if (size <= 0 || !out.mkpath(dir) || !AppIconPixmap(size).save(out.filePath(dir + "/dniarz.png"), "PNG")) {
            std::cerr << "dniarz_icon_export: cannot write the " << argv[i] << " pixel icon\n";
            return 1;
        }
    }

    // The drawing is made on a 16-unit square; 256 units keep the coordinates in whole numbers
    // mostly, and the view box lets the desktop scale it to any size.
    constexpr int kUnits = 256;
    if (!out.mkpath(QStringLiteral("scalable/apps")))
        return 1;
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(kUnits, kUnits));
    svg.setViewBox(QRect(0, 0, kUnits, kUnits));
    svg.setTitle(QStringLiteral("Dniarz"));
    svg.setDescription(QStringLiteral("Kartka kalendarza"));
    PaintAppIcon(svg, kUnits);
    // The generator gives the size in millimetres of its assumed screen; an icon is sized in pixels.
    QString text = QString::fromUtf8(buffer.data());
    text.replace(QRegularExpression(QStringLiteral("<svg width=\"[0-9.]+mm\" height=\"[0-9.]+mm\"")),
                 QStringLiteral("<svg width=\"%1\" height=\"%1\"").arg(kUnits));
    QFile file(out.filePath(QStringLiteral("scalable/apps/dniarz.svg")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0) {
        std::cerr << "dniarz_icon_export: cannot write the SVG icon\n";
        return 1;
    }
    return 0;
}
