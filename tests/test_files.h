// Whole-file reads and writes for tests that look at settings files.
#ifndef DROVANEL_TESTS_TEST_FILES_H
#define DROVANEL_TESTS_TEST_FILES_H

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace drovanel {
namespace testing_files {

inline std::vector<std::uint8_t> readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeTextFile(const std::string &path, const std::string &bytes) {
    writeFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace testing_files
}  // namespace drovanel

#endif
