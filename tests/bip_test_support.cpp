#include "tests/bip_test_support.h"

#include <fstream>

#include "hostsim/hostsim.h"
#include "hostsim/panels/bip.h"
#include "tick.h"

namespace drovanel {
namespace test {

std::atomic<std::uint32_t> fakeTick{1000};
std::uint32_t fakeTickSource() { return fakeTick.load(); }

void BipFixture::SetUp() {
    hostsim::reset();
    fakeTick.store(1000);
    setTickSource(fakeTickSource);
}

void BipFixture::TearDown() { setTickSource(nullptr); }

void powerOn() {
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 1);
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
}

void powerOff() {
    for (int i = 0; i < 8; ++i) {
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", i, 0);
        hostsim::setIntAt("sim/cockpit/electrical/generator_on", i, 0);
    }
    hostsim::setInt("sim/cockpit/electrical/generator_apu_on", 0);
    hostsim::setInt("sim/cockpit/engine/APU_running", 0);
}

std::string writeFile(const std::string &name, const std::string &text) {
    std::string path = hostsim::prefsFile(name);
    std::ofstream out(path, std::ios::binary);
    out << text;
    return path;
}

std::string writeConfig(const std::string &entries, const std::string &name) {
    return writeFile(name, "<?xml version=\"1.0\"?>\n<Bip><BipProgramming Brightness=\"100\">\n" + entries +
                               "</BipProgramming></Bip>\n");
}

std::string lense(const std::string &assignment, const std::string &colour, const std::string &id,
                  const std::string &flash) {
    return "<Lense><Assignment>" + assignment + "</Assignment><Colour>" + colour + "</Colour><Id>" + id +
           "</Id>" + flash + "</Lense>\n";
}

std::vector<std::vector<std::uint8_t>> FeatureRecord::all() {
    std::lock_guard<std::mutex> hold(lock);
    return reports;
}

std::vector<std::uint8_t> FeatureRecord::latest(std::uint8_t reportId) {
    std::lock_guard<std::mutex> hold(lock);
    for (auto it = reports.rbegin(); it != reports.rend(); ++it) {
        if (!it->empty() && (*it)[0] == reportId) return *it;
    }
    return {};
}

bool RecordingDevice::setFeature(const std::uint8_t *buffer, int size) {
    std::lock_guard<std::mutex> hold(record_->lock);
    record_->reports.emplace_back(buffer, buffer + size);
    return true;
}

std::string lensString(const std::vector<std::uint8_t> &lampReport) {
    std::string joined;
    for (const std::string &colour : hostsim::bip::lensColours(lampReport)) joined += colour;
    return joined;
}

}  // namespace test
}  // namespace drovanel
