// The Radio Panel's display report: four five-digit displays, two a row
// (active value first, standby second), built from the values cached from
// the simulator and the panel's selector state. Pure: no device, host or
// thread.
#ifndef DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_CODEC_H
#define DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_CODEC_H

#include <cstddef>
#include <cstdint>

#include "radiopanel_datarefs.h"
#include "radiopanel_input.h"

namespace drovanel {
namespace radio {

// Display report: id, upper active, upper standby, lower active, lower
// standby (five positions each), two trailing blank bytes.
constexpr std::size_t kDisplayReportSize = 23;
constexpr std::uint8_t kDisplayReportId = 0x00;
constexpr std::size_t kDigitsPerDisplay = 5;
constexpr std::size_t kUpperActiveOffset = 1;
constexpr std::size_t kUpperStandbyOffset = 6;
constexpr std::size_t kLowerActiveOffset = 11;
constexpr std::size_t kLowerStandbyOffset = 16;
constexpr std::size_t kDisplayEndOffset = 21;  // bytes 21 and 22 stay blank
static_assert(kLowerStandbyOffset + kDigitsPerDisplay == kDisplayEndOffset, "four displays");
static_assert(kDisplayEndOffset + 2 == kDisplayReportSize, "display report is 23 bytes");

// Position codes: 0x00-0x09 a digit, 0xD0-0xD9 a digit with its decimal
// point lit, 0xFF blank.
constexpr std::uint8_t kBlankCode = 0xFF;
constexpr std::uint8_t kDecimalPointCode = 0xD0;

// The report sent at start: id 0xFF, then zeros.
constexpr std::size_t kCheckReportSize = 23;
constexpr std::uint8_t kCheckReportId = 0xFF;

// The simulator values the displays show, cached by the flight loop.
struct RadioCache {
    int upperMode = 0;
    int nav1Freq = 0, nav1Stdby = 0;
    float nav1DmeDist = 0.0f, nav1DmeSpeed = 0.0f;
    int nav2Freq = 0, nav2Stdby = 0;
    float nav2DmeDist = 0.0f, nav2DmeSpeed = 0.0f;
    int com1Freq = 0, com1Stdby = 0, com2Freq = 0, com2Stdby = 0;
    int adf1Freq = 0, adf1Stdby = 0;
    float adf1DmeDist = 0.0f, adf1DmeSpeed = 0.0f;
    int adf2Freq = 0, adf2Stdby = 0, dmeFreq = 0, dmeStdby = 0;
    float standaloneDmeDist = 0.0f, standaloneDmeSpeed = 0.0f;
    int transponderCode = 0;
    int batteries[kMaxBatteries] = {};
    int batteryCount = 0;
    int apuGenerator = 0;
    int avionics = 0;
};

// The panel's own state that the displays depend on.
struct PanelSelection {
    bool upperTransponder = false;
    bool lowerTransponder = false;
    int lowerMode = 0;
    int standbyTransponderCode = 0;
    bool dmeInSecondSegment = false;
};

enum class DisplayFormat { Frequency, ThreeDigit, Transponder, Blank };

struct DisplayPair {
    DisplayFormat format;
    int first;   // active display
    int second;  // standby display
};

// What one row shows for its selection (a set transponder flag overrides).
DisplayPair displayPair(Row row, int selection, const RadioCache &cache, const PanelSelection &panel);

// Fills five position codes for value in format.
void encodeValue(DisplayFormat format, int value, std::uint8_t *positions);

// The displays light only with avionics on and a battery or the APU
// generator on.
bool displaysPowered(const RadioCache &cache);

// A cached float readout shown in hundredths, truncated toward zero.
int hundredths(float value);

void encodeDisplayReport(const RadioCache &cache, const PanelSelection &panel, std::uint8_t *report);

}  // namespace radio
}  // namespace drovanel

#endif
