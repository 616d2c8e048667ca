// A small aircraft for the virtual cockpit: the simulator's own reactions to
// the commands the plug-in fires (avionics, gear, lights, autopilot modes),
// so that the panels show a cockpit that answers. The plug-in writes the
// datarefs it owns itself (battery, autopilot mode, frequencies); this model
// covers what the real simulator does in answer to a command.
#ifndef DROVANEL_HOSTSIM_SIM_AIRCRAFT_H
#define DROVANEL_HOSTSIM_SIM_AIRCRAFT_H

#include <cstddef>

namespace hostsim {
namespace sim {

class Aircraft {
public:
    // A retractable single with one battery and one generator, three tanks
    // a quarter full, gear up and every switch off.
    void reset();

    // Answers the commands fired since the last call and moves the gear one
    // flight loop further. Call once per flight loop, on the simulator thread.
    void step();

    // Gear travel per flight loop: a full swing takes 30 loops (1.5 s).
    static constexpr float kGearStep = 1.0f / 30.0f;

private:
    void answer(const char *path);

    std::size_t seen_ = 0;    // command journal entries already answered
    float gearTarget_ = 0.0f;
};

}  // namespace sim
}  // namespace hostsim

#endif
