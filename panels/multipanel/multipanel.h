// The Multi Panel driver: the autopilot panel with a five-position selector,
// one encoder, eight mode buttons with lamps, the auto-throttle switch,
// flaps lever, trim wheel and two five-digit rows. It drives the host's
// autopilot, or the x737's while that plug-in reports itself active.
#ifndef DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_H
#define DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_H

#include <atomic>
#include <cstdint>

#include "abstract_panel.h"
#include "multipanel_refs.h"
#include "multipanel_state.h"
#include "rotary_filter.h"

namespace drovanel {

// Settings-block byte of the AP lamp's flight-director flash option.
constexpr std::size_t kApFlashInFdModeOffset = kDriverSettingsOffset;

class Multipanel final : public AbstractPanel {
public:
    // Takes ownership of device; binds the references and asks for the
    // start-up exchange with the panel, which runs once the threads start.
    explicit Multipanel(HidDevice *device);

    void update() override;
    void initialize() override;
    void sendReport() override;
    void handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag,
                     std::uint32_t tick) override;
    void bindProfile(profile::Profile *aircraftProfile) override;

    // Last selector position reported (0 until one is).
    std::uint8_t currentSelector() const { return selectorPosition.load(); }

    // The pause between the blank start-up report and reading the panel's
    // state back, spent on the refresh thread; 500 ms, changed by tests.
    static std::uint32_t startupWait();
    static void setStartupWait(std::uint32_t ms);

private:
    // The start-up exchange, on the refresh thread: blanks the panel, waits,
    // reads its input state back and queues it for the simulator thread.
    void deviceExchange() override;
    void fillCache();

    // Simulator thread only.
    multipanel::MultipanelRefs refs;
    bool apCycleUp = true;
    profile::Profile *profile_ = nullptr;
    multipanel::RotaryState rotary;

    // Guarded by dataLock.
    multipanel::CachedState cachedState;
    multipanel::FlashPhases flashPhases;

    // Written on the simulator thread, read by the refresh thread.
    std::atomic<std::uint8_t> selectorPosition{0};
};

}  // namespace drovanel

#endif
