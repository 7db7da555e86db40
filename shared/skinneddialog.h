#pragma once

#include <QPixmap>
#include <QWidget>

class QCloseEvent;
class QLabel;
class QTimer;

// The base of every borderless dialog. A background picture gives the window
// its size and shape (magenta is see-through) and drags it; a close image
// reacts to the mouse; the dialog fades in when it loads and fades out when
// it closes, and unloads itself when the fade-out ends.
//
// Construction is the dialog's load. A derived dialog sets its picture with
// setSkin(), fills its controls, and calls startFadeIn(); its caller shows it.
class SkinnedDialog : public QWidget {
    Q_OBJECT

public:
    // When the dialog's open flag goes back to false: as soon as it starts to
    // close, or only in the tick that unloads it.
    enum class OpenFlagClear { WhenClosing, WhenUnloading };

    ~SkinnedDialog() override;

    // Fades the dialog out from the opacity it has reached, then unloads it.
    void startFadeOut();

    // An unloaded dialog that lives on until its waiting handlers return is
    // never shown again.
    void setVisible(bool visible) override;

    // Shows a message for the dialog and waits for its answer (gMsgResult).
    // The dialog may be closed meanwhile: then false, and the handler that
    // asked does nothing more to it.
    bool showMessageAndWait(const QString& pMessageId, int pIcon, const QString& pFormType,
                            const QString& pCaptionId);
    // Whether the dialog is on its way out: fading out, or unloaded (it then
    // lives on only for the handlers that were waiting in it).
    bool isLeaving() const;

    QLabel* picBG;
    QLabel* imgBackground;
    QLabel* imgClose;
    QTimer* tmrTransparentForm;

public Q_SLOTS:
    void tmrTransparentForm_Timer();

protected:
    // openFlag (e.g. &gSearchOpen) is set now and cleared as clearFlag says.
    explicit SkinnedDialog(bool topmost, bool* openFlag = nullptr,
                           OpenFlagClear clearFlag = OpenFlagClear::WhenClosing);

    // The background picture at 0,0; the window takes its size and shape.
    void setSkin(const QPixmap& background);
    // Sizes the window to the background, optionally centres it, and starts
    // the fade-in from fully see-through.
    void startFadeIn(bool centre = true);

    // Unloads the dialog's default instance (FormInstance<T>::unload()).
    virtual void unloadForm() = 0;
    // Gives the close image, and any picture buttons of the dialog, their
    // normal pictures again.
    virtual void picButtonsResetImage();
    // A click on the close image; closing the dialog unless it says otherwise.
    virtual void imgClose_Click();
    // The window system closing the window (Alt+F4, a panel): the dialog's
    // own way out, by default its close image.
    virtual void closeFromWindowSystem();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool isUnloaded() const;
    void createControls();
    void setCloseImageHover(bool hover);
    bool handleMouseMove(QObject* watched);
    bool handleMousePress(QObject* watched, QMouseEvent* press);
    bool handleMouseRelease(QObject* watched, QMouseEvent* release);
    void setOpenFlag();
    void clearOpenFlag();

    QPixmap mCloseNormal;
    QPixmap mCloseHover;
    int mAlpha = 0;
    int mStep = 0;
    int mMaximum = 240;
    bool* mOpenFlag;
    OpenFlagClear mOpenFlagClear;
};
