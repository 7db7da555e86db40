#include "platform/windowskin.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QHash>
#include <QMouseEvent>
#include <QRegion>
#include <QScreen>
#include <QWindow>

namespace windowskin {

namespace {

const QColor kColourKey(255, 0, 255);

// Qt lets input and the window system's close through only to the top
// modal window and its transient children, so the window stays a transient
// child of whichever modal window is on top. A modal window that comes up
// is in Qt's list only after its show, when Qt blocks this window: that is
// when it follows.
class ModalWindowFollower : public QObject {
public:
    explicit ModalWindowFollower(QWidget* window) : QObject(window), m_window(window) {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        QWindow* own = m_window->windowHandle();
        const bool shownOrHidden =
            (event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
            watched->isWindowType();
        const bool blocked = event->type() == QEvent::WindowBlocked && watched == own;
        if (own && (shownOrHidden || blocked)) {
            QWindow* modal = QGuiApplication::modalWindow();
            own->setTransientParent(modal == own ? nullptr : modal);
        }
        return false;
    }

private:
    QWidget* m_window;
};

// Moves a window with the mouse from a press until the button is let go, for
// window systems that do not move windows on request.
class DragFollower : public QObject {
public:
    DragFollower(QWidget* window, const QPointF& pressGlobal)
        : QObject(window),
          m_window(window),
          m_pressGlobal(pressGlobal),
          m_windowStart(window->pos()) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        Q_UNUSED(watched);
        if (event->type() == QEvent::MouseMove) {
            follow(static_cast<QMouseEvent*>(event));
        } else if (event->type() == QEvent::MouseButtonRelease) {
            deleteLater();
            qApp->removeEventFilter(this);
        }
        return false;
    }

private:
    void follow(const QMouseEvent* move) {
        if (!(move->buttons() & Qt::LeftButton)) {
            return;
        }
        const QPoint delta = (move->globalPosition() - m_pressGlobal).toPoint();
        m_window->move(m_windowStart + delta);
    }

    QWidget* m_window;
    QPointF m_pressGlobal;
    QPoint m_windowStart;
};

// Dialogs come and go with the same few skins, and working out a skin's
// region takes a pass over all its pixels: each skin's region is kept.
QRegion shownRegionOf(const QPixmap& skin) {
    constexpr qsizetype kKeptRegions = 64;
    static QHash<qint64, QRegion> regions;
    const auto kept = regions.constFind(skin.cacheKey());
    if (kept != regions.constEnd()) {
        return *kept;
    }
    if (regions.size() >= kKeptRegions) {
        regions.clear();
    }
    // MaskInColor: the colour key's pixels are the ones left out of the region.
    const QRegion shown(skin.createMaskFromColor(kColourKey, Qt::MaskInColor));
    regions.insert(skin.cacheKey(), shown);
    return shown;
}

QScreen* screenOf(const QWidget* window) {
    QScreen* screen = window->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

}  // namespace

void setAlpha(QWidget* window, int alpha) {
    window->setWindowOpacity(qBound(0, alpha, 255) / 255.0);
}

int alpha(const QWidget* window) {
    return qRound(window->windowOpacity() * 255.0);
}

void applyColourKey(QWidget* window, const QPixmap& skin) {
    if (skin.isNull()) {
        window->clearMask();
        return;
    }
    window->setMask(shownRegionOf(skin));
}

void centerOnScreen(QWidget* window) {
    const QScreen* screen = screenOf(window);
    if (!screen) {
        return;
    }
    const QRect area = screen->geometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

void setTopmost(QWidget* window, bool topmost) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost) {
        return;
    }
    // Changing the flags of a shown window hides it; it must stay where it is.
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (wasVisible) {
        window->show();
    }
}

void keepAboveModalWindows(QWidget* window) {
    new ModalWindowFollower(window);
}

void startDrag(QWidget* window, QMouseEvent* press) {
    if (press->button() != Qt::LeftButton) {
        return;
    }
    QWindow* handle = window->windowHandle();
    if (handle && handle->startSystemMove()) {
        return;
    }
    new DragFollower(window, press->globalPosition());
}

double screenDpiX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() * screen->devicePixelRatio() : 96.0;
}

}  // namespace windowskin
