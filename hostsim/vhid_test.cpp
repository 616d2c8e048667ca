// The virtual HID contract as the plug-in's backend sees it, and the test's
// side of the devices: input, feature reports, faults, unplugging.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "hostsim/hostsim.h"

extern "C" {
int drovanel_vhid_count(void);
int drovanel_vhid_info(int index, char *path, int path_size, unsigned short *vendor_id, unsigned short *product_id);
void *drovanel_vhid_open(const char *path);
int drovanel_vhid_read(void *handle, unsigned char *buffer, int size);
void drovanel_vhid_cancel(void *handle);
int drovanel_vhid_set_feature(void *handle, const unsigned char *buffer, int size);
int drovanel_vhid_get_feature(void *handle, unsigned char *buffer, int size);
void drovanel_vhid_close(void *handle);
}

namespace {

using Bytes = std::vector<std::uint8_t>;

// A read on its own thread, as the plug-in's reader does it.
class BlockedRead {
public:
    explicit BlockedRead(void *handle)
        : thread_([this, handle] {
              result_ = drovanel_vhid_read(handle, buffer_, sizeof buffer_);
              done_ = true;
          }) {}
    ~BlockedRead() {
        if (thread_.joinable()) thread_.join();
    }
    // Whether the read is still blocked after a short while.
    bool stillBlocked() {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        return !done_;
    }
    int finish() {
        thread_.join();
        return result_;
    }
    const unsigned char *bytes() const { return buffer_; }

private:
    unsigned char buffer_[8] = {};
    int result_ = -2;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class VhidTest : public testing::Test {
protected:
    void SetUp() override { hostsim::reset(); }
    void TearDown() override { hostsim::reset(); }
};

TEST_F(VhidTest, ListInfoAndOpen) {
    EXPECT_EQ(drovanel_vhid_count(), 0);
    int multi = hostsim::attach(hostsim::PanelKind::Multi);
    int bip = hostsim::attach(hostsim::PanelKind::Bip);
    int other = hostsim::attachDevice(0x1234, 0x0001);
    EXPECT_EQ(multi, 0);
    EXPECT_EQ(drovanel_vhid_count(), 3);

    char path[16];
    unsigned short vid = 0, pid = 0;
    ASSERT_EQ(drovanel_vhid_info(1, path, sizeof path, &vid, &pid), 1);
    EXPECT_STREQ(path, "vhid:1");
    EXPECT_EQ(vid, 0x06A3);
    EXPECT_EQ(pid, 0x0B4E);
    EXPECT_EQ(drovanel_vhid_info(3, path, sizeof path, &vid, &pid), 0);
    EXPECT_EQ(drovanel_vhid_info(-1, path, sizeof path, &vid, &pid), 0);
    char tiny[4];
    ASSERT_EQ(drovanel_vhid_info(0, tiny, sizeof tiny, nullptr, nullptr), 1);
    EXPECT_STREQ(tiny, "vhi");

    void *h = drovanel_vhid_open("vhid:0");
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(hostsim::deviceOpen(multi));
    EXPECT_EQ(drovanel_vhid_open("vhid:9"), nullptr);
    EXPECT_EQ(drovanel_vhid_open(nullptr), nullptr);
    hostsim::failOpen(bip, true);
    EXPECT_EQ(drovanel_vhid_open("vhid:1"), nullptr);
    EXPECT_EQ(hostsim::openCount(bip), 0);

    // Unplugging takes the device out of the list; the rest keep their paths.
    hostsim::detach(bip);
    EXPECT_EQ(hostsim::deviceCount(), 2);
    ASSERT_EQ(drovanel_vhid_info(1, path, sizeof path, &vid, &pid), 1);
    EXPECT_STREQ(path, "vhid:2");
    EXPECT_EQ(pid, 0x0001);
    hostsim::failOpen(bip, false);
    EXPECT_EQ(drovanel_vhid_open("vhid:1"), nullptr);
    (void)other;

    drovanel_vhid_close(h);
    EXPECT_FALSE(hostsim::deviceOpen(multi));
    EXPECT_EQ(hostsim::openCount(multi), 1);
    EXPECT_THROW(hostsim::queueInput(7, {0}), std::out_of_range);
}

TEST_F(VhidTest, ReadBlocksUntilInputCancelOrUnplug) {
    int multi = hostsim::attach(hostsim::PanelKind::Multi);
    void *h = drovanel_vhid_open("vhid:0");
    {
        BlockedRead read(h);
        EXPECT_TRUE(read.stillBlocked());
        hostsim::queueInput(multi, {0x00, 0x01, 0x02, 0x03});
        EXPECT_EQ(read.finish(), 4);
        EXPECT_EQ(read.bytes()[3], 0x03);
    }
    // Queued reports come one a read, in order; a short buffer gets a prefix.
    hostsim::queueInput(multi, {0x00, 0x10, 0x00, 0x00});
    hostsim::queueInput(multi, {0x00, 0x20});
    EXPECT_EQ(hostsim::pendingInput(multi), 2);
    unsigned char buffer[4];
    EXPECT_EQ(drovanel_vhid_read(h, buffer, 2), 2);
    EXPECT_EQ(buffer[1], 0x10);
    EXPECT_EQ(drovanel_vhid_read(h, buffer, 4), 2);
    EXPECT_EQ(buffer[1], 0x20);

    {
        BlockedRead read(h);
        EXPECT_TRUE(read.stillBlocked());
        drovanel_vhid_cancel(h);
        EXPECT_EQ(read.finish(), 0);
    }
    hostsim::queueInput(multi, {0x00, 0x01, 0x02, 0x03});
    EXPECT_EQ(drovanel_vhid_read(h, buffer, 4), 0);  // cancelled for good
    drovanel_vhid_close(h);

    h = drovanel_vhid_open("vhid:0");
    EXPECT_EQ(drovanel_vhid_read(h, buffer, 4), 4);  // the report left by the cancelled handle
    {
        BlockedRead read(h);
        EXPECT_TRUE(read.stillBlocked());
        hostsim::detach(multi);
        EXPECT_EQ(read.finish(), 0);
    }
    EXPECT_EQ(drovanel_vhid_read(h, buffer, 4), 0);
    EXPECT_EQ(drovanel_vhid_set_feature(h, buffer, 4), 0);
    drovanel_vhid_close(h);

    // reset() leaves no reader hanging, and old handles stay dead.
    EXPECT_EQ(hostsim::attach(hostsim::PanelKind::Radio), 1);
    h = drovanel_vhid_open("vhid:1");
    ASSERT_NE(h, nullptr);
    {
        BlockedRead read(h);
        EXPECT_TRUE(read.stillBlocked());
        hostsim::reset();
        EXPECT_EQ(read.finish(), 0);
    }
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::queueInput(0, {0x00, 0x01, 0x02, 0x03});
    EXPECT_EQ(drovanel_vhid_read(h, buffer, 4), 0);
    EXPECT_EQ(hostsim::pendingInput(0), 1);
}

TEST_F(VhidTest, PlugBringsADeviceBackUnderANewPathAndOldHandlesStayGone) {
    hostsim::attach(hostsim::PanelKind::Multi);
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    void *old = drovanel_vhid_open("vhid:1");
    ASSERT_NE(old, nullptr);
    hostsim::detach(radio);
    EXPECT_EQ(drovanel_vhid_count(), 1);
    hostsim::plug(radio);
    hostsim::plug(radio);  // plugged already: nothing happens
    EXPECT_EQ(drovanel_vhid_count(), 2);
    EXPECT_EQ(hostsim::devicePath(radio), "vhid:1.2");
    char path[32] = {};
    unsigned short vendor = 0, product = 0;
    ASSERT_EQ(drovanel_vhid_info(1, path, sizeof path, &vendor, &product), 1);
    EXPECT_STREQ(path, "vhid:1.2");
    EXPECT_EQ(drovanel_vhid_open("vhid:1"), nullptr) << "the old path is gone";

    hostsim::queueInput(radio, {0x00, 0x01, 0x02, 0x03});
    unsigned char buffer[4] = {0, 1, 2, 3};
    EXPECT_EQ(drovanel_vhid_read(old, buffer, 4), 0) << "a handle from before the unplug stays gone";
    EXPECT_EQ(drovanel_vhid_set_feature(old, buffer, 4), 0);
    EXPECT_EQ(drovanel_vhid_get_feature(old, buffer, 4), 0);
    void *fresh = drovanel_vhid_open("vhid:1.2");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(drovanel_vhid_read(fresh, buffer, 4), 4);
    EXPECT_EQ(drovanel_vhid_set_feature(fresh, buffer, 4), 1);
    drovanel_vhid_close(old);
    drovanel_vhid_close(fresh);
    EXPECT_EQ(hostsim::openCount(radio), 2);
}

TEST_F(VhidTest, PlugAtTheSamePathListsAsBeforeAndOldHandlesStayGone) {
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::setReplug(hostsim::Replug::SamePath);
    void *old = drovanel_vhid_open("vhid:0");
    ASSERT_NE(old, nullptr);
    hostsim::detach(radio);
    EXPECT_EQ(drovanel_vhid_open("vhid:0"), nullptr) << "unplugged";
    hostsim::plug(radio);
    EXPECT_EQ(hostsim::devicePath(radio), "vhid:0");
    char path[32] = {};
    ASSERT_EQ(drovanel_vhid_info(0, path, sizeof path, nullptr, nullptr), 1);
    EXPECT_STREQ(path, "vhid:0");

    unsigned char buffer[4] = {0, 1, 2, 3};
    EXPECT_EQ(drovanel_vhid_read(old, buffer, 4), 0) << "the path is the same, the appearance is not";
    EXPECT_EQ(drovanel_vhid_set_feature(old, buffer, 4), 0);
    void *fresh = drovanel_vhid_open("vhid:0");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(drovanel_vhid_set_feature(fresh, buffer, 4), 1);
    drovanel_vhid_close(old);
    drovanel_vhid_close(fresh);

    hostsim::reset();
    radio = hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::detach(radio);
    hostsim::plug(radio);
    EXPECT_EQ(hostsim::devicePath(radio), "vhid:0.2") << "reset() brings back new paths";
}

TEST_F(VhidTest, FailingReadsAreCountedAndWakeABlockedReader) {
    int sw = hostsim::attach(hostsim::PanelKind::Switch);
    void *h = drovanel_vhid_open("vhid:0");
    {
        BlockedRead read(h);
        EXPECT_TRUE(read.stillBlocked());
        hostsim::failReads(sw, true);
        EXPECT_EQ(read.finish(), -1);
    }
    unsigned char buffer[4];
    EXPECT_EQ(drovanel_vhid_read(h, buffer, 4), -1);
    EXPECT_EQ(hostsim::readAttempts(sw), 2);
    hostsim::failReads(sw, false);
    hostsim::queueInput(sw, {0x00, 0x00, 0x00, 0x08});
    EXPECT_EQ(drovanel_vhid_read(h, buffer, 4), 4);
    EXPECT_EQ(hostsim::readAttempts(sw), 3);
    drovanel_vhid_close(h);
}

TEST_F(VhidTest, FeatureReportsAreRecordedAnsweredAndAwaited) {
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    void *h = drovanel_vhid_open("vhid:0");
    const unsigned char a[3] = {0x00, 0x11, 0x22};
    const unsigned char b[3] = {0x00, 0x33, 0x44};
    const unsigned char other[2] = {0x05, 0x01};
    EXPECT_EQ(drovanel_vhid_set_feature(h, a, 3), 1);
    EXPECT_EQ(drovanel_vhid_set_feature(h, other, 2), 1);
    hostsim::refuseFeatureWrites(radio, true);
    EXPECT_EQ(drovanel_vhid_set_feature(h, b, 3), 0);
    hostsim::refuseFeatureWrites(radio, false);
    EXPECT_EQ(drovanel_vhid_set_feature(h, b, 3), 1);
    ASSERT_EQ(hostsim::featureReports(radio).size(), 3u);
    EXPECT_EQ(hostsim::latestFeature(radio, 0x00, 3), (Bytes{0x00, 0x33, 0x44}));
    EXPECT_EQ(hostsim::latestFeature(radio, 0x00, 4), Bytes());

    // waitFeature: the first matching report after `after`, or empty.
    EXPECT_EQ(hostsim::waitFeature(radio, 0x00, 3, 1, 10), (Bytes{0x00, 0x33, 0x44}));
    EXPECT_EQ(hostsim::waitFeature(radio, 0x00, 3, 3, 20), Bytes());
    std::thread writer([h, a] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        drovanel_vhid_set_feature(h, a, 3);
    });
    EXPECT_EQ(hostsim::waitFeature(radio, 0x00, 3, 3, 5000), (Bytes{0x00, 0x11, 0x22}));
    writer.join();

    unsigned char answer[4] = {0x07, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(drovanel_vhid_get_feature(h, answer, 4), 1);
    EXPECT_EQ(answer[0], 0x07);
    EXPECT_EQ(answer[1], 0x00);
    hostsim::setFeatureAnswer(radio, {0x00, 0xAB});
    EXPECT_EQ(drovanel_vhid_get_feature(h, answer, 4), 1);
    EXPECT_EQ(answer[0], 0x07);
    EXPECT_EQ(answer[1], 0xAB);
    EXPECT_EQ(answer[2], 0x00);
    hostsim::failGetFeature(radio, true);
    EXPECT_EQ(drovanel_vhid_get_feature(h, answer, 4), 0);
    drovanel_vhid_close(h);
    EXPECT_EQ(drovanel_vhid_set_feature(h, a, 3), 0);  // closed handle
}

}  // namespace
