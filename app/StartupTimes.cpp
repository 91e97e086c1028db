#include "app/StartupTimes.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace app {

StartupTimes::StartupTimes()
    : m_enabled(!qEnvironmentVariableIsEmpty("SOUNDGEN_STARTUP_TIMES")), m_start(NowNs())
{
}

int64_t StartupTimes::NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void StartupTimes::Mark(const char *phase)
{
    if (m_enabled)
        m_phases.push_back({phase, NowNs()});
}

void StartupTimes::WatchFirstPaint(QWidget *form)
{
    if (m_enabled && form)
        form->installEventFilter(this);
}

bool StartupTimes::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && !m_reported) {
        m_reported = true;
        watched->removeEventFilter(this);
        // The paint and the flush to the screen happen before the loop runs timers again.
        QTimer::singleShot(0, this, [this] {
            Mark("paint");
            Report();
        });
    }
    return QObject::eventFilter(watched, event);
}

void StartupTimes::Report()
{
    QByteArray line = "startup: main=" + QByteArray::number(qlonglong(m_start));
    int64_t from = m_start;
    for (const Phase &phase : m_phases) {
        line +=
            ' ' + QByteArray(phase.name) + '=' + QByteArray::number(double(phase.end - from) / 1e6, 'f', 2);
        from = phase.end;
    }
    line += " total=" + QByteArray::number(double(from - m_start) / 1e6, 'f', 2);
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

} // namespace app
