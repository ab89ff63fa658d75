// Linked into a window program for start-up measurements: with BENCH_EXIT_AFTER_PAINT set, the
// program ends the normal way as soon as its first window has been painted, so that its CPU time
// is that of getting a window onto the screen.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace {

class ExitAfterFirstPaint final : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow()) {
                m_done = true;
                // After this paint has reached the screen.
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

void Install()
{
    if (std::getenv("BENCH_EXIT_AFTER_PAINT"))
        qApp->installEventFilter(new ExitAfterFirstPaint);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Install)
