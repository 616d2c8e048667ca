#include <gtest/gtest.h>

#include <chrono>

#include "hostsim/hostsim.h"
#include "test_panel.h"

namespace drovanel {
namespace {

TEST(PanelBase32Test, TeardownDoesNotWaitARefreshPeriod) {
    hostsim::reset();
    TestPanel panel(nullptr);
    panel.setRefreshPeriod(3000);
    panel.start();
    auto begin = std::chrono::steady_clock::now();
    panel.teardown();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(1000));
}

}  // namespace
}  // namespace drovanel
