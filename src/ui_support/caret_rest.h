// The text caret stops blinking when nobody has typed for a while, as desktops do by default: a
// calendar left open all day would otherwise wake the processor twice a second for a caret no one
// watches. Typing, a click or a change of focus brings the blinking back.
#pragma once

#include <QObject>
#include <QTimer>

class CaretRest final : public QObject
{
public:
    // Watches the whole application; the blinking stops `restMs` after the last input.
    explicit CaretRest(int restMs = 10000, QObject* parent = nullptr);
    ~CaretRest() override;
    CaretRest(const CaretRest&) = delete;
    CaretRest& operator=(const CaretRest&) = delete;

    bool Resting() const { return m_resting; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rest();
    void Wake();

    QTimer m_rest;
    int m_flashTime;  // the desktop's own, brought back on input
    bool m_resting = false;
};
