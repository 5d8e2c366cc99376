#pragma once

#include <QObject>

#include <functional>
#include <map>

class QTimer;

// Numbered window timers: one QTimer per id. SetTimer starts a timer or
// restarts a running one with the new interval; KillTimer stops it and does
// nothing for a timer that is not running. Every tick calls the handler with
// the timer's id. Ticks keep coming while a modal dialog runs, because its
// event loop delivers them.
class CWindowTimers : public QObject {
public:
    // Intervals below this many milliseconds are raised to it.
    static constexpr int kMinimumInterval = 10;

    explicit CWindowTimers(std::function<void(int)> onTimer, QObject* parent = nullptr);
    ~CWindowTimers() override;

    // Returns the id, as the platform does.
    int SetTimer(int nIDEvent, int nElapse);
    // Returns whether a running timer was stopped.
    bool KillTimer(int nIDEvent);
    void KillAllTimers();

    bool IsTimerRunning(int nIDEvent) const;
    // The interval of a running timer, 0 when it is not running.
    int GetInterval(int nIDEvent) const;

private:
    std::function<void(int)> m_onTimer;
    std::map<int, QTimer*> m_timers;
};
