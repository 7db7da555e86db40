#pragma once

#include <QColor>

// The main window's measures in twips and the numbers of its tool bar and
// tabs, shared by the files of frmMain.
namespace mainmeasures {

inline constexpr int kMinWindowWidth = 12000;
inline constexpr int kMinWindowHeight = 8250;
inline constexpr int kSplitterGap = 40;
inline constexpr int kMinPaneWidth = 400;
inline constexpr double kMinSplitRatio = 0.2;
inline constexpr double kMaxSplitRatio = 0.4;
inline constexpr double kStartSplitRatio = 0.3;

inline constexpr int kDefaultQuizHeight = 2250;
inline constexpr int kDefaultAnsHeight = 1275;

// Where the designer put the controls inside their areas.
inline constexpr int kToolButtonTop = 45;
inline constexpr int kFirstToolButtonLeft = 60;
inline constexpr int kToolBarBottomMargin = 80;
inline constexpr int kInfoTabSpacing = 1250;
inline constexpr int kInfoTabTop = 45;
inline constexpr int kInfoTabWidth = 1200;
inline constexpr int kInfoTabHeight = 375;
inline constexpr int kWebMainTop = 450;
inline constexpr int kTxtInputLeft = 90;
inline constexpr int kTxtInputTop = 90;

// Large style: icon above the caption; small style: icon left of it.
inline constexpr int kLargeIconSize = 480;
inline constexpr int kLargeIconTop = 60;
inline constexpr int kLargeCaptionTop = 540;
inline constexpr int kSmallIconSize = 300;
inline constexpr int kSmallIconLeft = 40;
inline constexpr int kSmallCaptionRightMargin = 40;
inline constexpr int kPressShift = 10;

inline constexpr int kToolButtonCount = 11;
inline constexpr int kInfoTabCount = 4;
inline constexpr int kNone = 99;
inline constexpr int kWholeBar = 100;

// Button styles of SetMenuButtons: faces 0..2, then disable and enable.
inline constexpr int kFaceNormal = 0;
inline constexpr int kFacePressed = 1;
inline constexpr int kFaceHover = 2;
inline constexpr int kStyleDisable = 3;
inline constexpr int kStyleEnable = 4;

// Looks of the whole bar (mButtonStyle).
inline constexpr int kLargeIcons = 1;
inline constexpr int kSmallIcons = 2;
inline constexpr int kNoIcons = 3;

// Buttons.
inline constexpr int kButtonProgress = 0;
inline constexpr int kButtonErrors = 1;
inline constexpr int kButtonSearch = 2;
inline constexpr int kButtonHistoryBack = 3;
inline constexpr int kButtonHistoryForward = 4;
inline constexpr int kButtonPageBack = 5;
inline constexpr int kButtonExamples = 6;
inline constexpr int kButtonMySentences = 7;
inline constexpr int kButtonCheck = 8;
inline constexpr int kButtonFeedback = 9;
inline constexpr int kButtonExit = 10;

// Info tabs.
inline constexpr int kTabContent = 0;
inline constexpr int kTabResult = 1;
inline constexpr int kTabPersonal = 2;
inline constexpr int kTabManual = 3;

inline const QColor kButtonCaption(0, 0, 200);
inline const QColor kTabCaption(255, 255, 255);
inline const QColor kGreyedTabCaption(100, 100, 100);

}  // namespace mainmeasures
