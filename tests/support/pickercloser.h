#pragma once

#include <QPointer>
#include <QTimer>

#include "platform/forminstance.h"
#include "startup/frmClassDownload.h"
#include "startup/frmClassSelect.h"
#include "tests/support/windowsystem.h"

// While it lives, closes the course picker with its close image whenever it
// comes up, clicking through the window as the learner does, and counts how
// often. With closeDownloadWindow the download window too: a course refused
// for its version then ends the test instead of holding it.
class PickerCloser {
public:
    explicit PickerCloser(bool closeDownloadWindow = false) {
        m_timer.setInterval(kPollIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this, closeDownloadWindow] {
            if (closeDownloadWindow) {
                closeDownload();
            }
            closePicker();
        });
        m_timer.start();
    }
    int shown() const { return m_shown; }

private:
    static constexpr int kPollIntervalMs = 5;

    void closeDownload() {
        if (!FormInstance<frmClassDownload>::isLoaded()) {
            return;
        }
        frmClassDownload* download = FormInstance<frmClassDownload>::get();
        if (download->isVisible() && download != m_closingDownload) {
            m_closingDownload = download;
            clickThroughWindow(download->imgClose);
        }
    }
    void closePicker() {
        if (!FormInstance<frmClassSelect>::isLoaded()) {
            return;
        }
        frmClassSelect* picker = FormInstance<frmClassSelect>::get();
        if (picker->isVisible() && picker != m_closing) {
            m_closing = picker;
            ++m_shown;
            clickThroughWindow(picker->imgClose);
        }
    }

    QTimer m_timer;
    QPointer<frmClassSelect> m_closing;
    QPointer<frmClassDownload> m_closingDownload;
    int m_shown = 0;
};
