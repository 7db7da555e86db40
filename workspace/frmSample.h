#pragma once

#include <array>

#include "workspace/toolwindow.h"

class QLabel;

// The example-sentences window: the examples of the selected question in
// Chinese, in English, or in both.
class frmSample : public ToolWindow {
    Q_OBJECT

public:
    // View modes, also the indexes of their tabs.
    static constexpr int kChineseOnly = 0;
    static constexpr int kEnglishOnly = 1;
    static constexpr int kBoth = 2;

    frmSample();

    void Form_Load();
    // Builds and shows the list for the selection and the view mode.
    void SetDefaultValue();
    // Paints the tabs, tab pIndex selected (99: none); pReset also places them
    // and sets their captions.
    void SetInfoMenu(int pIndex, bool pReset);
    void picInfoMenu_Click(int Index) override;

    std::array<QLabel*, 3> picInfoMenu{};
    std::array<QLabel*, 3> lblInfoMenu{};

    int mViewMode = kChineseOnly;

protected:
    void unloadForm() override;

private:
    QString exampleRows(int* count) const;
};
