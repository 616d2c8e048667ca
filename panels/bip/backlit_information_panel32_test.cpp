// The BIP in the 32-bit build's behaviour.
#include <memory>

#include "backlit_information_panel.h"
#include "tests/bip_test_support.h"

namespace drovanel {
namespace {

class Bip32Test : public test::BipFixture {};

TEST_F(Bip32Test, KeepsTheBaseRefreshPeriod) {
    auto record = std::make_shared<test::FeatureRecord>();
    BacklitInformationPanel panel(new test::RecordingDevice(record));
    EXPECT_EQ(panel.refreshPeriod(), 500u);
    panel.teardown();
}

}  // namespace
}  // namespace drovanel
