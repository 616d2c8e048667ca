// What every fuzz target needs of the host simulator: one reset per
// process, records emptied between inputs so that long runs do not grow,
// and a tick the input drives.
#ifndef DROVANEL_FUZZ_FUZZ_HOST_H
#define DROVANEL_FUZZ_FUZZ_HOST_H

#include <cstdint>
#include <string>

namespace drovanel {
namespace fuzz {

// Resets the host on the first call (a fresh preferences folder); later
// calls only empty its log, dataref writes and command journal.
void prepareHost();

// The plug-in's millisecond tick, moved by the input.
void advanceTick(std::uint32_t ms);

// Writes bytes to a file; false if it cannot.
bool writeFile(const std::string &path, const std::uint8_t *data, std::size_t size);

// Aborts (a finding) when the host saw an SDK call off its thread or a
// command through a NULL handle.
void checkHostInvariants();

}  // namespace fuzz
}  // namespace drovanel

#endif
