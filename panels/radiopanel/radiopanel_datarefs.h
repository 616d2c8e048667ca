// The simulator datarefs the Radio Panel binds, in binding order.
#ifndef DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_DATAREFS_H
#define DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_DATAREFS_H

#include <cstddef>

namespace drovanel {
namespace radio {

enum DatarefIndex : std::size_t {
    kUpperModeRef = 0,
    kNav1FreqRef,
    kNav1StdbyRef,
    kNav1DmeDistRef,
    kNav1DmeSpeedRef,
    kNav2FreqRef,
    kNav2StdbyRef,
    kNav2DmeDistRef,
    kNav2DmeSpeedRef,
    kCom1FreqRef,
    kCom1StdbyRef,
    kCom2FreqRef,
    kCom2StdbyRef,
    kAdf1FreqRef,
    kAdf1StdbyRef,
    kAdf1DmeDistRef,
    kAdf1DmeSpeedRef,
    kAdf2FreqRef,
    kAdf2StdbyRef,
    kDmeFreqRef,
    kDmeStdbyRef,
    kStandaloneDmeDistRef,
    kStandaloneDmeSpeedRef,
    kTransponderCodeRef,
    kBatteryArrayRef,
    kApuGeneratorRef,
    kAvionicsRef,
    kDatarefCount
};

constexpr const char *kDatarefPaths[kDatarefCount] = {
    "sim/cockpit/radios/nav_com_adf_mode",
    "sim/cockpit/radios/nav1_freq_hz",
    "sim/cockpit/radios/nav1_stdby_freq_hz",
    "sim/cockpit/radios/nav1_dme_dist_m",
    "sim/cockpit/radios/nav1_dme_speed_kts",
    "sim/cockpit/radios/nav2_freq_hz",
    "sim/cockpit/radios/nav2_stdby_freq_hz",
    "sim/cockpit/radios/nav2_dme_dist_m",
    "sim/cockpit/radios/nav2_dme_speed_kts",
    "sim/cockpit/radios/com1_freq_hz",
    "sim/cockpit/radios/com1_stdby_freq_hz",
    "sim/cockpit/radios/com2_freq_hz",
    "sim/cockpit/radios/com2_stdby_freq_hz",
    "sim/cockpit/radios/adf1_freq_hz",
    "sim/cockpit/radios/adf1_stdby_freq_hz",
    "sim/cockpit/radios/adf1_dme_dist_m",
    "sim/cockpit/radios/adf1_dme_speed_kts",
    "sim/cockpit/radios/adf2_freq_hz",
    "sim/cockpit/radios/adf2_stdby_freq_hz",
    "sim/cockpit/radios/dme_freq_hz",
    "sim/cockpit/radios/dme_stdby_freq_hz",
    "sim/cockpit/radios/standalone_dme_dist_m",
    "sim/cockpit/radios/standalone_dme_speed_kts",
    "sim/cockpit/radios/transponder_code",
    "sim/cockpit/electrical/battery_array_on",
    "sim/cockpit/electrical/generator_apu_on",
    "sim/cockpit/electrical/avionics_on",
};

// The battery array holds up to this many entries.
constexpr int kMaxBatteries = 8;

}  // namespace radio
}  // namespace drovanel

#endif
