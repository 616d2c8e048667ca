// The one switch between the 64-bit and the 32-bit build's behaviour
// (log lines, BIP refresh period, Switch Panel reset).
// On by default in 32-bit builds; the build may set it explicitly so that
// both behaviours are tested natively.
#ifndef DROVANEL_PANELS_BEHAVIOUR_H
#define DROVANEL_PANELS_BEHAVIOUR_H

#ifndef DROVANEL_BEHAVIOUR_32
#if defined(_WIN32) && !defined(_WIN64)
#define DROVANEL_BEHAVIOUR_32 1
#else
#define DROVANEL_BEHAVIOUR_32 0
#endif
#endif

namespace drovanel {
constexpr bool kBehaviour32 = DROVANEL_BEHAVIOUR_32 != 0;
}

#endif
