#pragma once

#include <array>
#include <QPixmap>

#include "shared/skinneddialog.h"
#include "workspace/studyplan.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The study-plan dialog: the learner chooses one of four plans of fixed
// length or a length of their own for the open course, or lengthens the
// plan. Each change goes to the descriptor file and to the service. The
// dialog is modeless but keeps the main window disabled while it is open.
class frmSchedule : public SkinnedDialog {
    Q_OBJECT

public:
    frmSchedule();

    void Form_Load();
    void SetDefaultValue();
    // Shows the dialog in front; the main window stays disabled while it
    // is open.
    void showDialog();
    // True once the dialog has started to fade out.
    bool isClosing() const { return mClosing; }

    QLabel* picCaption;
    QLabel* lblCaption;
    QLabel* lblSchedule;
    std::array<QLabel*, 5> picSchedule{};
    std::array<QLabel*, 5> imgSelect{};
    QPixmap imgClock;
    std::array<QLabel*, 4> lblS{};
    QLineEdit* txtLimitDays = nullptr;
    QLineEdit* txtExtendDays = nullptr;
    QPushButton* cmdOK;
    QPushButton* cmdExtend;
    std::array<QLabel*, 3> lblMemos{};
    QLabel* lblStatus;

public Q_SLOTS:
    void cmdOK_Click();
    void cmdExtend_Click();
    void picSchedule_Click(int Index);
    void picSchedule_MouseMove(int Index);
    void imgClose_Click() override;

protected:
    void unloadForm() override;
    void picButtonsResetImage() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createControls();
    void createPlanPictures();
    void createDayBoxes();
    void createNotes();
    void Form_Activate();
    void showAgain(QLineEdit* focus = nullptr);
    bool readLimitDays(int* days);
    bool storePlan(const studyplan::Plan& former);
    void sendPlanAndClose();
    void markCurrentPlan();
    QString statusText() const;

    bool mClosing = false;
};
