#pragma once

#include <Qt>

// The Windows virtual-key code of a key as the input box's key filter knows
// it (a US keyboard: the code names the key, not the character it types, so
// "!" is the "1" key); 0 for a key that has no such code.
int windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);
