// Formatted lines for the host's log, built on the stack so that the flight
// loop can log without allocating (lines longer than 511 bytes, which only
// quote configuration text, are built on the heap).
#ifndef DROVANEL_PANELS_BIP_BIP_LOG_H
#define DROVANEL_PANELS_BIP_BIP_LOG_H

namespace drovanel {

void bipLog(const char *format, ...)
#if defined(__MINGW32__)
    // mingw's C99 printf is in use, not msvcrt's.
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace drovanel

#endif
