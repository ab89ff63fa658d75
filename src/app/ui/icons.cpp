// Every picture is painted on a 16-unit (32 for the information picture) square and scaled, so
// one drawing serves every size and the two states of a glyph can never drift apart.
#include "app/ui/icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <utility>

namespace {

// An icon that draws each size when it is first asked for, in device pixels, so that it is sharp
// at every scale; a start draws only what the screen shows, not every size a screen might want.
class DrawnIconEngine final : public QIconEngine
{
public:
    using Draw = std::function<QPixmap(int side, bool enabled)>;
    DrawnIconEngine(Draw draw, QList<int> sizes) : m_draw(std::move(draw)), m_sizes(std::move(sizes)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return {};
        QPixmap& drawn = m_drawn[{side, mode != QIcon::Disabled}];
        if (drawn.isNull())
            drawn = m_draw(side, mode != QIcon::Disabled);
        return drawn;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : m_sizes)
            sizes.append(QSize(side, side));
        return sizes;
    }
    QIconEngine* clone() const override { return new DrawnIconEngine(m_draw, m_sizes); }
    QString key() const override { return QStringLiteral("dniarz-drawn"); }

private:
    Draw m_draw;
    QList<int> m_sizes;  // what a desktop asking for the icon's sizes (window and tray) is told
    std::map<std::pair<int, bool>, QPixmap> m_drawn;
};

// The disabled state shows the same drawing in greys of the colours' own lightness, lifted so
// that it reads as inactive on a grey button.
QColor Tone(const QColor& colour, bool enabled)
{
    if (enabled)
        return colour;
    const int grey = 130 + qGray(colour.rgb()) * 100 / 255;
    return QColor(grey, grey, grey, colour.alpha());
}

struct Canvas
{
    QPixmap pixmap;
    QPainter painter;
    bool enabled;

    Canvas(int size, double units, bool isEnabled) : pixmap(size, size), enabled(isEnabled)
    {
        pixmap.fill(Qt::transparent);
        Begin(pixmap, size, units);
    }
    // Straight onto another device, such as a vector file; Finish() then hands back nothing.
    Canvas(QPaintDevice& device, int size, double units) : enabled(true) { Begin(device, size, units); }
    void Begin(QPaintDevice& device, int size, double units)
    {
        painter.begin(&device);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / units, size / units);
    }
    QColor C(const QColor& colour) const { return Tone(colour, enabled); }
    QPixmap Finish()
    {
        painter.end();
        return pixmap;
    }
};

const QColor kInk(0x44, 0x4a, 0x55);
const QColor kRed(0xd0, 0x34, 0x2c);
const QColor kBlue(0x2a, 0x6f, 0xd0);
const QColor kGreen(0x2a, 0x9d, 0x3a);
const QColor kGridGrey(0x9a, 0xa0, 0xaa);
const QColor kSun(0xf5, 0xb8, 0x1c);

// A page of a wall calendar: red heading with two binding rings, a grid of days, one marked.
void PaintCalendarPage(Canvas& c, const QRectF& r)
{
    QPainter& p = c.painter;
    const double u = r.width() / 13.0;  // the page is designed 13 units wide
    p.setPen(QPen(c.C(kInk), 0.9 * u));
    p.setBrush(c.C(Qt::white));
    p.drawRoundedRect(r, 1.2 * u, 1.2 * u);
    const QRectF heading(r.left(), r.top(), r.width(), 3.6 * u);
    // Rounded at the top like the page, square where it meets the grid. Drawn as one outline:
    // the union of a rounded and a square rectangle came out ragged at large sizes.
    const double radius = 1.2 * u;
    QPainterPath headingPath(heading.bottomLeft());
    headingPath.lineTo(heading.left(), heading.top() + radius);
    headingPath.arcTo(QRectF(heading.left(), heading.top(), 2 * radius, 2 * radius), 180, -90);
    headingPath.lineTo(heading.right() - radius, heading.top());
    headingPath.arcTo(QRectF(heading.right() - 2 * radius, heading.top(), 2 * radius, 2 * radius), 90, -90);
    headingPath.lineTo(heading.bottomRight());
    headingPath.closeSubpath();
    p.fillPath(headingPath, c.C(kRed));
    p.setPen(QPen(c.C(kInk), 0.9 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 1.2 * u, 1.2 * u);
    p.setPen(QPen(c.C(kInk), 1.1 * u, Qt::SolidLine, Qt::RoundCap));
    for (double x : {3.5, 9.5})
        p.drawLine(QPointF(r.left() + x * u, r.top() - 1.3 * u), QPointF(r.left() + x * u, r.top() + 1.4 * u));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            const bool marked = row == 1 && col == 2;
            p.setBrush(c.C(marked ? kRed : kGridGrey));
            p.drawRect(QRectF(r.left() + (1.7 + col * 2.6) * u, r.top() + (5.0 + row * 2.3) * u, 1.7 * u, 1.5 * u));
        }
    }
}

