#include "platform/instancelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <QByteArray>
#include <QFile>

InstanceLock::InstanceLock(const QString& pPath) {
    m_descriptor = ::open(QFile::encodeName(pPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_descriptor < 0) {
        return;
    }
    // A file system that keeps no locks cannot tell of another holder, and
    // such a lock is no reason to stop.
    if (::flock(m_descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        m_outcome = Outcome::HeldByAnother;
    } else {
        m_outcome = writeHolder() ? Outcome::Held : Outcome::CannotBeWritten;
    }
    if (m_outcome != Outcome::Held) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
}

InstanceLock::~InstanceLock() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

// The holder's process number, for people who look at the file; a folder
// that takes no byte more fails here.
bool InstanceLock::writeHolder() {
    const QByteArray holder = QByteArray::number(::getpid()) + '\n';
    return ::ftruncate(m_descriptor, 0) == 0 &&
           ::pwrite(m_descriptor, holder.constData(), size_t(holder.size()), 0) ==
               ssize_t(holder.size());
}
