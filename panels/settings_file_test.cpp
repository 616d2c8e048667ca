#include "settings_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "hostsim/hostsim.h"
#include "tests/test_files.h"

#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace drovanel {
namespace {

using drovanel::testing_files::readFile;
using drovanel::testing_files::writeFile;
using Bytes = std::vector<std::uint8_t>;

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { hostsim::reset(); }
    std::string path() const { return hostsim::prefsFile("Drovanel.FileTest.prf"); }
    bool temporaryLeft() const { return std::filesystem::exists(path() + SettingsFile::kTemporarySuffix); }
};

// The first bytes change; whatever followed them stays, however long the
// file was; the temporary file is gone afterwards.
TEST_F(SettingsFileTest, WriteAtStartReplacesTheHeadAndKeepsTheRest) {
    struct Row {
        const char *what;
        Bytes before;  // empty: no file
        Bytes after;
    };
    const Row rows[] = {
        {"no file", {}, {7, 8, 9}},
        {"shorter", {1}, {7, 8, 9}},
        {"as long", {1, 2, 3}, {7, 8, 9}},
        {"longer", {1, 2, 3, 4, 5}, {7, 8, 9, 4, 5}},
    };
    const std::uint8_t head[3] = {7, 8, 9};
    for (const Row &row : rows) {
        std::filesystem::remove(path());
        if (!row.before.empty()) writeFile(path(), row.before);
        SettingsFile file;
        ASSERT_TRUE(file.open(path().c_str())) << row.what;
        EXPECT_EQ(file.writeAtStart(head, sizeof head), 3) << row.what;
        EXPECT_FALSE(file.isOpen()) << row.what;
        EXPECT_EQ(readFile(path()), row.after) << row.what;
        EXPECT_FALSE(temporaryLeft()) << row.what;
    }
}

#if !defined(_WIN32)
// A child replaces the file again and again, alternating two contents,
// until it is killed at a random moment; each time the file holds one of
// the two, whole. The content is long (a block and a large tail), so that a
// write in place would be caught half-done.
TEST_F(SettingsFileTest, AProcessKilledWhileWritingLeavesTheOldFileOrTheNew) {
    constexpr std::size_t kBlock = 1024;
    constexpr std::size_t kTail = 256 * 1024;
    Bytes contents[2];
    for (int i = 0; i < 2; ++i) {
        contents[i].assign(kBlock + kTail, static_cast<std::uint8_t>(0x11 * (i + 1)));
        contents[i][0] = static_cast<std::uint8_t>(i);
    }
    writeFile(path(), contents[0]);
    std::mt19937 random(22);
    int seenNew = 0;
    for (int round = 0; round < 60; ++round) {
        SettingsFile file;
        ASSERT_TRUE(file.open(path().c_str()));
        file.close();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned n = 0;; ++n) {
                const Bytes &next = contents[(n + 1) % 2];
                file.replace(next.data(), kBlock, next.data() + kBlock, kTail);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const Bytes now = readFile(path());
        ASSERT_TRUE(now == contents[0] || now == contents[1]) << "round " << round << ": " << now.size() << " bytes";
        seenNew += now == contents[1] ? 1 : 0;
        // What was left at the old one's place does not hinder the next write.
        ASSERT_TRUE(file.replace(contents[0].data(), kBlock, contents[0].data() + kBlock, kTail));
    }
    EXPECT_GT(seenNew, 0) << "the child never got to write: the test proved nothing";
}
#endif

}  // namespace
}  // namespace drovanel
