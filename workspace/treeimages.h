#pragma once

// Indexes into the course tree's image list: the marks that show a node's
// kind and the learner's progress.
namespace treeimage {

inline constexpr int kUnitOpen = 2;  // a unit with questions to do or to correct
inline constexpr int kQuestionNew = 3;
inline constexpr int kQuestionNewSelected = 4;
inline constexpr int kQuestionDone = 5;
inline constexpr int kQuestionWrong = 6;  // answered wrongly, not yet right
inline constexpr int kCourseRoot = 7;
inline constexpr int kUnitDone = 8;  // a unit with no question left to do

}  // namespace treeimage
