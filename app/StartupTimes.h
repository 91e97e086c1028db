#pragma once

#include <QObject>

#include <cstdint>
#include <vector>

class QWidget;

namespace app {

// With SOUNDGEN_STARTUP_TIMES set, the program notes when each phase of its start ends and,
// once the main window has painted for the first time, prints one line to standard error:
//   startup: main=<ns> toolkit=<ms> fonts=<ms> layouts=<ms> paint=<ms> total=<ms>
// `main` is the monotonic clock at main's entry, so a driver that noted when it started the
// process can add the time spent loading the program. Without the variable nothing is noted.
class StartupTimes : public QObject
{
public:
    StartupTimes();

    bool Enabled() const { return m_enabled; }
    // Ends the phase with this name now.
    void Mark(const char *phase);
    // Ends the "paint" phase once `form` has painted and the event loop is back, then prints.
    void WatchFirstPaint(QWidget *form);

    static int64_t NowNs();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Report();

    struct Phase
    {
        const char *name;
        int64_t end;
    };
    bool m_enabled = false;
    bool m_reported = false;
    int64_t m_start = 0;
    std::vector<Phase> m_phases;
};

} // namespace app
