#pragma once

#include <functional>
#include <QByteArray>
#include <QString>

// Downloads one file over HTTP into a local file, blocking the caller's
// thread while it reports its progress through callbacks on that thread, as
// the platform's URL download function does.
namespace http {

enum class DownloadStatus {
    Ok,
    InvalidUrl,
    CannotConnect,
    ResourceNotFound,
    Timeout,
    DownloadFailure,
    CannotWriteFile,
    Aborted,
};

struct DownloadCallbacks {
    // Once, when the transfer is about to begin.
    std::function<void()> started;
    // Bytes received so far and the total (0 while the size is not known);
    // also called while no bytes arrive, so the caller can keep its windows
    // alive. Returning false aborts the download.
    std::function<bool(qint64 received, qint64 total)> progress;
    // Once, at the end, whatever the outcome.
    std::function<void(DownloadStatus status)> stopped;
};

// Writes the reply to pLocalFile (replacing it) only when the server answers
// with success; an HTTP error status is a failed download.
DownloadStatus downloadToFile(const QByteArray& pUrl, const QString& pLocalFile,
                              const DownloadCallbacks& pCallbacks);

}  // namespace http
