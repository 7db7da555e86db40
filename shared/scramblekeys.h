#pragma once

// Offsets of the stored-text scrambling. The course tools scramble with the
// same constants that the program descrambles with: change both or neither.
namespace scramblekeys {

// A database text stores each character's code plus this offset, in hex.
inline constexpr int kMdbOffset = 37;

// A unit page carries four key characters at its end; each key value is the
// character's code less its own offset (key positions 1 to 4).
inline constexpr int kPageKeyOffsets[4] = {23, 31, 47, 59};

// Characters a scrambled page begins with before its body.
inline constexpr int kPageHeaderLength = 27;

}  // namespace scramblekeys
