#include "tools/check/layout_check.h"

#include <cstdio>
#include <memory>

#include "bip/bip_layout.h"
#include "hostsim/panels/bip.h"

namespace hostsim {
namespace bipcheck {

namespace {

using drovanel::BipAssignement;
using drovanel::kLensCount;

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

// A whole number with nothing else but blanks around it: the plug-in reads
// "7x" as 7 and "x" as 0, which is seldom what was meant.
bool wholeNumber(const char *text) {
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    if (*p == '+' || *p == '-') ++p;
    const char *digits = p;
    while (*p >= '0' && *p <= '9') ++p;
    if (p == digits) return false;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    return *p == '\0';
}

// Records what each entry does to the lenses, in the order the plug-in's
// loader would store it, and what is wrong on the way.
class CheckingListener : public drovanel::LayoutListener {
public:
    explicit CheckingListener(LayoutCheck *check) : check_(check) {}

    void missingElement(const char *name, int line) override {
        const std::string element = name;
        if (element == "Bip") {
            problem(line, "no <Bip> element: the panel stays dark");
        } else if (element == "BipProgramming") {
            problem(line, "<Bip> has no <BipProgramming>: the panel stays dark");
        } else {
            problem(line, "<BipProgramming> has no <Lense> entry: the panel stays dark");
        }
    }
    // Optional: the brightness follows the simulator's.
    void missingBrightness(int) override {}
    void incompleteEntry(const char *child, bool empty, int line) override {
        problem(line, empty ? "<" + std::string(child) + "> is empty: the entry is skipped"
                            : "lens entry without <" + std::string(child) + ">: the entry is skipped");
    }
    void lensOutOfRange(const char *text, int line) override {
        problem(line, "lens number " + quoted(text) + " is out of range (0-23): the entry is skipped");
    }
    void lensEntry(const drovanel::LensEntry &entry, BipAssignement *made) override {
        std::unique_ptr<BipAssignement> binding(made);
        const std::string lens = "lens " + std::to_string(entry.lens);
        LensInfo &info = check_->lenses[entry.lens];
        if (!wholeNumber(entry.lensText)) {
            problem(entry.lensLine, "lens number " + quoted(entry.lensText) + " is not a whole number: read as " + lens);
        }
        if (firstLine_[entry.lens] != 0) {
            problem(entry.lensLine, lens + " given twice (first at line " + std::to_string(firstLine_[entry.lens]) +
                                        "): this entry replaces that one");
        } else {
            firstLine_[entry.lens] = entry.lensLine;
        }
        if (binding == nullptr) {
            problem(entry.idLine, "unknown indicator " + quoted(entry.id) + ": " + lens + " stays dark");
        } else if (entry.colour == drovanel::kLensOff) {
            problem(entry.colourLine,
                    "unknown colour " + quoted(entry.colourText) + " (Red, Green or Amber): " + lens + " never lights");
        }
        if (entry.flashLine != 0 && (entry.flashOn == nullptr) != (entry.flashOff == nullptr)) {
            problem(entry.flashLine, std::string("<Flash> without its ") + (entry.flashOn == nullptr ? "On" : "Off") +
                                         " attribute: " + lens + " does not flash");
        }
        info = LensInfo();
        info.bound = binding != nullptr;
        info.line = entry.line;
        info.indicator = entry.id;
        info.colourText = entry.colourText;
        info.colour = entry.colour;
        if (binding != nullptr) {
            info.flashOn = binding->flashOn;
            info.flashOff = binding->flashOff;
        }
    }

private:
    void problem(int line, const std::string &text) { check_->problems.push_back({line, text}); }

    LayoutCheck *check_;
    int firstLine_[kLensCount] = {};
};

const char *colourName(drovanel::LensColour colour) {
    switch (colour) {
        case drovanel::kLensRed: return "red";
        case drovanel::kLensGreen: return "green";
        case drovanel::kLensAmber: return "amber";
        default: return "none";
    }
}

}  // namespace

LayoutCheck checkLayout(const std::string &path) {
    LayoutCheck check;
    drovanel::LayoutDocument document;
    drovanel::readLayoutDocument(path.c_str(), &document);
    if (document.status == drovanel::LayoutFileStatus::NotWellFormed) {
        // The parser gives no place for a file without any element.
        const std::string where = document.line > 0 ? "column " + std::to_string(document.column) + ": " : "";
        check.problems.push_back({document.line, where + "not well-formed XML: " + document.parserError});
        return check;
    }
    if (document.status == drovanel::LayoutFileStatus::TooDeep) {
        check.problems.push_back({document.line, "elements nested deeper than " +
                                                     std::to_string(drovanel::kMaxConfigDepth) +
                                                     " levels: the file is not read"});
        return check;
    }
    if (document.status != drovanel::LayoutFileStatus::Ok) {
        check.problems.push_back({0, "the file " + drovanel::layoutFileProblem(document)});
        return check;
    }
    check.readable = true;
    CheckingListener listener(&check);
    drovanel::walkLayout(document.xml, listener);
    return check;
}

std::string panelDrawing(const LayoutCheck &check) {
    drovanel::LensColour colours[kLensCount];
    for (int i = 0; i < kLensCount; ++i) colours[i] = check.lenses[i].bound ? check.lenses[i].colour : drovanel::kLensOff;
    // Through the plug-in's own lamp report and the host's reading of it,
    // as the panel would receive it.
    std::uint8_t report[drovanel::kLampReportSize];
    drovanel::encodeLampReport(colours, report);
    const std::vector<std::string> shown = bip::lensColours(std::vector<std::uint8_t>(report, report + sizeof report));
    std::string text;
    for (int row = 0; row < 3; ++row) {
        char label[16];
        std::snprintf(label, sizeof label, "  %2d-%-2d ", row * 8, row * 8 + 7);
        text += label;
        for (int column = 0; column < 8; ++column) text += " " + shown[static_cast<std::size_t>(row * 8 + column)];
        text += "\n";
    }
    return text;
}

std::string formatCheck(const std::string &path, const LayoutCheck &check) {
    std::string text = "BIP layout " + path + "\n";
    if (check.readable) {
        text += "\n lens  colour  flash ms    indicator              line\n";
        char line[160];
        for (int i = 0; i < kLensCount; ++i) {
            const LensInfo &lens = check.lenses[i];
            if (!lens.bound) {
                std::snprintf(line, sizeof line, "  %2d   -\n", i);
            } else {
                std::string flash = lens.flashOn != 0 && lens.flashOff != 0
                                        ? std::to_string(lens.flashOn) + "/" + std::to_string(lens.flashOff)
                                        : "-";
                std::snprintf(line, sizeof line, "  %2d   %-6s  %-10s  %-20s %5d\n", i, colourName(lens.colour),
                              flash.c_str(), lens.indicator.c_str(), lens.line);
            }
            text += line;
        }
        text += "\nThe panel with every indicator on (R red, G green, A amber, - dark):\n" + panelDrawing(check);
    }
    text += "\n";
    return text + checktool::problemsText(check.problems);
}

}  // namespace bipcheck
}  // namespace hostsim
