#pragma once

#include <chrono>
#include <QDeadlineTimer>

// A time limit over a stretch of work that makes requests: while it lives,
// no request of this thread waits past it, and one made once it has passed
// fails at once, without connecting. Nested limits keep the earlier one:
//   const HttpDeadline limit(std::chrono::seconds(30));
//   ... every HttpRequest::send() in here ends within the 30 seconds ...
class HttpDeadline {
public:
    explicit HttpDeadline(std::chrono::milliseconds fromNow);
    ~HttpDeadline();
    HttpDeadline(const HttpDeadline&) = delete;
    HttpDeadline& operator=(const HttpDeadline&) = delete;

    // The earliest deadline alive on this thread; forever when there is none.
    static QDeadlineTimer current();

    // While it lives no deadline holds: for the handlers that a wait runs,
    // whose requests belong to their own work, not to the code that waits.
    class Lifted {
    public:
        Lifted();
        ~Lifted();
        Lifted(const Lifted&) = delete;
        Lifted& operator=(const Lifted&) = delete;

    private:
        QDeadlineTimer m_lifted;
    };

private:
    QDeadlineTimer m_outer;
};
