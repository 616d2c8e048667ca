// The host's side of a Multi Panel: input reports built from named controls,
// and the 13-byte display report read back as the two rows and the lit lamps.
#ifndef DROVANEL_HOSTSIM_PANELS_MULTIPANEL_H
#define DROVANEL_HOSTSIM_PANELS_MULTIPANEL_H

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {
namespace multipanel {

enum class Selector { None, Alt, Vs, Ias, Hdg, Crs };
enum class Encoder { Rest, Up, Down };  // one notch up or down

// Every control of the panel. The default rests at ALT with nothing pressed
// and the auto-throttle switch off.
struct Controls {
    Selector selector = Selector::Alt;
    Encoder encoder = Encoder::Rest;
    bool ap = false;
    bool hdg = false;
    bool nav = false;
    bool ias = false;
    bool alt = false;
    bool vs = false;
    bool apr = false;
    bool rev = false;
    bool autothrottle = false;
    bool flapsUp = false;
    bool flapsDown = false;
    bool trimDown = false;
    bool trimUp = false;
};

// The 4-byte input report (report id 0 first) for those controls.
std::vector<std::uint8_t> inputReport(const Controls &controls);

// Shorthands: the panel resting at a selector position, and one encoder
// notch there.
std::vector<std::uint8_t> selectorReport(Selector selector);
std::vector<std::uint8_t> encoderReport(Selector selector, Encoder encoder);

// The 13-byte feature report the panel answers a state read with: report id
// 0, then byte 1 of the input report.
std::vector<std::uint8_t> stateAnswer(Selector selector);

// The display as a person reads it.
struct Display {
    bool valid = false;     // a 13-byte report was given
    bool dark = false;      // the panel is unpowered
    std::string top;        // five positions; '.' follows a digit with its point
    std::string bottom;     // '-' minus, ' ' blank, '?' an unknown code
    std::vector<std::string> lamps;  // lit lamps: AP HDG NAV IAS ALT VS APR REV

    bool lit(const std::string &lamp) const;
    // "[35000] [-1500] AP ALT", "dark" or "no display report".
    std::string text() const;
};

Display decodeDisplay(const std::vector<std::uint8_t> &featureReport);
// One row of five digit codes as text.
std::string rowText(const std::uint8_t *row);

}  // namespace multipanel
}  // namespace hostsim

#endif
