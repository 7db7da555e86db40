#pragma once

#include <QString>

// A lock file held for the life of the process through the system's
// advisory file lock, which the system releases when the process ends,
// however it ends: a lock is never left behind. Whatever the file holds (a
// former holder's number, nothing, another computer's name) says nothing;
// only a process that holds the lock does.
class InstanceLock {
public:
    enum class Outcome {
        Held,            // this process holds the lock
        HeldByAnother,   // a running process holds it
        CannotBeWritten  // the file could not be made or written
    };

    // Takes the lock at once, or finds it held; it never waits.
    explicit InstanceLock(const QString& pPath);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Outcome outcome() const { return m_outcome; }

private:
    bool writeHolder();

    int m_descriptor = -1;
    Outcome m_outcome = Outcome::CannotBeWritten;
};
