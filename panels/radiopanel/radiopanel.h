// Radiopanel: the Saitek Radio Panel as the tuning head of the simulator's
// radios. Two rows, each with a seven-position selector, an encoder pair
// and an ACT/STBY button; the knobs tune the selected radio's standby value
// and the button swaps it with the active one.
#ifndef DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_H
#define DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_H

#include <atomic>
#include <cstdint>

#include "XPLMDataAccess.h"
#include "abstract_panel.h"
#include "radiopanel_codec.h"
#include "radiopanel_datarefs.h"
#include "radiopanel_input.h"
#include "radiopanel_rotary.h"
#include "profile/profile.h"

namespace drovanel {

// "Radiopanel1" to "Radiopanel4" for units 0 to 3, "Radiopanel" otherwise.
const char *radiopanelName(int unit);

class Radiopanel : public AbstractPanel {
public:
    // The unit chooses the panel's name, which names its settings file.
    Radiopanel(HidDevice *device, int unit);
    // The 32-bit plug-in's discovery passes the name along with the unit.
    Radiopanel(HidDevice *device, int unit, const char *name);
    // Stops the threads before this object goes, so none sees it half gone.
    ~Radiopanel() override { teardown(); }

    void update() override;
    void initialize() override;
    void sendReport() override;
    void handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag,
                     std::uint32_t tick) override;
    void bindProfile(profile::Profile *aircraftProfile) override;

    int unit() const { return unit_; }
    // The option that shows DME readouts (and tunes DME) in place of ADF2.
    bool dmeInSecondSegment() const;
    void toggleDmeInSecondSegment();

    // The driver's own selector state (the upper mode lives in the simulator).
    int lowerMode() const { return lowerMode_.load(); }
    bool upperTransponder() const { return upperTransponder_.load(); }
    bool lowerTransponder() const { return lowerTransponder_.load(); }
    int standbyTransponderCode() const { return standbyTransponderCode_.load(); }

private:
    static constexpr unsigned kDefaultCoalescenceTime = 250;
    static constexpr unsigned kDefaultRepeatThreshold = 10;
    static constexpr unsigned kDefaultChangeThreshold = 5;

    void bind();
    XPLMDataRef ref(radio::DatarefIndex index) const { return handles_[index]; }
    std::size_t dmeSettingOffset() const;

    void swapActiveStandby(const radio::RowParameters &row);
    void applySteps(const radio::RowParameters &row, radio::StepKind kind, int steps);

    // The profile's radio for a row's target, when it binds one; else nullptr.
    const profile::RadioBinding *profileRadio(radio::RadioTarget target) const;
    int radioValue(radio::RadioTarget target, bool standby, radio::DatarefIndex builtIn) const;

    const int unit_;
    profile::Profile *profile_ = nullptr;  // simulator thread

    // Simulator thread only.
    XPLMDataRef handles_[radio::kDatarefCount] = {};
    radio::RotaryFilter filter_;

    // Written by handleEvent on the simulator thread, read by sendReport on
    // the refresh thread.
    std::atomic<bool> upperTransponder_{false};
    std::atomic<bool> lowerTransponder_{false};
    std::atomic<int> lowerMode_{radio::kModeNav1};
    std::atomic<int> standbyTransponderCode_{0};

    // Guarded by dataLock.
    radio::RadioCache cache_;
};

}  // namespace drovanel

#endif
