#pragma once

#include <QElapsedTimer>
#include <functional>

// The position in a reading, in milliseconds, taken from a monotonic clock: the position is
// always "where the clock says", never a sum of timer intervals, so a slow paint or a late
// timer does not drift the pace. It can be paused, resumed and moved (steps by hand, a new
// pace).
class TPaceClock {
public:
    // Milliseconds of a monotonic clock; the default is QElapsedTimer's.
    using TNow = std::function<qint64()>;
    TPaceClock();
    explicit TPaceClock(TNow now);

    qint64 PositionMs() const;
    void SetPositionMs(qint64 ms);
    bool IsPaused() const { return FPaused; }
    void Pause();
    void Resume();

private:
    TNow FNow;
    qint64 FBaseMs = 0;  // position when last set, paused or resumed
    qint64 FSinceMs = 0; // clock reading at that moment
    bool FPaused = true;
};
