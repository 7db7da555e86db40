#pragma once

#include <QPointer>
#include <QWidget>

// Changes made to a widget's controls while this lives are painted once,
// together, when it ends: the event passes in between paint none of them.
// Nested holds on the same widget leave the release to the outermost.
class BatchedRepaint {
public:
    explicit BatchedRepaint(QWidget* widget) : m_widget(widget), m_holds(widget->updatesEnabled()) {
        if (m_holds) {
            widget->setUpdatesEnabled(false);
        }
    }
    ~BatchedRepaint() {
        if (m_holds && m_widget) {
            m_widget->setUpdatesEnabled(true);
        }
    }
    BatchedRepaint(const BatchedRepaint&) = delete;
    BatchedRepaint& operator=(const BatchedRepaint&) = delete;

private:
    QPointer<QWidget> m_widget;
    bool m_holds;
};
