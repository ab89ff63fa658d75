// Flat glyph buttons: no frame until the pointer is over them, sunk while pressed.
#include "app/ui/speed_button.h"

#include "ui_support/named.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

SpeedButton::SpeedButton(QWidget* parent) : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    // Reached with Tab and pressed with Space; a click leaves the focus where it was, so that
    // "Zachowaj" does not take it from the note being written.
    setFocusPolicy(Qt::TabFocus);
}

int SpeedButton::ContentWidth() const
{
    const int glyph = icon().isNull() ? 0 : kGlyphSize;
    if (text().isEmpty())
        return glyph;
    return glyph + (glyph ? kSpacing : 0) + fontMetrics().horizontalAdvance(text());
}

QSize SpeedButton::sizeHint() const
{
    // The frame is one pixel on each side; the glyph and caption need no more room than that.
    return {ContentWidth() + 2, 22};
}

void SpeedButton::enterEvent(QEnterEvent* event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void SpeedButton::leaveEvent(QEvent* event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

void SpeedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool down = isDown() || isChecked();
    if (isEnabled() && (down || underMouse()))
        qDrawShadePanel(&p, rect(), palette(), down, 1);
    const int shift = down ? 1 : 0;
    int x = (width() - ContentWidth()) / 2 + shift;
    if (!icon().isNull()) {
        const QPixmap glyph = icon().pixmap(QSize(kGlyphSize, kGlyphSize), devicePixelRatio(),
                                            isEnabled() ? QIcon::Normal : QIcon::Disabled);
        p.drawPixmap(x, (height() - kGlyphSize) / 2 + shift, glyph);
        x += kGlyphSize + kSpacing;
    }
    if (!text().isEmpty()) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.drawText(QRect(x, shift, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

SpeedButton* FlatButton(QWidget* parent, const char* name, const QString& text, QRect geometry, const QString& hint,
                        Glyph glyph)
{
    auto* button = NamedAt(new SpeedButton(parent), name, geometry);
    button->setText(text);
    button->setToolTip(hint);
    button->setIcon(GlyphIcon(glyph));
    return button;
}
