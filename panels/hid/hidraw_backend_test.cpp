// The Linux backend without a kernel device: a fake sysfs tree in a temporary
// folder, and datagram sockets standing in for an open hidraw node (one
// report per read, the rest of a long one dropped).
#include "hid/hidraw_backend.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "hostsim/hostsim.h"

namespace drovanel {
namespace {

// ---------------------------------------------------------------- uevent and descriptor

TEST(HidrawParsing, HidIdIsFoundAmongTheUeventLines) {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    ASSERT_TRUE(parseHidId("DRIVER=hid-generic\nHID_ID=0003:000006A3:00000D06\nHID_NAME=Saitek\n", &vendor, &product));
    EXPECT_EQ(vendor, 0x06A3);
    EXPECT_EQ(product, 0x0D06);
    ASSERT_TRUE(parseHidId("HID_ID=0003:000006a3:00000b4e", &vendor, &product));
    EXPECT_EQ(product, 0x0B4E);

    EXPECT_FALSE(parseHidId("DRIVER=hid-generic\nHID_NAME=x\n", &vendor, &product));
    EXPECT_FALSE(parseHidId("MODALIAS=hid:HID_ID=0003:000006A3:00000D06\n", &vendor, &product));
    EXPECT_FALSE(parseHidId("HID_ID=0003:000006A3\n", &vendor, &product));
    EXPECT_FALSE(parseHidId("HID_ID=0003:0001FFFF:00000D06\n", &vendor, &product));
    EXPECT_FALSE(parseHidId("HID_ID=0003:06A3:zz\n", &vendor, &product));
}

TEST(HidrawParsing, OnlyAReportIdItemMarksNumberedReports) {
    // Three bytes of buttons and a 12-byte feature, no report ids.
    const std::uint8_t plain[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01,
                                  0x95, 0x18, 0x19, 0x01, 0x29, 0x18, 0x81, 0x02, 0x26, 0xFF, 0x00, 0x75, 0x08,
                                  0x95, 0x0C, 0x09, 0x03, 0xB1, 0x02, 0xC0};
    EXPECT_FALSE(descriptorNumbersReports(plain, sizeof plain));

    const std::uint8_t numbered[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0xB2,
                                     0x95, 0x01, 0x09, 0x02, 0xB1, 0x02, 0xC0};
    EXPECT_TRUE(descriptorNumbersReports(numbered, sizeof numbered));

    // 0x85 as item data (logical maximum, report count, a 4-byte usage) is no report id.
    const std::uint8_t dataBytes[] = {0x26, 0x85, 0x00, 0x95, 0x85, 0x0B, 0x85, 0x85, 0x85, 0x85, 0xC0};
    EXPECT_FALSE(descriptorNumbersReports(dataBytes, sizeof dataBytes));
    // A long item whose data holds 0x85.
    const std::uint8_t longItem[] = {0xFE, 0x02, 0x10, 0x85, 0x85, 0xC0};
    EXPECT_FALSE(descriptorNumbersReports(longItem, sizeof longItem));
    // Items cut short at the end are not read past the buffer.
    const std::uint8_t cut[] = {0x09, 0x01, 0x27, 0x85};
    EXPECT_FALSE(descriptorNumbersReports(cut, sizeof cut));
    const std::uint8_t cutLong[] = {0x09, 0x01, 0xFE};
    EXPECT_FALSE(descriptorNumbersReports(cutLong, sizeof cutLong));
}

// ---------------------------------------------------------------- fake sysfs

class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/drovanel-hidraw-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        classRoot_ = root_ + "/class";
        devRoot_ = root_ + "/dev";
        mkdir(classRoot_.c_str(), 0755);
        mkdir(devRoot_.c_str(), 0755);
        hostsim::reset();
    }
    void TearDown() override {
        std::string command = "rm -rf '" + root_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // A hidraw entry with the given uevent text.
    void addEntry(const std::string &name, const std::string &uevent) {
        std::string dir = classRoot_ + "/" + name;
        mkdir(dir.c_str(), 0755);
        mkdir((dir + "/device").c_str(), 0755);
        std::ofstream(dir + "/device/uevent") << uevent;
    }
    static std::string hidId(std::uint16_t vendor, std::uint16_t product) {
        char line[64];
        std::snprintf(line, sizeof line, "DRIVER=hid-generic\nHID_ID=0003:%08X:%08X\n", vendor, product);
        return line;
    }

    std::string root_;
    std::string classRoot_;
    std::string devRoot_;
};

TEST_F(FakeSysfs, ListGoesByDeviceNumberAndLeavesOutWhatCannotBeIdentified) {
    addEntry("hidraw10", hidId(0x06A3, 0x0D05));
    addEntry("hidraw2", hidId(0x046D, 0xC52B));
    addEntry("hidraw9", hidId(0x06A3, 0x0D06));
    addEntry("hidraw11", hidId(0x06A3, 0x0B4E));
    addEntry("hidraw0", hidId(0x06A3, 0x0D67));
    addEntry("hidraw3", "DRIVER=hid-generic\n");  // no ids
    mkdir((classRoot_ + "/hidraw4").c_str(), 0755);  // no device link
    addEntry("hidrawX", hidId(0x06A3, 0x0D06));
    addEntry("hidraw", hidId(0x06A3, 0x0D06));

    std::vector<HidrawEntry> list = listHidrawDevices(classRoot_, devRoot_);
    std::vector<std::string> paths;
    for (const HidrawEntry &e : list) paths.push_back(e.path);
    EXPECT_EQ(paths, (std::vector<std::string>{devRoot_ + "/hidraw0", devRoot_ + "/hidraw2", devRoot_ + "/hidraw9",
                                               devRoot_ + "/hidraw10", devRoot_ + "/hidraw11"}));
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].productId, 0x0D67);
    EXPECT_EQ(list[1].vendorId, 0x046D);
    EXPECT_EQ(list[3].vendorId, 0x06A3);
    EXPECT_EQ(list[3].productId, 0x0D05);

    EXPECT_TRUE(listHidrawDevices(root_ + "/missing", devRoot_).empty());
}

