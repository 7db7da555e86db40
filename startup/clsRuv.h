#pragma once

#include <cstdint>
#include <optional>
#include <QObject>
#include <QString>

// Downloads one file from a web address into a local file and reports the
// start, the progress and the end of the download as signals. One object
// serves one download at a time.
class clsRuv : public QObject {
    Q_OBJECT

public:
    using HRESULT = std::int32_t;
    // The crash number of a download whose file could not be written here.
    static constexpr HRESULT kCannotSaveFile = HRESULT(0x800C000Fu);

    // True when the file arrived whole, false when the download failed; no
    // value (and nothing started) while a download of this object runs.
    std::optional<bool> StartTheStinkinDownLoad(QString File2DownLoad, QString File2Save);
    // Aborts the running download.
    void KillRuv();
    // Downloads go past no cache here, so there is never an entry to remove.
    int DeleteRuvCache(QString& Filename);

    // The download's status reports, called during StartTheStinkinDownLoad.
    void OnStartBinding();
    void OnProgress(qint64 ulProgress, qint64 ulProgressMax);
    void OnStopBinding(HRESULT hresult);

    static QString GetBindErrorText(HRESULT pStatus);

Q_SIGNALS:
    void RuvDLStart();
    void RuvDLDone();
    void RuvDLCrash(qint32 RuvErrNum, const QString& RuvErrDescr, bool Cancelled);
    void RuvDLCancelled();
    void RuvDLProg(qint32 RuvBytesIn, qint32 RuvTotalBytes);

private:
    // Whether a download of this object is running, and whether it was
    // asked to stop.
    bool mBinding = false;
    bool mAbortRequested = false;
};
