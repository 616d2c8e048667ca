#include "hostsim/sim/view.h"

#include "hostsim/panels/bip.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"

namespace hostsim {
namespace sim {

namespace {

// ANSI colours: the panels' LEDs are red digits, green/amber/red lamps.
constexpr const char *kReset = "\x1b[0m";
constexpr const char *kDim = "\x1b[2m";
constexpr const char *kBold = "\x1b[1m";
constexpr const char *kRed = "\x1b[1;31m";
constexpr const char *kGreen = "\x1b[1;32m";
constexpr const char *kAmber = "\x1b[1;33m";
constexpr const char *kDigits = "\x1b[1;31m";

constexpr const char *kLampNames[] = {"AP", "HDG", "NAV", "IAS", "ALT", "VS", "APR", "REV"};
constexpr std::size_t kLabelWidth = 24;

std::string paint(bool colour, const char *code, const std::string &text) {
    return colour ? code + text + kReset : text;
}

std::string label(const std::string &title, const std::string &name) {
    std::string text = title + " (" + name + ")";
    if (text.size() < kLabelWidth) text.append(kLabelWidth - text.size(), ' ');
    return text + " ";
}

std::string indent() { return std::string(kLabelWidth + 1, ' '); }

std::string digits(bool colour, const std::string &row) { return "[" + paint(colour, kDigits, row) + "]"; }

void multiLines(const PanelSnapshot &p, bool colour, std::vector<std::string> *out) {
    const std::string head = label("Multi Panel", p.name);
    const multipanel::Display d = multipanel::decodeDisplay(p.display);
    if (!d.valid) {
        out->push_back(head + "(no display report yet)");
        return;
    }
    if (d.dark) {
        out->push_back(head + paint(colour, kDim, "[     ] [     ]  dark"));
        return;
    }
    std::string line = head + digits(colour, d.top) + " " + digits(colour, d.bottom) + " ";
    if (colour) {
        for (const char *lamp : kLampNames) line += " " + paint(true, d.lit(lamp) ? kGreen : kDim, lamp);
    } else {
        line += " lamps:";
        for (const std::string &lamp : d.lamps) line += " " + lamp;
        if (d.lamps.empty()) line += " none";
    }
    out->push_back(line);
}

void radioLines(const PanelSnapshot &p, bool colour, std::vector<std::string> *out) {
    const std::string head = label("Radio Panel", p.name);
    radiopanel::Displays d;
    if (!radiopanel::decodeDisplays(p.display, &d)) {
        out->push_back(head + "(no display report yet)");
        return;
    }
    out->push_back(head + digits(colour, d.upperActive) + " " + digits(colour, d.upperStandby));
    out->push_back(indent() + digits(colour, d.lowerActive) + " " + digits(colour, d.lowerStandby));
}

void switchLines(const PanelSnapshot &p, bool colour, std::vector<std::string> *out) {
    const std::string head = label("Switch Panel", p.name);
    if (p.display.size() != 2 || p.display[0] != 0) {
        out->push_back(head + "(no lamp report yet)");
        return;
    }
    if (!colour) {
        out->push_back(head + "gear " + switchpanel::gearLampsText(p.display[1]));
        return;
    }
    std::string line = head + "gear";
    for (int position = 0; position < 3; ++position) {
        line += "  " + std::to_string(position + 1) + " ";
        switch (switchpanel::gearLamp(p.display[1], position)) {
            case switchpanel::Lamp::Off: line += paint(true, kDim, "o"); break;
            case switchpanel::Lamp::Down: line += paint(true, kGreen, "#") + " down"; break;
            case switchpanel::Lamp::InTransit: line += paint(true, kRed, "#") + " in transit"; break;
            case switchpanel::Lamp::Both: line += paint(true, kAmber, "#") + " down+in transit"; break;
        }
    }
    out->push_back(line);
}

void bipLines(const PanelSnapshot &p, bool colour, std::vector<std::string> *out) {
    const std::string head = label("BIP", p.name);
    const std::vector<std::string> lenses = bip::lensColours(p.display);
    if (lenses.empty()) {
        out->push_back(head + "(no lamp report yet)");
        return;
    }
    const int percent = bip::brightness(p.brightness);
    for (int row = 0; row < 3; ++row) {
        std::string line = row == 0 ? head : indent();
        for (int column = 0; column < 8; ++column) {
            const std::string &lens = lenses[static_cast<std::size_t>(row * 8 + column)];
            if (!colour) {
                line += (column > 0 ? " " : "") + lens;
            } else {
                const char *code = lens == "R" ? kRed : lens == "G" ? kGreen : lens == "A" ? kAmber : kDim;
                line += (column > 0 ? " " : "") + paint(true, code, lens == "-" ? "--" : "##");
            }
        }
        if (row == 0) line += percent >= 0 ? "   brightness " + std::to_string(percent) + "%" : "   brightness ?";
        out->push_back(line);
    }
}

}  // namespace

std::vector<std::string> renderLines(const Snapshot &s, bool colour) {
    std::vector<std::string> lines;
    lines.push_back(paint(colour, kBold, "Drovanel virtual cockpit") + "  " + s.progress);
    if (!s.note.empty()) lines.push_back("  " + s.note);
    for (const PanelSnapshot &p : s.panels) {
        if (!p.attached) {
            const char *titles[] = {"Multi Panel", "Radio Panel", "Switch Panel", "BIP"};
            lines.push_back(label(titles[static_cast<int>(p.kind)], p.name) + "(unplugged)");
            continue;
        }
        switch (p.kind) {
            case PanelKind::Multi: multiLines(p, colour, &lines); break;
            case PanelKind::Radio: radioLines(p, colour, &lines); break;
            case PanelKind::Switch: switchLines(p, colour, &lines); break;
            case PanelKind::Bip: bipLines(p, colour, &lines); break;
        }
    }
    if (s.switchReportsSent >= 0) {
        lines.push_back("Switch Panel lamp reports accepted: " + std::to_string(s.switchReportsSent));
    }
    for (const std::string &line : s.log) lines.push_back(paint(colour, kDim, "log: " + line));
    return lines;
}

std::string plainFrame(const Snapshot &snapshot) {
    std::string frame;
    for (const std::string &line : renderLines(snapshot, false)) frame += line + "\n";
    return frame + "\n";
}

// Home the cursor and overwrite in place (clearing each line's tail and
// everything below) so a redraw does not flicker.
std::string terminalFrame(const Snapshot &snapshot) {
    std::string frame = "\x1b[H";
    for (const std::string &line : renderLines(snapshot, true)) frame += line + "\x1b[K\n";
    return frame + "\x1b[J";
}

}  // namespace sim
}  // namespace hostsim
