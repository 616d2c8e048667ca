// Float formulas whose result is truncated to digits or compared with a
// threshold (a frequency's hundredths, Mach, a share of a tank, a trim
// limit) must give the same answer in every build. x87 code keeps a float
// product in an 80-bit register, unrounded, so a 32-bit build that does its
// float arithmetic there shows 0.78 as 77 hundredths where x86_64 shows 78.
// The build compiles 32-bit x86 with SSE2 float arithmetic; this refuses a
// build that does not.
#ifndef DROVANEL_PANELS_SINGLE_PRECISION_H
#define DROVANEL_PANELS_SINGLE_PRECISION_H

#include <cfloat>

static_assert(FLT_EVAL_METHOD == 0,
              "float arithmetic must round to float at each step: build 32-bit x86 with -msse2 -mfpmath=sse");

#endif
