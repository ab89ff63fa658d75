// SpeedButton: a flat button with a glyph left of its caption, drawn the same on every desktop
// so that captions fit the window's fixed button widths.
#pragma once

#include <QAbstractButton>
#include <QRect>
#include <QString>

#include "app/ui/icons.h"

class SpeedButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit SpeedButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static constexpr int kGlyphSize = 16;
    static constexpr int kSpacing = 3;
    int ContentWidth() const;
};

// A named speed button at a place, with its caption, hint and glyph.
SpeedButton* FlatButton(QWidget* parent, const char* name, const QString& text, QRect geometry, const QString& hint,
                        Glyph glyph);
