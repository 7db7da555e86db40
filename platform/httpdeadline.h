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

private:
    QDeadlineTimer m_outer;
};
