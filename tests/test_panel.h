// A driver that records what the base hands it, for tests of the base.
#ifndef DROVANEL_TESTS_TEST_PANEL_H
#define DROVANEL_TESTS_TEST_PANEL_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "abstract_panel.h"

namespace drovanel {

struct SeenEvent {
    std::vector<std::uint8_t> bytes;
    std::uint32_t length;
    std::uint8_t flag;
    std::uint32_t tick;
};

class TestPanel : public AbstractPanel {
public:
    explicit TestPanel(HidDevice *device, const char *name = "TestPanel", unsigned coalescence = 250,
                       unsigned repeat = 10, unsigned change = 5)
        : AbstractPanel(device, name, standardReader, standardRefresh, coalescence, repeat, change) {}
    ~TestPanel() override { teardown(); }

    void sendReport() override { reports.fetch_add(1); }
    void handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag,
                     std::uint32_t tick) override {
        seen.push_back({std::vector<std::uint8_t>(bytes, bytes + 4), length, flag, tick});
    }

    using AbstractPanel::exchangeReadingBack;
    using AbstractPanel::requestDeviceExchange;
    void deviceExchange() override {
        exchangeThread = std::this_thread::get_id();
        // Reports sent before this exchange, kept per exchange.
        reportsBeforeExchange[exchanges.load() % 4] = reports.load();
        exchanges.fetch_add(1);
    }

    std::atomic<int> reports{0};
    std::atomic<int> exchanges{0};
    std::atomic<int> reportsBeforeExchange[4] = {};
    std::thread::id exchangeThread;  // read after the thread is joined
    std::vector<SeenEvent> seen;  // simulator thread only (drainEvents)
};

}  // namespace drovanel

#endif
