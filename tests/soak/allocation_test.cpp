// Once running, the plug-in allocates nothing in the flight loop or its
// refresh and reader threads. Global operator new is replaced by a counter
// that, while armed, attributes each allocation to the code that asked for
// it: an allocation with the host simulator (libhostsim) anywhere on its
// stack is the host's bookkeeping (its journals, log and feature-report
// records grow by design) and is not counted against the plug-in; any other
// is. The stack is what tells, not the innermost frame: the executable
// exports its template instances, so the host's vector and string code may
// run from this binary's copy. The plug-in is entered here only directly
// (flight loop) or from its own threads, never through the host, and the
// test's own code allocates nothing while armed (its reports are built
// beforehand).
//
// Not built with the sanitizers, which bring their own operator new.
#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "five_panels.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "plugin/plugin_core.h"

namespace {

struct Range {
    std::uintptr_t begin = 0, end = 0;
    bool contains(std::uintptr_t a) const { return a >= begin && a < end; }
};

Range hostRange;     // libhostsim's code

std::atomic<bool> armed{false};
std::atomic<long> pluginAllocations{0};
std::atomic<long> hostAllocations{0};
std::atomic<void *> firstPluginCaller{nullptr};
std::atomic<bool> traceFirst{false};
thread_local bool inHook = false;

int findRanges(dl_phdr_info *info, std::size_t, void *) {
    if (info->dlpi_name == nullptr || std::strstr(info->dlpi_name, "libhostsim") == nullptr) return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_LOAD || (ph.p_flags & PF_X) == 0) continue;
        Range &r = hostRange;
        r.begin = info->dlpi_addr + ph.p_vaddr;
        r.end = r.begin + ph.p_memsz;
    }
    return 0;
}

void classify() {
    void *frames[32];
    const int n = backtrace(frames, 32);
    for (int i = 0; i < n; ++i) {
        if (hostRange.contains(reinterpret_cast<std::uintptr_t>(frames[i]))) {
            hostAllocations.fetch_add(1);
            return;
        }
    }
    void *expected = nullptr;
    if (firstPluginCaller.compare_exchange_strong(expected, n > 1 ? frames[1] : nullptr) && traceFirst.load()) {
        backtrace_symbols_fd(frames, n, 2);  // the first one's stack, to stderr
    }
    pluginAllocations.fetch_add(1);
}

void *countedAlloc(std::size_t size) {
    if (armed.load(std::memory_order_relaxed) && !inHook) {
        inHook = true;
        classify();
        inHook = false;
    }
    if (void *p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

}  // namespace

void *operator new(std::size_t size) { return countedAlloc(size); }
void *operator new[](std::size_t size) { return countedAlloc(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
    try {
        return countedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
    try {
        return countedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }

namespace drovanel {
namespace soak {
namespace {

constexpr long kFlightLoops = 10000;
constexpr long kRefreshCycles = 1000;

// Refresh cycles the panels have run: one feature report per cycle, two
// for the BIP (brightness, then lamps).
long refreshCycles() {
    long cycles = 0;
    for (int device = 0; device < kDeviceCount; ++device) {
        const long reports = static_cast<long>(hostsim::featureReports(device).size());
        cycles += device == kBipDevice ? reports / 2 : reports;
    }
    return cycles;
}

TEST(AllocationTest, NoneInFlightLoopsOrRefreshCyclesOnceRunning) {
    dl_iterate_phdr(findRanges, nullptr);
    ASSERT_NE(hostRange.end, 0u) << "libhostsim not found";
    {
        void *warm[4];
        backtrace(warm, 4);  // loads the unwinder before counting starts
    }
    ASSERT_EQ(startFivePanels(), 24);

    namespace mp = hostsim::multipanel;
    namespace rp = hostsim::radiopanel;
    namespace sp = hostsim::switchpanel;
    sp::Switches on;
    on.battery = on.beacon = true;
    on.magneto = sp::Magneto::Both;
    struct Input {
        int device;
        std::vector<std::uint8_t> report;
    };
    const std::vector<Input> inputs = {
        {kMultiDevice, mp::encoderReport(mp::Selector::Hdg, mp::Encoder::Up)},
        {kMultiDevice, mp::selectorReport(mp::Selector::Alt)},
        {kSwitchDevice, sp::inputReport(on)},
        {kSwitchDevice, sp::inputReport(sp::Switches{})},
        {kRadio1Device, rp::inputReport(rp::Selector::Com1, rp::Selector::Nav2, rp::kUpperFineUp)},
        {kRadio2Device, rp::inputReport(rp::Selector::Adf, rp::Selector::Xpdr, rp::kLowerCoarseDown)},
    };
    // Running: every panel has had live input and a few loops.
    for (const Input &input : inputs) hostsim::queueInput(input.device, input.report);
    for (int i = 0; i < 20; ++i) {
        flightLoop();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Short refresh periods give the BIP, Switch and Radio Panels many
    // cycles in a short test; the Multi Panel sets its own period.
    for (PanelSlot slot : {PanelSlot::Switchpanel, PanelSlot::Radiopanel1, PanelSlot::Radiopanel2, PanelSlot::Bip}) {
        panelInSlot(slot)->setRefreshPeriod(2);
    }
    hostsim::clearLog();

    // The counter sees an allocation outside the host: one of the test's own.
    armed.store(true);
    delete new volatile int(1);
    armed.store(false);
    ASSERT_EQ(pluginAllocations.exchange(0), 1);
    firstPluginCaller.store(nullptr);
    traceFirst.store(true);

    const long cyclesBefore = refreshCycles();
    armed.store(true);
    long loops = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    long cycles = 0;
    while ((loops < kFlightLoops || cycles < kRefreshCycles) && std::chrono::steady_clock::now() < deadline) {
        if (loops % 10 == 0) {
            const Input &input = inputs[static_cast<std::size_t>(loops / 10) % inputs.size()];
            hostsim::queueInput(input.device, input.report);
        }
        if (loops == kFlightLoops / 2) {
            // The second half runs with the x737's autopilot; the message
            // that announces it is not a flight loop and is not counted.
            armed.store(false);
            x737Arrives();
            armed.store(true);
        }
        if (loops == kFlightLoops * 3 / 4) {
            // The last quarter flies an aircraft whose profile binds every
            // control; the load (reading the file) is not a flight loop.
            armed.store(false);
            x737Leaves();
            ASSERT_TRUE(loadFullyProfiledAircraft());
            armed.store(true);
        }
        flightLoop();
        ++loops;
        // The host's log grows with the 64-bit trace; emptying it keeps its
        // capacity, so the host's own appends stop allocating too.
        if (loops % 100 == 0) hostsim::clearLog();
        // Copying the host's report records is costly: count now and then.
        if (loops % 1000 == 0) cycles = refreshCycles() - cyclesBefore;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    armed.store(false);
    cycles = refreshCycles() - cyclesBefore;
    stopPlugin();

    std::printf("allocations: %ld flight loops, %ld refresh cycles; plug-in %ld, host records %ld\n", loops,
                cycles, pluginAllocations.load(), hostAllocations.load());
    EXPECT_GE(loops, kFlightLoops);
    EXPECT_GE(cycles, kRefreshCycles);
    Dl_info info{};
    void *caller = firstPluginCaller.load();
    EXPECT_EQ(pluginAllocations.load(), 0)
        << "first from " << caller << " "
        << (caller != nullptr && dladdr(caller, &info) && info.dli_sname ? info.dli_sname : "?");
    EXPECT_GT(hostAllocations.load(), 0) << "the host's records are seen, so the attribution works";
}

}  // namespace
}  // namespace soak
}  // namespace drovanel
