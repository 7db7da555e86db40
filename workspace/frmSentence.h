#pragma once

#include <array>

#include "workspace/toolwindow.h"

class QLabel;

// The own-sentences window: the learner's correct sentences for the unit of
// the selection or for the selected question.
class frmSentence : public ToolWindow {
    Q_OBJECT

public:
    // Tabs.
    static constexpr int kThisUnit = 0;
    static constexpr int kThisQuestion = 1;

    frmSentence();

    void Form_Load();
    // Shows the list of the current tab for the current selection.
    void SetDefaultValue();
    // Paints the tabs, tab pIndex selected (99: none); pReset also places them
    // and sets their captions.
    void SetInfoMenu(int pIndex, bool pReset);
    void picInfoMenu_Click(int Index) override;

    std::array<QLabel*, 2> picInfoMenu{};
    std::array<QLabel*, 2> lblInfoMenu{};

    int mInfoMenuIndex = kThisQuestion;

protected:
    void unloadForm() override;

private:
    void showServicePage(const QString& unitCode, const QString& questionCode);
    void showLocalList(const QString& unitCode, const QString& questionCode);
    QString emptyListLine() const;
};