// An arc of a circle ending in an arrow head; angles in degrees, counter-clockwise from 3 o'clock
// as Qt counts them.
void PaintArrowArc(Canvas& c, const QColor& colour, QPointF centre, double radius, double startDeg, double spanDeg,
                   double width)
{
    QPainter& p = c.painter;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.setPen(QPen(c.C(colour), width, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, static_cast<int>(startDeg * 16), static_cast<int>(spanDeg * 16));
    const double a = (startDeg + spanDeg) * std::numbers::pi / 180.0;
    const QPointF end(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a));
    const double sense = spanDeg >= 0 ? 1.0 : -1.0;
    const QPointF ahead(-std::sin(a) * sense, -std::cos(a) * sense);
    const QPointF outward(std::cos(a), -std::sin(a));
    const double h = width * 1.3;
    const QPointF head[3] = {end + ahead * h * 1.2, end + outward * h, end - outward * h};
    p.setPen(Qt::NoPen);
    p.setBrush(c.C(colour));
    p.drawPolygon(head, 3);
}

void PaintGear(Canvas& c)
{
    QPainter& p = c.painter;
    const QColor steel(0x5d, 0x6b, 0x7d);
    p.save();
    p.translate(8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(c.C(steel));
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-1.3, -7.3, 2.6, 3.2));
        p.rotate(45);
    }
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), 5.2, 5.2);
    ring.addEllipse(QPointF(0, 0), 2.1, 2.1);
    p.drawPath(ring);
    p.restore();
}

