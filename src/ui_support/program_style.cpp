#include "ui_support/program_style.h"

#include <QGroupBox>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace {

// Fusion draws a group box's frame from a PNG of its own, read by file name without a format;
// Qt then loads every image-format plugin it has to ask each about the file, at the first paint
// of the main window. Read as the PNG it is, the same picture costs nothing of the kind.
class ProgramStyle final : public QProxyStyle
{
public:
    explicit ProgramStyle(QStyle* fusion) : QProxyStyle(fusion) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_FrameGroupBox || !option) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QPixmap& frame = GroupBoxFrame();
        if (frame.isNull()) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        // Below the title or the check box, as Fusion places it.
        constexpr int kTopMargin = 3;
        int top = kTopMargin;
        const auto* box = qobject_cast<const QGroupBox*>(widget);
        if (!box || box->isCheckable() || !box->title().isEmpty())
            top += qMax(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget), option->fontMetrics.height());
        qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6), frame);
    }

private:
    static const QPixmap& GroupBoxFrame()
    {
        static const QPixmap frame = [] {
            QImageReader reader(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"),
                                "png");
            reader.setAutoDetectImageFormat(false);
            return QPixmap::fromImage(reader.read());
        }();
        return frame;
    }
};

}  // namespace

QStyle* CreateProgramStyle()
{
    QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    return fusion ? new ProgramStyle(fusion) : nullptr;
}
