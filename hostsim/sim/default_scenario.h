// The scenario drovanel-sim plays when none is named: default.scenario,
// built into the program.
#ifndef DROVANEL_HOSTSIM_SIM_DEFAULT_SCENARIO_H
#define DROVANEL_HOSTSIM_SIM_DEFAULT_SCENARIO_H

namespace hostsim {
namespace sim {

const char *defaultScenario();

}  // namespace sim
}  // namespace hostsim

#endif
