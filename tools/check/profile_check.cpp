#include "tools/check/profile_check.h"

#include <algorithm>

#include "bip/bip_layout.h"
#include "profile/profile_loader.h"

namespace checktool {

namespace {

using namespace drovanel::profile;

std::string quoted(const std::string &name) { return ">" + name + "<"; }

class NameChecker {
public:
    NameChecker(const NameLists &lists, ProfileCheck *check) : lists_(lists), check_(check) {}

    void read(const ValueSource &v) { dataref(v.ref, v.index, false); }
    void write(const ValueSource &v) { dataref(v.ref, v.index, true); }
    void condition(const Condition &c) {
        if (c.bound) read(c.value);
    }
    void action(const Action &a) {
        switch (a.kind) {
            case ActionKind::Command:
            case ActionKind::Hold: command(a.command); break;
            case ActionKind::Toggle:
                command(a.command);
                read(a.state);
                break;
            case ActionKind::Write: write(a.target); break;
            case ActionKind::Nothing:
            case ActionKind::Unbound: break;
        }
    }
    void command(const CommandName &c) {
        if (c.name.empty()) return;
        ++check_->names;
        if (lists_.commands.count(c.name) != 0) return;
        if (lists_.datarefs.count(c.name) != 0) {
            problem(c.line, quoted(c.name) + " is a dataref, not a command");
        } else {
            problem(c.line, "command " + quoted(c.name) + " is in none of the given lists");
        }
    }
    void dataref(const DatarefName &d, int index, bool written) {
        if (d.name.empty()) return;
        ++check_->names;
        const auto listed = lists_.datarefs.find(d.name);
        if (listed == lists_.datarefs.end()) {
            if (lists_.commands.count(d.name) != 0) {
                problem(d.line, quoted(d.name) + " is a command, not a dataref");
            } else {
                problem(d.line, "dataref " + quoted(d.name) + " is in none of the given lists");
            }
            return;
        }
        const std::string &type = listed->second;
        const ListedType t = parseListedType(type);
        if (!t.number) {
            problem(d.line, quoted(d.name) + " is " + type + ", not a number");
        } else if (t.elements > 0 && index < 0) {
            problem(d.line, quoted(d.name) + " is " + type + ": give the Index of its element");
        } else if (t.elements == 0 && index >= 0) {
            problem(d.line, quoted(d.name) + " is " + type + ": it has no Index");
        } else if (t.elements > 0 && index >= t.elements) {
            problem(d.line, "Index " + std::to_string(index) + " is past the end of " + quoted(d.name) + " (" +
                                type + ")");
        }
        if (written && lists_.writable.count(d.name) == 0) {
            problem(d.line, quoted(d.name) + " is read-only: it cannot be written");
        }
    }

private:
    void problem(int line, const std::string &text) { check_->problems.push_back({line, text}); }
    const NameLists &lists_;
    ProfileCheck *check_;
};

void checkNames(const Profile &p, NameChecker &c) {
    c.dataref(p.match.dataref, -1, false);
    c.command(p.match.command);
    const MultiProfile &m = p.multi;
    for (const Knob &k : m.knobs) {
        c.command(k.up);
        c.command(k.down);
        if (!k.value.ref.name.empty()) c.write(k.value);
    }
    for (const Display &d : m.displays) {
        if (d.bound) c.read(d.value);
    }
    c.condition(m.mach);
    for (const Action &a : m.buttons) c.action(a);
    for (const Condition &l : m.lamps) c.condition(l);
    for (const Action *group : {m.autothrottle, m.flaps, m.trim}) {
        // Both positions of a control often share one name: checked once.
        c.action(group[0]);
        if (group[1].line != group[0].line) c.action(group[1]);
    }
    const SwitchProfile &s = p.switches;
    for (const auto &positions : s.switches) {
        c.action(positions[0]);
        if (positions[1].line != positions[0].line) c.action(positions[1]);
    }
    int lastLine = -1;
    for (const Action *group : {s.magneto, s.gear}) {
        const int count = group == s.magneto ? kMagnetoPositionCount : 2;
        for (int i = 0; i < count; ++i) {
            if (group[i].line != lastLine) c.action(group[i]);
            lastLine = group[i].line;
        }
    }
    for (const Condition &l : s.gearLamps) c.condition(l);
    for (const RadioBinding &r : p.radio.radios) {
        if (!r.bound) continue;
        if (!r.active.ref.name.empty()) c.read(r.active);
        if (!r.standby.ref.name.empty()) c.read(r.standby);
        for (const CommandName *cmd : {&r.fineUp, &r.fineDown, &r.coarseUp, &r.coarseDown, &r.swap}) c.command(*cmd);
    }
    for (const LensBinding &l : p.bip.lenses) c.condition(l.condition);
}

}  // namespace

bool isProfileFile(const std::string &path) {
    drovanel::LayoutDocument document;
    drovanel::readLayoutDocument(path.c_str(), &document);
    const TiXmlElement *root = document.xml.RootElement();
    return document.status == drovanel::LayoutFileStatus::Ok && root != nullptr &&
           std::string(root->Value()) == kProfileRoot;
}

ProfileCheck checkProfile(const std::string &path, const NameLists *lists) {
    ProfileCheck check;
    Profile p;
    std::vector<drovanel::profile::Problem> problems;
    check.loaded = readProfile(path, &p, &problems);
    for (const drovanel::profile::Problem &problem : problems) check.problems.push_back({problem.line, problem.text});
    if (!check.loaded) return check;
    check.name = p.name;
    check.acf = p.match.acf;
    check.matchName = !p.match.dataref.name.empty() ? p.match.dataref.name : p.match.command.name;
    NameLists none;
    NameChecker checker(lists != nullptr ? *lists : none, &check);
    checkNames(p, checker);
    if (lists == nullptr) {
        check.problems.clear();
    } else {
        check.namesChecked = true;
    }
    std::stable_sort(check.problems.begin(), check.problems.end(),
                     [](const Problem &a, const Problem &b) { return a.line < b.line; });
    return check;
}

std::string formatProfileCheck(const std::string &path, const ProfileCheck &check) {
    std::string text = "Aircraft profile " + path + "\n";
    if (check.loaded) {
        text += "  " + (check.name.empty() ? std::string("(no Name)") : "\"" + check.name + "\"");
        if (!check.acf.empty()) text += ", for " + check.acf + " publishing " + check.matchName;
        text += "\n  " + std::to_string(check.names) + " names, " +
                (check.namesChecked ? "checked against the given lists"
                                    : "not checked (give the lists with --names FILE)") +
                "\n";
    } else {
        text += "  refused by the plug-in: its built-in bindings stay\n";
    }
    text += "\n";
    return text + checktool::problemsText(check.problems);
}

}  // namespace checktool
