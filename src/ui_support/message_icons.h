// The pictures of the message boxes, drawn for the screen they appear on.
#pragma once

#include <QMessageBox>
#include <QPixmap>

// Qt's style has its message-box pictures at 32 pixels only, which a screen scaled by two shows
// blurred; these are drawn at `pixelRatio` device pixels per logical pixel, 32 logical pixels
// square. A null pixmap for NoIcon.
QPixmap MessageIconPixmap(QMessageBox::Icon icon, qreal pixelRatio);
