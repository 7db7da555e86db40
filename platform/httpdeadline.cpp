#include "platform/httpdeadline.h"

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