void PaintContacts(Canvas& c)
{
    QPainter& p = c.painter;
    p.setPen(QPen(c.C(kInk), 0.9));
    p.setBrush(c.C(kBlue));
    p.drawRoundedRect(QRectF(3.0, 1.5, 10.5, 13.0), 1.0, 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(c.C(Qt::white));
    p.drawEllipse(QPointF(8.6, 6.0), 2.0, 2.0);
    p.drawChord(QRectF(5.0, 8.6, 7.2, 6.4), 0, 180 * 16);
    p.setPen(QPen(c.C(kInk), 1.0, Qt::SolidLine, Qt::RoundCap));
    for (double y : {4.0, 7.5, 11.0})
        p.drawLine(QPointF(2.0, y), QPointF(4.2, y));
}

void PaintInfo(Canvas& c)
{
    QPainter& p = c.painter;
    p.setPen(Qt::NoPen);
    p.setBrush(c.C(kBlue));
    p.drawEllipse(QPointF(8, 8), 7.2, 7.2);
    p.setBrush(c.C(Qt::white));
    p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
    p.drawRoundedRect(QRectF(6.9, 6.8, 2.2, 6.2), 0.6, 0.6);
}

void PaintErase(Canvas& c)
{
    QPainter& p = c.painter;
    p.save();
    p.translate(8, 8.5);
    p.rotate(-35);
    const QRectF body(-6.0, -2.8, 12.0, 5.6);
    p.setPen(Qt::NoPen);
    p.setBrush(c.C(QColor(0xe0, 0x5a, 0x78)));
    p.drawRoundedRect(body, 1.0, 1.0);
    p.setBrush(c.C(Qt::white));
    p.drawRect(QRectF(-6.0 + 5.5, -2.8, 6.5, 5.6));
    p.setPen(QPen(c.C(kInk), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, 1.0, 1.0);
    p.drawLine(QPointF(-0.5, -2.8), QPointF(-0.5, 2.8));
    p.restore();
    p.setPen(QPen(c.C(kInk), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2.0, 14.6), QPointF(14.0, 14.6));
}

}  // namespace

QPixmap AppIconPixmap(int size)
{
    Canvas c(size, 16.0, true);
    PaintCalendarPage(c, QRectF(1.5, 2.2, 13.0, 12.5));
    return c.Finish();
}

void PaintAppIcon(QPaintDevice& device, int size)
{
    Canvas c(device, size, 16.0);
    PaintCalendarPage(c, QRectF(1.5, 2.2, 13.0, 12.5));
    c.Finish();
}

QIcon AppIcon()
{
    return QIcon(
        new DrawnIconEngine([](int side, bool) { return AppIconPixmap(side); }, {16, 22, 24, 32, 48, 64, 128, 256}));
}

QPixmap GlyphPixmap(Glyph glyph, bool enabled, int size)
{
    Canvas c(size, 16.0, enabled);
    switch (glyph) {
    case Glyph::Today:
        PaintCalendarPage(c, QRectF(1.5, 2.2, 13.0, 12.5));
        break;
    case Glyph::Contacts:
        PaintContacts(c);
        break;
    case Glyph::Config:
        PaintGear(c);
        break;
    case Glyph::Info:
        PaintInfo(c);
        break;
    case Glyph::Save: {
        const QPointF tick[3] = {{2.8, 8.6}, {6.4, 12.2}, {13.4, 4.0}};
        c.painter.setPen(QPen(c.C(kGreen), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        c.painter.drawPolyline(tick, 3);
        break;
    }
    case Glyph::Cancel:
        // Back the way it came: an arrow turning round to the left.
        PaintArrowArc(c, kBlue, QPointF(7.5, 9.0), 4.8, -90, 250, 1.9);
        break;
    case Glyph::Erase:
        PaintErase(c);
        break;
    case Glyph::Sync:
        PaintArrowArc(c, kGreen, QPointF(8, 8), 5.4, 20, 140, 1.8);
        PaintArrowArc(c, kGreen, QPointF(8, 8), 5.4, 200, 140, 1.8);
        break;
    }
    return c.Finish();
}

QIcon GlyphIcon(Glyph glyph)
{
    // Drawn for the scale of the screen it shows on, so a glyph stays as sharp as the text beside it.
    return QIcon(new DrawnIconEngine([glyph](int side, bool enabled) { return GlyphPixmap(glyph, enabled, side); },
                                     {16, 32, 48}));
}

QPixmap InfoPicture(int size, qreal pixelRatio)
{
    const int pixels = static_cast<int>(std::lround(size * pixelRatio));
    Canvas c(pixels, 32.0, true);
    QPainter& p = c.painter;
    const QPointF sunCentre(23.5, 9.0);
    p.setPen(QPen(kSun, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12; ++i) {
        const double a = i * std::numbers::pi / 6.0;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawLine(sunCentre + dir * 6.3, sunCentre + dir * 8.3);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    p.drawEllipse(sunCentre, 5.0, 5.0);
    PaintCalendarPage(c, QRectF(2.0, 10.0, 19.5, 19.0));
    QPainterPath moon;
    moon.addEllipse(QPointF(27.0, 24.0), 4.2, 4.2);
    QPainterPath shadow;
    shadow.addEllipse(QPointF(29.2, 22.6), 3.8, 3.8);
    p.setBrush(QColor(0x8a, 0x9b, 0xb8));
    p.drawPath(moon.subtracted(shadow));
    QPixmap picture = c.Finish();
    picture.setDevicePixelRatio(static_cast<qreal>(pixels) / size);
    return picture;
}
