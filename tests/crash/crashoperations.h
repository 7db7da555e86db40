#pragma once

#include <QString>

// The two states that each write of the crash tests swaps between, known
// to the writing child and to the test that checks what a kill left.
namespace crashops {

// Transactions over the two databases that a child runs before it stops.
inline constexpr int kTwoFileRounds = 12;

QString settingValue(int which);
QString registryCourse(int which);
// A generated page large enough that writing it takes a while.
QString pageText(int which);
// Sets the open course's study plan (the globals) to one of two plans.
void setPlan(int which);
QString serverName(int which);
QString clickedNodeKey(int which);

}  // namespace crashops
