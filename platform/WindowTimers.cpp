#include "platform/WindowTimers.h"

#include <QTimer>

#include <algorithm>

CWindowTimers::CWindowTimers(std::function<void(int)> onTimer, QObject* parent)
    : QObject(parent), m_onTimer(std::move(onTimer))
{
}

CWindowTimers::~CWindowTimers() = default;

int CWindowTimers::SetTimer(int nIDEvent, int nElapse)
{
    QTimer*& timer = m_timers[nIDEvent];
    if (!timer) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, nIDEvent] {
            if (m_onTimer) {
                m_onTimer(nIDEvent);
            }
        });
    }
    timer->start(std::max(nElapse, kMinimumInterval));
    return nIDEvent;
}

bool CWindowTimers::KillTimer(int nIDEvent)
{
    const auto it = m_timers.find(nIDEvent);
    if (it == m_timers.end() || !it->second->isActive()) {
        return false;
    }
    it->second->stop();
    return true;
}

void CWindowTimers::KillAllTimers()
{
    for (auto& [id, timer] : m_timers) {
        timer->stop();
    }
}

bool CWindowTimers::IsTimerRunning(int nIDEvent) const
{
    const auto it = m_timers.find(nIDEvent);
    return it != m_timers.end() && it->second->isActive();
}

int CWindowTimers::GetInterval(int nIDEvent) const
{
    return IsTimerRunning(nIDEvent) ? m_timers.at(nIDEvent)->interval() : 0;
}
