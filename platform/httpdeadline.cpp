#include "platform/httpdeadline.h"

#include <utility>

namespace {

QDeadlineTimer& innermost() {
    thread_local QDeadlineTimer deadline(QDeadlineTimer::Forever);
    return deadline;
}

}  // namespace

HttpDeadline::HttpDeadline(std::chrono::milliseconds fromNow) : m_outer(innermost()) {
    const QDeadlineTimer own(fromNow, Qt::PreciseTimer);
    if (own < m_outer) {
        innermost() = own;
    }
}

HttpDeadline::~HttpDeadline() {
    innermost() = m_outer;
}

QDeadlineTimer HttpDeadline::current() {
    return innermost();
}

HttpDeadline::Lifted::Lifted() : m_lifted(std::exchange(innermost(), QDeadlineTimer::Forever)) {}

HttpDeadline::Lifted::~Lifted() {
    innermost() = m_lifted;
}
