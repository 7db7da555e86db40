#pragma once

#include "shared/progressflash.h"

#include <array>
#include <QPointer>

#include "shared/skinneddialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class frmMain;

// The question search window: finds the next (or previous) question of the
// course tree whose text holds a phrase, and selects it.
class frmSearch : public SkinnedDialog {
    Q_OBJECT

public:
    // Directions, also the indexes of optDirect and lblDirect.
    static constexpr int kUp = 0;
    static constexpr int kDown = 1;

    frmSearch();

    void Form_Load();
    void SetDefaultValue();

    QLabel* picCaption;
    QLabel* lblCaption;
    std::array<QLabel*, 2> lblS{};
    QLineEdit* txtSearch = nullptr;
    QWidget* picOption;
    std::array<QRadioButton*, 2> optDirect{};
    std::array<QLabel*, 2> lblDirect{};
    QPushButton* cmdSearch;
    QPushButton* cmdClear;
    QPushButton* cmdCancel;
    QLabel* lblMessage;
    QLabel* picProgress;
    QWidget* picProgressInner;
    QLabel* imgProgressFlash;
    QTimer* tmrProgressFlash;

public Q_SLOTS:
    void Form_Activate();
    void cmdSearch_Click();
    void cmdClear_Click();
    void cmdCancel_Click();
    void lblDirect_Click(int Index);
    void tmrProgressFlash_Timer();

protected:
    void unloadForm() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createDirectionOptions();
    void createButtons();
    void createProgressBar();
    void txtSearch_KeyPress(int KeyAscii);
    void setSearching(bool searching);
    bool findQuestion(const QPointer<frmMain>& main, const QString& text);
    void showMessage(const QString& text, const QColor& colour);

    ProgressFlash mProgressFlash;
};
