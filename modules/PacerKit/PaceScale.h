#pragma once

// The pace scale of both reader modules: the configuration attribute `rate` is a step on this
// scale, and the reader sees the step's pace in characters per minute (字/分钟).
//
//   step 0      300 字/分钟, a comfortable beginner pace (the default, rate="0")
//   step n+1    the pace of step n times 1.05, rounded down to a whole character, so no
//               step is more than 5 % faster than the one below it
//   step 48     3053 字/分钟, the top step (PaceTopStep)
//
// The whole table: 300 315 330 346 363 381 400 420 441 463 486 510 535 561 589 618 648 680
// 714 749 786 825 866 909 954 1001 1051 1103 1158 1215 1275 1338 1404 1474 1547 1624 1705
// 1790 1879 1972 2070 2173 2281 2395 2514 2639 2770 2908 3053.
//
// A step below 0 reads as 0 and a step above the top reads as the top, so a hand-edited
// setting never stops a reading. Characters are counted as the library counts them
// (CountReadingChars).

inline constexpr int PaceBottomStep = 0;
inline constexpr int PaceTopStep = 48;
inline constexpr int PaceBottomCpm = 300;

// The step kept within the scale.
int ClampPaceStep(int step);
// Characters per minute of a step (clamped first).
int PaceCpm(int step);
// The step whose pace is nearest to the given characters per minute (ties: the slower step).
int PaceStepForCpm(int cpm);
