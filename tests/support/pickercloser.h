#pragma once

#include <QPointer>
#include <QTest>
#include <QTimer>

#include "platform/forminstance.h"
#include "startup/frmClassDownload.h"
#include "startup/frmClassSelect.h"

// While it lives, closes the course picker with its close button whenever it
// comes up, and counts how often. With closeDownloadWindow the download
// window too: a course refused for its version then ends the test instead
// of holding it.
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

    static void closeDownload() {
        if (FormInstance<frmClassDownload>::isLoaded() &&
            FormInstance<frmClassDownload>::get()->isVisible()) {
            FormInstance<frmClassDownload>::unload();
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
            QTest::mouseClick(picker->imgClose, Qt::LeftButton);
        }
    }

    QTimer m_timer;
    QPointer<frmClassSelect> m_closing;
    int m_shown = 0;
};
