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

    // Clicks the close image of the form once it is shown, once for each
    // showing; whether it did.
    template <class Form>
    static bool closeOnce(QPointer<Form>& closing) {
        if (!FormInstance<Form>::isLoaded()) {
            return false;
        }
        Form* form = FormInstance<Form>::get();
        if (!form->isVisible() || form == closing) {
            return false;
        }
        closing = form;
        clickThroughWindow(form->imgClose);
        return true;
    }
    void closeDownload() { closeOnce(m_closingDownload); }
    void closePicker() {
        if (closeOnce(m_closing)) {
            ++m_shown;
        }
    }

    QTimer m_timer;
    QPointer<frmClassSelect> m_closing;
    QPointer<frmClassDownload> m_closingDownload;
    int m_shown = 0;
};
