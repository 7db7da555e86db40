#pragma once

#include "shared/skinneddialog.h"

class Browser;
class QCheckBox;
class QLabel;
class QPushButton;

// The publisher's news page, shown once per run during the start-up. Ticking
// "do not show again" remembers the page, so that the same page is not
// offered again.
class frmPublisher : public SkinnedDialog {
    Q_OBJECT

public:
    frmPublisher();

    void Form_Load();
    // Lets the shared news request show its page here.
    static void RegisterAsNewsWindow();
    // Navigates to the news page and shows the window modally; returns once
    // it has been closed.
    static void ShowNews(const QString& pNewsUrl);

    Browser* webMain;
    QCheckBox* chkNoShow;
    QLabel* lblNoshow = nullptr;
    QPushButton* cmdOK;

public Q_SLOTS:
    void lblNoshow_Click();
    void cmdOK_Click();

protected:
    void unloadForm() override;
    // The window has no close image: it leaves by its OK button.
    void closeFromWindowSystem() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
};
