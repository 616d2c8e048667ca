#include "tick.h"

#include <atomic>
#include <chrono>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace drovanel {

namespace {
std::atomic<TickSource> injectedSource{nullptr};

std::uint32_t systemTick() {
#if defined(_WIN32)
    return static_cast<std::uint32_t>(GetTickCount());
#else
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
#endif
}
}  // namespace

std::uint32_t currentTick() {
    TickSource source = injectedSource.load();
    return source != nullptr ? source() : systemTick();
}

void setTickSource(TickSource source) { injectedSource.store(source); }

}  // namespace drovanel
