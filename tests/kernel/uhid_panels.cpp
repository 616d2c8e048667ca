// The panels' side of the kernel test: makes USB HID devices through the
// kernel's uhid driver, so that hid-generic gives each a real /dev/hidrawN.
// Nine devices of another maker come first, so that the panels get node
// numbers of two digits (hidraw9 before hidraw10).
//
// Commands, one a line on standard input, each answered by one line on
// standard output ("ok ..." or "error ..."):
//   input <label> <hex>     sends an input report
//   answer <label> <hex>    sets the reply to feature reads of report <hex>[0]
//   received <label>        the feature reports written since the last ask,
//                           as hex, comma separated, oldest first
//   unplug <label>          destroys the device
//   plug <label>            creates it again; answers "ok /dev/hidrawN"
//   quit
// At start it prints "node <label> /dev/hidrawN" for each device, then "ready".
#include <dirent.h>
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "hex_text.h"

namespace {

constexpr std::uint16_t kSaitek = 0x06A3;
constexpr std::uint16_t kOtherMaker = 0x1209;  // pid.codes, whose test ids no kernel driver claims
constexpr int kOtherDevices = 9;        // made before the panels
constexpr int kLaterOtherDevices = 17;  // made after them: 30 nodes in all
constexpr int kNodeWaitMs = 10000;

// The three input panels: 24 one-bit controls in 3 bytes of input and one
// feature report of dataBytes, none numbered.
Bytes inputPanelDescriptor(std::uint8_t featureDataBytes) {
    return {0x06, 0x00, 0xFF,        // Usage Page (vendor 0xFF00)
            0x09, 0x01,              // Usage (1)
            0xA1, 0x01,              // Collection (Application)
            0x15, 0x00, 0x25, 0x01,  //   Logical Minimum 0, Maximum 1
            0x75, 0x01, 0x95, 0x18,  //   Report Size 1, Count 24
            0x19, 0x01, 0x29, 0x18,  //   Usage Minimum 1, Maximum 24
            0x81, 0x02,              //   Input (Data, Variable, Absolute)
            0x26, 0xFF, 0x00,        //   Logical Maximum 255
            0x75, 0x08, 0x95, featureDataBytes,
            0x09, 0x02,              //   Usage (2)
            0xB1, 0x02,              //   Feature (Data, Variable, Absolute)
            0xC0};
}

// The BIP: no input; feature 0xB2 (brightness, 1 byte) and 0xB8 (lenses, 6 bytes).
Bytes bipDescriptor() {
    return {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
            0x85, 0xB2, 0x95, 0x01, 0x09, 0x02, 0xB1, 0x02,  // Report ID 0xB2, 1 byte
            0x85, 0xB8, 0x95, 0x06, 0x09, 0x03, 0xB1, 0x02,  // Report ID 0xB8, 6 bytes
            0xC0};
}

// Another maker's device: 4 bytes of input.
Bytes otherDescriptor() {
    return {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF,
            0x00, 0x75, 0x08, 0x95, 0x04, 0x09, 0x01, 0x81, 0x02, 0xC0};
}

struct Device {
    Device(std::string l, std::uint16_t v, std::uint16_t p, Bytes d)
        : label(std::move(l)), vendor(v), product(p), descriptor(std::move(d)) {}
    std::string label;
    std::uint16_t vendor;
    std::uint16_t product;
    Bytes descriptor;
    int fd = -1;
    std::string node;
    std::vector<std::string> received;
    std::map<std::uint8_t, Bytes> answers;
};

bool unhex(const std::string &text, Bytes *out) {
    if (text.size() % 2 != 0) return false;
    out->clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        out->push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return true;
}

bool sendEvent(int fd, const uhid_event &event) {
    return write(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

std::string readFile(const std::string &path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The hidraw node whose hid device carries this name, or "".
std::string findNode(const std::string &name) {
    std::string found;
    DIR *dir = opendir("/sys/class/hidraw");
    if (dir == nullptr) return found;
    while (dirent *item = readdir(dir)) {
        if (item->d_name[0] == '.') continue;
        std::string uevent = readFile(std::string("/sys/class/hidraw/") + item->d_name + "/device/uevent");
        if (uevent.find("HID_NAME=" + name + "\n") != std::string::npos) found = std::string("/dev/") + item->d_name;
    }
    closedir(dir);
    return found;
}

// Empty when the device's node is there, else why not.
std::string create(Device &d) {
    d.fd = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (d.fd < 0) return std::string("/dev/uhid: ") + std::strerror(errno);
    uhid_event event{};
    event.type = UHID_CREATE2;
    std::string name = "Drovanel test " + d.label;
    std::snprintf(reinterpret_cast<char *>(event.u.create2.name), sizeof event.u.create2.name, "%s", name.c_str());
    event.u.create2.rd_size = static_cast<std::uint16_t>(d.descriptor.size());
    event.u.create2.bus = 0x03;  // BUS_USB
    event.u.create2.vendor = d.vendor;
    event.u.create2.product = d.product;
    std::memcpy(event.u.create2.rd_data, d.descriptor.data(), d.descriptor.size());
    if (!sendEvent(d.fd, event)) return std::string("UHID_CREATE2: ") + std::strerror(errno);
    // One at a time, so that node numbers follow creation order.
    for (int i = 0; i < kNodeWaitMs / 10 && d.node.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        d.node = findNode(name);
    }
    return d.node.empty() ? "no hidraw node after " + std::to_string(kNodeWaitMs) + " ms" : "";
}

void destroy(Device &d) {
    if (d.fd < 0) return;
    uhid_event event{};
    event.type = UHID_DESTROY;
    sendEvent(d.fd, event);
    close(d.fd);
    d.fd = -1;
}

void serveEvent(Device &d) {
    uhid_event event{};
    ssize_t n = read(d.fd, &event, sizeof event);
    if (n <= 0) return;
    if (event.type == UHID_SET_REPORT) {
        d.received.push_back(hex(event.u.set_report.data, event.u.set_report.size));
        uhid_event reply{};
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = event.u.set_report.id;
        reply.u.set_report_reply.err = 0;
        sendEvent(d.fd, reply);
    } else if (event.type == UHID_GET_REPORT) {
        uhid_event reply{};
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = event.u.get_report.id;
        auto answer = d.answers.find(event.u.get_report.rnum);
        if (answer == d.answers.end()) {
            reply.u.get_report_reply.err = EIO;
        } else {
            reply.u.get_report_reply.size = static_cast<std::uint16_t>(answer->second.size());
            std::memcpy(reply.u.get_report_reply.data, answer->second.data(), answer->second.size());
        }
        sendEvent(d.fd, reply);
    }
}

std::string command(std::vector<Device> &devices, const std::string &line) {
    std::istringstream words(line);
    std::string verb, label, data;
    words >> verb >> label >> data;
    Device *d = nullptr;
    for (Device &candidate : devices) {
        if (candidate.label == label) d = &candidate;
    }
    if (d == nullptr) return "error no device " + label;
    Bytes bytes;
    if (verb == "input" && d->fd >= 0 && unhex(data, &bytes)) {
        uhid_event event{};
        event.type = UHID_INPUT2;
        event.u.input2.size = static_cast<std::uint16_t>(bytes.size());
        std::memcpy(event.u.input2.data, bytes.data(), bytes.size());
        return sendEvent(d->fd, event) ? "ok" : "error input";
    }
    if (verb == "answer" && unhex(data, &bytes) && !bytes.empty()) {
        d->answers[bytes[0]] = bytes;
        return "ok";
    }
    if (verb == "received") {
        std::string out = "ok ";
        for (std::size_t i = 0; i < d->received.size(); ++i) out += (i == 0 ? "" : ",") + d->received[i];
        d->received.clear();
        return out;
    }
    if (verb == "unplug") {
        destroy(*d);
        return "ok";
    }
    if (verb == "plug" && d->fd < 0) {
        d->node.clear();
        std::string why = create(*d);
        return why.empty() ? "ok " + d->node : "error " + why;
    }
    return "error bad command: " + line;
}

}  // namespace

int main() {
    std::vector<Device> devices;
    for (int i = 0; i < kOtherDevices; ++i) {
        devices.emplace_back("Other" + std::to_string(i), kOtherMaker, static_cast<std::uint16_t>(0x0001 + i),
                             otherDescriptor());
    }
    devices.emplace_back("Multi", kSaitek, 0x0D06, inputPanelDescriptor(12));
    devices.emplace_back("Radio", kSaitek, 0x0D05, inputPanelDescriptor(22));
    devices.emplace_back("Switch", kSaitek, 0x0D67, inputPanelDescriptor(1));
    devices.emplace_back("BIP", kSaitek, 0x0B4E, bipDescriptor());
    for (int i = kOtherDevices; i < kOtherDevices + kLaterOtherDevices; ++i) {
        devices.emplace_back("Other" + std::to_string(i), kOtherMaker, static_cast<std::uint16_t>(0x0001 + i),
                             otherDescriptor());
    }

    for (Device &d : devices) {
        std::string why = create(d);
        if (!why.empty()) {
            std::printf("error cannot create %s: %s\n", d.label.c_str(), why.c_str());
            return 1;
        }
        std::printf("node %s %s\n", d.label.c_str(), d.node.c_str());
    }
    std::printf("ready\n");
    std::fflush(stdout);

    std::string pending;
    for (;;) {
        std::vector<pollfd> fds{{STDIN_FILENO, POLLIN, 0}};
        for (Device &d : devices) fds.push_back({d.fd, static_cast<short>(d.fd >= 0 ? POLLIN : 0), 0});
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (devices[i].fd >= 0 && (fds[i + 1].revents & POLLIN) != 0) serveEvent(devices[i]);
        }
        if (fds[0].revents == 0) continue;
        char chunk[512];
        ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) break;
        pending.append(chunk, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line == "quit") {
                for (Device &d : devices) destroy(d);
                return 0;
            }
            std::printf("%s\n", command(devices, line).c_str());
            std::fflush(stdout);
        }
    }
    for (Device &d : devices) destroy(d);
    return 0;
}
