#pragma once

#include <memory>

#include "shared/skinneddialog.h"

class Browser;
class QLabel;
class QTimer;
class clsRuv;
struct KeptPlan;

// The course download window: shows the service's download page, whose
// "cmd:" links download a course package, install it and keep the course's
// study plan across the reinstall. Closing it, and following a course link,
// end with the course picker, from which the course is opened.
class frmClassDownload : public SkinnedDialog {
    Q_OBJECT

public:
    frmClassDownload();
    ~frmClassDownload() override;

    void Form_Load();
    // Shows the window modally: returns once it has closed.
    void showModal();

    void SetDefaultValue();
    // The address of the service's download page, with a fresh
    // cache-breaking value.
    static QString DownloadPageUrl();
    // Downloads the package and, when it arrived whole, unloads the window
    // and installs it, the course keeping pKeptPlan. A failed download
    // leaves no file behind. True when the package arrived.
    bool StartDownloadProc(const QString& pUrlFile, const QString& pLocalFile,
                           const KeptPlan& pKeptPlan);
    void webMain_BeforeNavigate2(const QString& URL, bool& Cancel);

    QLabel* picCaption;
    QLabel* lblCaption;
    Browser* webMain;
    QWidget* picProgressPanel;
    QLabel* lblProgressMessage;
    QLabel* picProgress;
    QWidget* picProgressInner;
    QLabel* imgProgressFlash;
    QLabel* lblPercent;
    QTimer* tmrProgressFlash;
    std::unique_ptr<clsRuv> tmpDownloadClass;

public Q_SLOTS:
    void tmpDownloadClass_RuvDLProg(qint32 RuvBytesIn, qint32 RuvTotalBytes);
    void tmrProgressFlash_Timer();

protected:
    // The fade-out's end: the window goes and the picker comes.
    void unloadForm() override;

private:
    void createControls();
    void createProgressPanel();
    void showProgressPanel();
    void hideProgressPanel();
    void setFlashLeftTwips(int pLeftTwips);

    int mFlashLeftTwips = 0;
    // Whether the last download failed at writing the package here rather
    // than on its way.
    bool mPackageNotSaved = false;
};
