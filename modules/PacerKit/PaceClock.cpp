#include "PaceClock.h"

#include <memory>

TPaceClock::TPaceClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    FNow = [timer] {
        return timer->elapsed();
    };
    FSinceMs = FNow();
}

TPaceClock::TPaceClock(TNow now) : FNow(std::move(now)) {
    FSinceMs = FNow();
}

qint64 TPaceClock::PositionMs() const {
    return FPaused ? FBaseMs : FBaseMs + (FNow() - FSinceMs);
}

void TPaceClock::SetPositionMs(qint64 ms) {
    FBaseMs = ms;
    FSinceMs = FNow();
}

void TPaceClock::Pause() {
    if (!FPaused) {
        FBaseMs = PositionMs();
        FPaused = true;
    }
}

void TPaceClock::Resume() {
    if (FPaused) {
        FSinceMs = FNow();
        FPaused = false;
    }
}
