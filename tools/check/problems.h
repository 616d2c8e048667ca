// A problem found in a checked file, and how the checker lists them; shared
// by the BIP layout and profile checks.
#ifndef DROVANEL_TOOLS_CHECK_PROBLEMS_H
#define DROVANEL_TOOLS_CHECK_PROBLEMS_H

#include <string>
#include <vector>

namespace checktool {

struct Problem {
    int line = 0;  // 0: the file as a whole
    std::string text;
};

// "No problems.", or the count and one line a problem, each with its line.
inline std::string problemsText(const std::vector<Problem> &problems) {
    if (problems.empty()) return "No problems.\n";
    std::string text =
        std::to_string(problems.size()) + (problems.size() == 1 ? " problem:\n" : " problems:\n");
    for (const Problem &problem : problems) {
        text += "  " + (problem.line > 0 ? "line " + std::to_string(problem.line) + ": " : std::string()) +
                problem.text + "\n";
    }
    return text;
}

}  // namespace checktool

#endif
