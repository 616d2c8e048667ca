// The x737 plug-in's datarefs in the host, unpublished until it arrives.
#include "hostsim/panels/x737.h"

#include "hostsim/hostsim.h"

namespace hostsim {
namespace x737 {

namespace {

const DatarefSpec kDatarefs[] = {
    {"x737/systems/afds/plugin_status", DataType::Int, 1, false},
    {"x737/systems/afds/CMD_A", DataType::Int, 1, false},
    {"x737/systems/afds/fdA_status", DataType::Int, 1, false},
    {"x737/systems/afds/HDG", DataType::Int, 1, false},
    {"x737/systems/afds/VORLOC_armed", DataType::Int, 1, false},
    {"x737/systems/afds/VORLOC", DataType::Int, 1, false},
    {"x737/systems/athr/athr_armed", DataType::Int, 1, false},
    {"x737/systems/athr/MCPSPD_mode", DataType::Int, 1, false},
    {"x737/systems/afds/ALTHLD", DataType::Int, 1, false},
    {"x737/systems/afds/APP_toggle", DataType::Int, 1, false},
    {"x737/systems/afds/VS_arm", DataType::Int, 1, false},
    {"x737/systems/afds/VS", DataType::Int, 1, false},
    {"x737/systems/afds/ALTHLD_baroalt", DataType::Float, 1, false},
    {"x737/systems/afds/VS_vvi", DataType::Float, 1, false},
    {"x737/systems/athr/MCPSPD_spd", DataType::Float, 1, false},
    {"x737/systems/athr/MCPSPD_spdkias", DataType::Float, 1, false},
    {"x737/systems/athr/MCPSPD_ismach", DataType::Int, 1, false},
    {"x737/systems/afds/HDG_magnhdg", DataType::Float, 1, false},
    {"x737/systems/athr/MCPSPD_overspeed", DataType::Int, 1, false},
};
constexpr std::size_t kCount = sizeof kDatarefs / sizeof kDatarefs[0];

[[maybe_unused]] const bool kRegistered = [] {
    registerDatarefs(kDatarefs, kCount);
    return true;
}();

}  // namespace

int arrive(int status) {
    for (const DatarefSpec &entry : kDatarefs) publish(entry.path);
    setInt(kStatusPath, status);
    return addPluginIdentity(kPluginName);
}

void leave() {
    for (const DatarefSpec &entry : kDatarefs) unpublish(entry.path);
}

}  // namespace x737
}  // namespace hostsim
