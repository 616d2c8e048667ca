// The millisecond tick: unsigned 32 bits, wrapping. Tests may replace the
// source so that timing logic runs without sleeping.
#ifndef DROVANEL_PANELS_TICK_H
#define DROVANEL_PANELS_TICK_H

#include <cstdint>

namespace drovanel {

using TickSource = std::uint32_t (*)();

std::uint32_t currentTick();

// nullptr restores the system tick.
void setTickSource(TickSource source);

}  // namespace drovanel

#endif
