#include "startup/clsRuv.h"

#include <algorithm>
#include <limits>
#include <QHash>

#include "platform/big5.h"
#include "platform/filedownload.h"
#include "platform/waituntil.h"

namespace {

constexpr clsRuv::HRESULT kSuccess = 0;
constexpr clsRuv::HRESULT kAbort = clsRuv::HRESULT(0x80004004u);

clsRuv::HRESULT statusCode(std::uint32_t code) {
    return clsRuv::HRESULT(code);
}

clsRuv::HRESULT bindStatusOf(http::DownloadStatus status) {
    switch (status) {
        case http::DownloadStatus::Ok:
            return kSuccess;
        case http::DownloadStatus::InvalidUrl:
            return statusCode(0x800C0002u);
        case http::DownloadStatus::CannotConnect:
            return statusCode(0x800C0004u);
        case http::DownloadStatus::ResourceNotFound:
            return statusCode(0x800C0005u);
        case http::DownloadStatus::Timeout:
            return statusCode(0x800C000Bu);
        case http::DownloadStatus::CannotWriteFile:
            return clsRuv::kCannotSaveFile;
        case http::DownloadStatus::Aborted:
            return kAbort;
        case http::DownloadStatus::DownloadFailure:
            break;
    }
    return statusCode(0x800C0008u);
}

// Progress is reported in 32-bit counts.
qint32 clamped(qint64 count) {
    return qint32(std::min<qint64>(count, std::numeric_limits<qint32>::max()));
}

}  // namespace

std::optional<bool> clsRuv::StartTheStinkinDownLoad(QString File2DownLoad, QString File2Save) {
    if (mBinding) {
        return std::nullopt;
    }
    mAbortRequested = false;
    http::DownloadCallbacks callbacks;
    callbacks.started = [this] { OnStartBinding(); };
    callbacks.progress = [this](qint64 received, qint64 total) {
        OnProgress(received, total);
        return !mAbortRequested;
    };
    callbacks.stopped = [this](http::DownloadStatus status) {
        OnStopBinding(bindStatusOf(status));
    };
    const http::DownloadStatus status =
        http::downloadToFile(big5::encode(File2DownLoad), File2Save, callbacks);
    return status == http::DownloadStatus::Ok;
}

void clsRuv::KillRuv() {
    mAbortRequested = mBinding;
    Q_EMIT RuvDLCancelled();
    mBinding = false;
}

int clsRuv::DeleteRuvCache(QString& Filename) {
    Q_UNUSED(Filename);
    return 0;
}

void clsRuv::OnStartBinding() {
    mBinding = true;
    Q_EMIT RuvDLStart();
}

void clsRuv::OnProgress(qint64 ulProgress, qint64 ulProgressMax) {
    if (ulProgressMax > 0) {
        Q_EMIT RuvDLProg(clamped(ulProgress), clamped(ulProgressMax));
    }
    doEvents();
}

void clsRuv::OnStopBinding(HRESULT hresult) {
    if (hresult == kSuccess) {
        Q_EMIT RuvDLDone();
    } else {
        Q_EMIT RuvDLCrash(hresult, GetBindErrorText(hresult), !mBinding);
    }
    mBinding = false;
}

QString clsRuv::GetBindErrorText(HRESULT pStatus) {
    static const QHash<std::uint32_t, QString> texts = {
        {0x800C0002u, "Invalid URL."},
        {0x800C0003u, "No Session."},
        {0x800C0004u, "Cannot Connect"},
        {0x800C0005u, "Resource Not Found."},
        {0x800C0006u, "File Not Found."},
        {0x800C0007u, "Data Not Available."},
        {0x800C0008u, "Download Failure."},
        {0x800C0009u, "Authentication Failure."},
        {0x800C000Au, "No Valid Media."},
        {0x800C000Bu, "Connection Timeout."},
        {0x800C000Cu, "Invalid Request."},
        {0x800C000Du, "Unknown Protocol."},
        {0x800C000Eu, "Security Problem."},
        {0x800C000Fu, "Cannot Load Data."},
        {0x800C0010u, "Cannot Instantiate Object."},
        {0x800C0011u, "Default Action."},
        {0x800C0013u, "QueryOption Unknown."},
        {0x800C0014u, "Redirect Failed."},
        {0x800C0015u, "Redirect To Dir."},
        {0x800C0016u, "Cannot Lock Request."},
        {0x800C0100u, "Code Download Declined."},
        {0x800C0200u, "Result Dispatched."},
        {0x800C0300u, "Cannot Replace SFP File."},
    };
    return texts.value(std::uint32_t(pStatus), "Unknown.");
}
