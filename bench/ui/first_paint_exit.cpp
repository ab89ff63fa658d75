// Linked into a window program for start-up measurements: with BENCH_EXIT_AFTER_PAINT set, the
// program ends as soon as its first window has been painted, and with BENCH_FIRST_PAINT_FILE set
// it writes there what it has used to that paint: "cpu_ms peak_kib", the CPU time of all its
// threads and its peak resident size, taken at the paint itself, so that neither Qt's shutdown
// nor anything after the paint counts. With BENCH_AFTER_PAINT_MS it waits that long after the
// paint and adds a second such line, for the work a window does once it is shown.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

void WriteUsage(const char* file, const char* mode)
{
    if (!file)
        return;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long long us = (static_cast<long long>(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000
                         + usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    const double ms = static_cast<double>(us) / 1000.0;
    if (std::FILE* out = std::fopen(file, mode)) {
        std::fprintf(out, "%.3f %ld\n", ms, usage.ru_maxrss);
        std::fclose(out);
    }
}

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
                QTimer::singleShot(0, qApp, [] {
                    const char* file = std::getenv("BENCH_FIRST_PAINT_FILE");
                    WriteUsage(file, "w");
                    const char* after = std::getenv("BENCH_AFTER_PAINT_MS");
                    if (!after) {
                        QCoreApplication::exit(0);
                        return;
                    }
                    QTimer::singleShot(std::atoi(after), qApp, [file] {
                        WriteUsage(file, "a");
                        QCoreApplication::exit(0);
                    });
                });
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
