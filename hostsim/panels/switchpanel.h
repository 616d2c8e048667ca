// The host's side of a Switch Panel: input reports built from named switch
// positions, and the lamp report read back as the three gear lamps.
#ifndef DROVANEL_HOSTSIM_PANELS_SWITCHPANEL_H
#define DROVANEL_HOSTSIM_PANELS_SWITCHPANEL_H

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {
namespace switchpanel {

enum class Magneto { Off, Right, Left, Both, Start };
enum class GearLever { Up, Down };

// Every switch of the panel; the default is all off, magnetos OFF, gear up.
struct Switches {
    bool battery = false;
    bool generator = false;
    bool avionics = false;
    bool fuelPump = false;
    bool deIce = false;
    bool pitotHeat = false;
    bool cowlFlapsClosed = false;
    bool panelLights = false;
    bool beacon = false;
    bool nav = false;
    bool strobe = false;
    bool taxi = false;
    bool landing = false;
    Magneto magneto = Magneto::Off;
    GearLever gear = GearLever::Up;
};

// The 4-byte input report (report id 0 first) for those positions.
std::vector<std::uint8_t> inputReport(const Switches &switches);

enum class Lamp { Off, Down, InTransit, Both };

// Lamp positions 1 to 3 (index 0 to 2) from the lamp byte.
Lamp gearLamp(std::uint8_t lampByte, int position);

// The three lamps as text, e.g. "1 down, 2 in transit, 3 off"; a position
// with both lamps lit reads "down+in transit".
std::string gearLampsText(std::uint8_t lampByte);
// The same from a whole 2-byte feature report; "no lamp report" otherwise.
std::string gearLampsText(const std::vector<std::uint8_t> &featureReport);

}  // namespace switchpanel
}  // namespace hostsim

#endif
