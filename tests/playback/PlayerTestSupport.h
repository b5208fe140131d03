#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "support/TestPaths.h"

namespace velomira::test {

inline std::string Recording(const std::string& name)
{
    return (TestDataDir() / "rec" / name).string();
}

// Runs the event loop (so pictures reach their windows) until `done` or the timeout.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 30000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        // Waits for events (a picture's wakeup) without spinning; the timer bounds it.
        QTimer tick;
        tick.start(5);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

inline void Pump(int ms)
{
    WaitUntil([] { return false; }, ms);
}

// Milliseconds that `operation` took.
template<typename Operation>
qint64 Timed(Operation operation)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    return timer.elapsed();
}

} // namespace velomira::test
