// A label that shows an address and reports a click on it, underlined while the pointer is over it
// or while it has the keyboard's focus, where Enter or Space is the click.
#pragma once

#include <QLabel>

class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    LinkLabel(const QString& address, QWidget* parent);

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetUnderlined(bool underlined);
};