TEST_F(FakeSysfs, AFailedOpenIsLoggedOncePerPath) {
    HidrawServices services(classRoot_, devRoot_);
    mkdir((devRoot_ + "/hidraw0").c_str(), 0755);  // a node that cannot be opened for writing
    std::uint32_t error = 0;
    EXPECT_EQ(services.openPath(devRoot_ + "/hidraw0", &error), nullptr);
    EXPECT_EQ(error, static_cast<std::uint32_t>(EISDIR));
    EXPECT_EQ(services.openPath(devRoot_ + "/hidraw0", &error), nullptr);
    EXPECT_EQ(services.openPath(devRoot_ + "/hidraw7", &error), nullptr);
    EXPECT_EQ(error, static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(services.openPath(devRoot_ + "/hidraw7", &error), nullptr);
    EXPECT_EQ(hostsim::log(), "Drovanel : cannot open " + devRoot_ + "/hidraw0: Is a directory\n" +
                                  "Drovanel : cannot open " + devRoot_ + "/hidraw7: No such file or directory\n");
}

// ---------------------------------------------------------------- reads and cancel

class HidrawReads : public ::testing::Test {
protected:
    void open(bool numbered) {
        int pair[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair), 0);
        device_ = adoptHidrawDescriptor(pair[0], numbered);
        ASSERT_NE(device_, nullptr);
        panelSide_ = pair[1];
    }
    void TearDown() override {
        delete device_;
        if (panelSide_ >= 0) close(panelSide_);
    }
    void send(std::vector<std::uint8_t> report) {
        ASSERT_EQ(write(panelSide_, report.data(), report.size()), static_cast<ssize_t>(report.size()));
    }
    std::vector<std::uint8_t> readReport(int size = 4) {
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size), 0xEE);
        int n = device_->read(buffer.data(), size, L"Test");
        buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buffer;
    }

    HidDevice *device_ = nullptr;
    int panelSide_ = -1;
};

TEST_F(HidrawReads, UnnumberedReportsGetAZeroIdInFront) {
    open(false);
    send({0x12, 0x34, 0x56});
    send({1, 2, 3, 4, 5, 6});  // longer than the buffer: the rest is dropped
    send({0x07, 0x08, 0x09});
    EXPECT_EQ(readReport(), (std::vector<std::uint8_t>{0x00, 0x12, 0x34, 0x56}));
    EXPECT_EQ(readReport(), (std::vector<std::uint8_t>{0x00, 1, 2, 3}));
    EXPECT_EQ(readReport(), (std::vector<std::uint8_t>{0x00, 0x07, 0x08, 0x09}));
}

TEST_F(HidrawReads, NumberedReportsPassUnchanged) {
    open(true);
    send({0xB8, 0x01, 0x02});
    EXPECT_EQ(readReport(), (std::vector<std::uint8_t>{0xB8, 0x01, 0x02}));
}

TEST_F(HidrawReads, CancelWakesABlockedReadAndEndsLaterOnes) {
    open(false);
    auto blocked = std::async(std::launch::async, [this] {
        std::uint8_t buffer[4];
        return device_->read(buffer, 4, L"Test");
    });
    EXPECT_EQ(blocked.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    device_->cancel();
    ASSERT_EQ(blocked.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(blocked.get(), HidDevice::kReadCancelled);

    send({1, 2, 3});  // a report after the cancel is not handed out
    std::uint8_t buffer[4];
    EXPECT_EQ(device_->read(buffer, 4, L"Test"), HidDevice::kReadCancelled);
}

TEST_F(HidrawReads, AGoneDeviceFailsReadsAndFeaturesAtOnce) {
    open(false);
    close(panelSide_);
    panelSide_ = -1;
    auto read = std::async(std::launch::async, [this] {
        std::uint8_t buffer[4];
        return device_->read(buffer, 4, L"Test");
    });
    ASSERT_EQ(read.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(read.get(), HidDevice::kReadCancelled) << "gone for good, so the reader stops";

    // Not a hidraw node: the feature calls fail instead of pretending.
    std::uint8_t report[2] = {0, 1};
    EXPECT_FALSE(device_->setFeature(report, 2));
    EXPECT_FALSE(device_->getFeature(report, 2));
}

}  // namespace
}  // namespace drovanel
