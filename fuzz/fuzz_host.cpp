#include "fuzz_host.h"

#include <cstdio>
#include <cstdlib>

#include "hostsim/hostsim.h"
#include "tick.h"

namespace drovanel {
namespace fuzz {

namespace {
std::uint32_t tickNow = 1000;
std::uint32_t fuzzTick() { return tickNow; }
}  // namespace

void prepareHost() {
    static const bool once = [] {
        hostsim::reset();
        setTickSource(fuzzTick);
        return true;
    }();
    (void)once;
    hostsim::clearLog();
    hostsim::clearDatarefWrites();
    hostsim::clearCommandJournal();
}

void advanceTick(std::uint32_t ms) { tickNow += ms; }

bool writeFile(const std::string &path, const std::uint8_t *data, std::size_t size) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void checkHostInvariants() {
    if (!hostsim::offThreadCalls().empty()) {
        std::fprintf(stderr, "host call off the simulator thread: %s\n", hostsim::offThreadCalls()[0].c_str());
        std::abort();
    }
    if (hostsim::nullCommandFaults() != 0) {
        std::fprintf(stderr, "command through a NULL handle\n");
        std::abort();
    }
}

}  // namespace fuzz
}  // namespace drovanel
