#pragma once
#include <QElapsedTimer>
#include <functional>
#include <unistd.h>

// Seconds a piece of work takes, after the disk has written what came before,
// so that no case pays for the one before it.
inline double Seconds(const std::function<void()>& f) {
    ::sync();
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
}
