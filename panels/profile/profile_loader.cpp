#include "profile_loader.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "bip/bip_layout.h"

namespace drovanel {
namespace profile {

namespace {

bool sameText(const char *a, const char *b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// The index of text in names (any letter case), or -1.
int indexOf(const char *text, std::initializer_list<const char *> names) {
    int i = 0;
    for (const char *name : names) {
        if (sameText(text, name)) return i;
        ++i;
    }
    return -1;
}

constexpr std::initializer_list<const char *> kMultiSelectors = {"ALT", "VS", "IAS", "HDG", "CRS"};
constexpr std::initializer_list<const char *> kMultiButtons = {"AP", "HDG", "NAV", "IAS", "ALT", "VS", "APR", "REV"};
constexpr std::initializer_list<const char *> kSwitchNames = {
    "Battery", "Generator", "Avionics", "FuelPump", "DeIce", "PitotHeat", "CowlFlaps",
    "PanelLights", "Beacon", "Nav", "Strobe", "Taxi", "Landing"};
constexpr std::initializer_list<const char *> kMagnetoPositions = {"Off", "Right", "Left", "Both", "Start"};
constexpr std::initializer_list<const char *> kGearPositions = {"Up", "Down"};  // also the flaps
constexpr std::initializer_list<const char *> kTrimPositions = {"Down", "Up"};
constexpr std::initializer_list<const char *> kOnOff = {"Off", "On"};
constexpr std::initializer_list<const char *> kRadioSelectors = {"NAV1", "NAV2", "COM1", "COM2",
                                                                  "ADF",  "DME",  "XPDR"};

// The attributes an element may carry, by element.
constexpr std::initializer_list<const char *> kActionAttributes = {"Command", "Hold", "Toggle", "State",
                                                                    "Dataref", "Index", "Value", "Do"};
constexpr std::initializer_list<const char *> kConditionAttributes = {"Dataref", "Index", "Scale",
                                                                       "Equals",  "Above", "Below"};

class Reader {
public:
    Reader(Profile *out, std::vector<Problem> *problems) : out_(out), problems_(problems) {}

    void problem(int line, const char *format, ...) __attribute__((format(printf, 3, 4))) {
        char text[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        problems_->push_back({line, text});
    }

    void readRoot(const TiXmlElement *root);

private:
    // Every attribute of e must be one of allowed (or of more).
    void checkAttributes(const TiXmlElement *e, std::initializer_list<const char *> allowed,
                         std::initializer_list<const char *> more = {});
    const char *required(const TiXmlElement *e, const char *name);
    bool number(const TiXmlElement *e, const char *name, float *value);
    bool wholeNumber(const TiXmlElement *e, const char *name, int minimum, int maximum, int *value);
    bool yesNo(const TiXmlElement *e, const char *name, bool *value);
    void nameAttribute(const TiXmlElement *e, const char *name, const char *kind, std::string *out, int *line);
    void datarefAttribute(const TiXmlElement *e, const char *name, DatarefName *ref);
    void commandAttribute(const TiXmlElement *e, const char *name, CommandName *ref);
    void valueSource(const TiXmlElement *e, const char *name, ValueSource *value);
    void condition(const TiXmlElement *e, Condition *out);
    void action(const TiXmlElement *e, bool onOff, Action *out);
    // Position="..." among names, or every position when absent; false when
    // the text names none.
    bool positions(const TiXmlElement *e, std::initializer_list<const char *> names, bool *chosen);
    // Stores one action in each chosen slot, refusing a slot bound before.
    void storeActions(const TiXmlElement *e, const Action &action, Action *slots, const bool *chosen, int count,
                      const char *what, std::initializer_list<const char *> names);
    int selector(const TiXmlElement *e, const char *attribute, std::initializer_list<const char *> names);
    bool firstTime(int *seen, int line, const char *what);

    void readMatch(const TiXmlElement *e);
    void readMulti(const TiXmlElement *section);
    void readSwitch(const TiXmlElement *section);
    void readRadio(const TiXmlElement *section);
    void readBip(const TiXmlElement *section);

    Profile *out_;
    std::vector<Problem> *problems_;
    // Lines where each control was bound first (0: not yet).
    int knobSeen_[kMultiSelectorCount] = {};
    int displaySeen_[kMultiSelectorCount] = {};
    int machSeen_ = 0;
    int lampSeen_[kMultiButtonCount] = {};
    int gearLampSeen_[kGearLampCount] = {};
    int radioSeen_[kRadioSelectorCount] = {};
    int lensSeen_[kProfileLensCount] = {};
    int matchSeen_ = 0;
};

void Reader::checkAttributes(const TiXmlElement *e, std::initializer_list<const char *> allowed,
                             std::initializer_list<const char *> more) {
    for (const TiXmlAttribute *a = e->FirstAttribute(); a != nullptr; a = a->Next()) {
        bool known = false;
        for (const char *name : allowed) known = known || std::strcmp(a->Name(), name) == 0;
        for (const char *name : more) known = known || std::strcmp(a->Name(), name) == 0;
        if (!known) problem(e->Row(), "<%s> has no attribute %s", e->Value(), a->Name());
    }
}

const char *Reader::required(const TiXmlElement *e, const char *name) {
    const char *text = e->Attribute(name);
    if (text == nullptr || *text == '\0') {
        problem(e->Row(), "<%s> needs %s", e->Value(), name);
        return nullptr;
    }
    return text;
}

bool Reader::number(const TiXmlElement *e, const char *name, float *value) {
    const char *text = e->Attribute(name);
    if (text == nullptr) return false;
    char *end = nullptr;
    errno = 0;
    const float parsed = std::strtof(text, &end);
    if (end == text || *end != '\0' || errno == ERANGE || !std::isfinite(parsed)) {
        problem(e->Row(), "%s=\"%s\" is not a number", name, text);
        return false;
    }
    *value = parsed;
    return true;
}

bool Reader::wholeNumber(const TiXmlElement *e, const char *name, int minimum, int maximum, int *value) {
    const char *text = e->Attribute(name);
    if (text == nullptr) return false;
    char *end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || parsed < minimum || parsed > maximum) {
        problem(e->Row(), "%s=\"%s\" is not a whole number from %d to %d", name, text, minimum, maximum);
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

bool Reader::yesNo(const TiXmlElement *e, const char *name, bool *value) {
    const char *text = e->Attribute(name);
    if (text == nullptr) return false;
    const int which = indexOf(text, {"no", "yes"});
    if (which < 0) {
        problem(e->Row(), "%s=\"%s\" is neither yes nor no", name, text);
        return false;
    }
    *value = which == 1;
    return true;
}

// A name attribute (kind: "dataref" or "command"); a name is one word.
void Reader::nameAttribute(const TiXmlElement *e, const char *name, const char *kind, std::string *out,
                           int *line) {
    const char *text = e->Attribute(name);
    if (text == nullptr) return;
    if (*text == '\0' || std::strchr(text, ' ') != nullptr) {
        problem(e->Row(), "%s=\"%s\" is not a %s name", name, text, kind);
        return;
    }
    *out = text;
    *line = e->Row();
}

void Reader::datarefAttribute(const TiXmlElement *e, const char *name, DatarefName *ref) {
    nameAttribute(e, name, "dataref", &ref->name, &ref->line);
}

void Reader::commandAttribute(const TiXmlElement *e, const char *name, CommandName *ref) {
    nameAttribute(e, name, "command", &ref->name, &ref->line);
}

void Reader::valueSource(const TiXmlElement *e, const char *name, ValueSource *value) {
    datarefAttribute(e, name, &value->ref);
    wholeNumber(e, "Index", 0, 65535, &value->index);
    number(e, "Scale", &value->scale);
}

void Reader::condition(const TiXmlElement *e, Condition *out) {
    if (required(e, "Dataref") == nullptr) return;
    valueSource(e, "Dataref", &out->value);
    int compares = 0;
    if (number(e, "Equals", &out->operand)) out->compare = Compare::Equals, ++compares;
    if (number(e, "Above", &out->operand)) out->compare = Compare::Above, ++compares;
    if (number(e, "Below", &out->operand)) out->compare = Compare::Below, ++compares;
    if (compares > 1) problem(e->Row(), "<%s> compares more than once", e->Value());
    out->bound = !out->value.ref.name.empty();
}

void Reader::action(const TiXmlElement *e, bool onOff, Action *out) {
    out->line = e->Row();
    const bool command = e->Attribute("Command") != nullptr;
    const bool toggle = e->Attribute("Toggle") != nullptr;
    const bool write = e->Attribute("Dataref") != nullptr;
    const bool nothing = e->Attribute("Do") != nullptr;
    const int kinds = command + toggle + write + nothing;
    if (kinds != 1) {
        problem(e->Row(), "<%s> needs exactly one of Command, Toggle, Dataref and Do", e->Value());
        return;
    }
    if (!command && e->Attribute("Hold") != nullptr) problem(e->Row(), "Hold goes with Command");
    if (!toggle && e->Attribute("State") != nullptr) problem(e->Row(), "State goes with Toggle");
    if (!write && (e->Attribute("Value") != nullptr || e->Attribute("Index") != nullptr)) {
        problem(e->Row(), "Value and Index go with Dataref");
    }
    if (command) {
        bool hold = false;
        yesNo(e, "Hold", &hold);
        commandAttribute(e, "Command", &out->command);
        out->kind = hold ? ActionKind::Hold : ActionKind::Command;
    } else if (toggle) {
        if (!onOff) {
            problem(e->Row(), "Toggle needs a control with On and Off positions");
            return;
        }
        if (required(e, "State") == nullptr) return;
        commandAttribute(e, "Toggle", &out->command);
        datarefAttribute(e, "State", &out->state.ref);
        out->kind = ActionKind::Toggle;
    } else if (write) {
        if (required(e, "Value") == nullptr) return;
        datarefAttribute(e, "Dataref", &out->target.ref);
        wholeNumber(e, "Index", 0, 65535, &out->target.index);
        number(e, "Value", &out->value);
        out->kind = ActionKind::Write;
    } else {
        if (!sameText(e->Attribute("Do"), "Nothing")) {
            problem(e->Row(), "Do=\"%s\" is not Nothing", e->Attribute("Do"));
            return;
        }
        out->kind = ActionKind::Nothing;
    }
}

bool Reader::positions(const TiXmlElement *e, std::initializer_list<const char *> names, bool *chosen) {
    const char *text = e->Attribute("Position");
    const int which = text != nullptr ? indexOf(text, names) : -1;
    for (std::size_t i = 0; i < names.size(); ++i) chosen[i] = text == nullptr || static_cast<int>(i) == which;
    if (text != nullptr && which < 0) {
        problem(e->Row(), "<%s> has no position %s", e->Value(), text);
        return false;
    }
    return true;
}

void Reader::storeActions(const TiXmlElement *e, const Action &action, Action *slots, const bool *chosen,
                          int count, const char *what, std::initializer_list<const char *> names) {
    for (int i = 0; i < count; ++i) {
        if (!chosen[i]) continue;
        if (slots[i].kind != ActionKind::Unbound) {
            problem(e->Row(), "%s at %s is bound twice, first at line %d", what, names.begin()[i], slots[i].line);
            continue;
        }
        slots[i] = action;
        // A toggle fires when the aircraft's state differs from this position.
        slots[i].wanted = count == 2 && i == 1;
    }
}

int Reader::selector(const TiXmlElement *e, const char *attribute, std::initializer_list<const char *> names) {
    const char *text = required(e, attribute);
    if (text == nullptr) return -1;
    const int which = indexOf(text, names);
    if (which < 0) problem(e->Row(), "%s=\"%s\" is not one of the panel's", attribute, text);
    return which;
}

bool Reader::firstTime(int *seen, int line, const char *what) {
    if (*seen != 0) {
        problem(line, "%s is bound twice, first at line %d", what, *seen);
        return false;
    }
    *seen = line;
    return true;
}

void Reader::readRoot(const TiXmlElement *root) {
    checkAttributes(root, {"Name"});
    if (const char *name = root->Attribute("Name")) out_->name = name;
    for (const TiXmlElement *e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        switch (indexOf(e->Value(), {"Match", "Multipanel", "Switchpanel", "Radiopanel", "Bip"})) {
            case 0: readMatch(e); break;
            case 1: readMulti(e); break;
            case 2: readSwitch(e); break;
            case 3: readRadio(e); break;
            case 4: readBip(e); break;
            default: problem(e->Row(), "<%s> is not part of a profile", e->Value()); break;
        }
    }
}

void Reader::readMatch(const TiXmlElement *e) {
    checkAttributes(e, {"Acf", "Dataref", "Command"});
    if (!firstTime(&matchSeen_, e->Row(), "<Match>")) return;
    Match &m = out_->match;
    m.line = e->Row();
    if (const char *acf = required(e, "Acf")) m.acf = acf;
    datarefAttribute(e, "Dataref", &m.dataref);
    commandAttribute(e, "Command", &m.command);
    if ((e->Attribute("Dataref") != nullptr) == (e->Attribute("Command") != nullptr)) {
        problem(e->Row(), "<Match> needs one Dataref or one Command that the aircraft publishes");
    }
}

void Reader::readMulti(const TiXmlElement *section) {
    checkAttributes(section, {});
    MultiProfile &m = out_->multi;
    for (const TiXmlElement *e = section->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const int line = e->Row();
        switch (indexOf(e->Value(), {"Knob", "Display", "Mach", "Button", "Lamp", "Autothrottle", "Flaps", "Trim"})) {
            case 0: {
                checkAttributes(e, {"Selector", "Up", "Down", "Dataref", "Index", "Step", "Min", "Max", "Wrap"});
                const int s = selector(e, "Selector", kMultiSelectors);
                if (s < 0 || !firstTime(&knobSeen_[s], line, "the knob at this position")) break;
                Knob &k = m.knobs[s];
                k.line = line;
                const bool commands = e->Attribute("Up") != nullptr || e->Attribute("Down") != nullptr;
                const bool dataref = e->Attribute("Dataref") != nullptr;
                if (commands == dataref) {
                    problem(line, "<Knob> needs either Up and Down commands or a Dataref to step");
                    break;
                }
                if (commands) {
                    if (required(e, "Up") == nullptr || required(e, "Down") == nullptr) break;
                    commandAttribute(e, "Up", &k.up);
                    commandAttribute(e, "Down", &k.down);
                } else {
                    if (required(e, "Step") == nullptr || required(e, "Min") == nullptr ||
                        required(e, "Max") == nullptr) {
                        break;
                    }
                    datarefAttribute(e, "Dataref", &k.value.ref);
                    wholeNumber(e, "Index", 0, 65535, &k.value.index);
                    number(e, "Step", &k.step);
                    number(e, "Min", &k.minimum);
                    number(e, "Max", &k.maximum);
                    yesNo(e, "Wrap", &k.wrap);
                    if (!(k.step > 0.0f) || !(k.minimum < k.maximum)) {
                        problem(line, "<Knob> needs Step above 0 and Min below Max");
                    }
                }
                k.bound = true;
                break;
            }
            case 1: {
                checkAttributes(e, {"Selector", "Dataref", "Index", "Scale"});
                const int s = selector(e, "Selector", kMultiSelectors);
                if (s < 0 || !firstTime(&displaySeen_[s], line, "the display at this position")) break;
                if (required(e, "Dataref") == nullptr) break;
                valueSource(e, "Dataref", &m.displays[s].value);
                m.displays[s].bound = true;
                break;
            }
            case 2:
                checkAttributes(e, kConditionAttributes);
                if (firstTime(&machSeen_, line, "<Mach>")) condition(e, &m.mach);
                break;
            case 3: {
                checkAttributes(e, kActionAttributes, {"Name"});
                const int b = selector(e, "Name", kMultiButtons);
                if (b < 0) break;
                Action a;
                action(e, false, &a);
                const bool one[1] = {true};
                storeActions(e, a, &m.buttons[b], one, 1, "the button", {kMultiButtons.begin()[b]});
                break;
            }
            case 4: {
                checkAttributes(e, kConditionAttributes, {"Name"});
                const int b = selector(e, "Name", kMultiButtons);
                if (b >= 0 && firstTime(&lampSeen_[b], line, "the lamp")) condition(e, &m.lamps[b]);
                break;
            }
            case 5:
            case 6:
            case 7: {
                checkAttributes(e, kActionAttributes, {"Position"});
                const int which = indexOf(e->Value(), {"Autothrottle", "Flaps", "Trim"});
                static const std::initializer_list<const char *> *const kNames[] = {&kOnOff, &kGearPositions,
                                                                                    &kTrimPositions};
                Action *slots = which == 0 ? m.autothrottle : which == 1 ? m.flaps : m.trim;
                bool chosen[2];
                if (!positions(e, *kNames[which], chosen)) break;
                Action a;
                action(e, which == 0, &a);
                if (a.kind == ActionKind::Unbound) break;
                storeActions(e, a, slots, chosen, 2, e->Value(), *kNames[which]);
                break;
            }
            default: problem(line, "<%s> is not part of the Multi Panel", e->Value()); break;
        }
    }
}

void Reader::readSwitch(const TiXmlElement *section) {
    checkAttributes(section, {});
    SwitchProfile &sp = out_->switches;
    for (const TiXmlElement *e = section->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const int line = e->Row();
        switch (indexOf(e->Value(), {"Switch", "Magneto", "Gear", "GearLamp"})) {
            case 0: {
                checkAttributes(e, kActionAttributes, {"Name", "Position"});
                const int s = selector(e, "Name", kSwitchNames);
                bool chosen[2];
                if (s < 0 || !positions(e, kOnOff, chosen)) break;
                Action a;
                action(e, true, &a);
                if (a.kind != ActionKind::Unbound) {
                    storeActions(e, a, sp.switches[s], chosen, 2, kSwitchNames.begin()[s], kOnOff);
                }
                break;
            }
            case 1:
            case 2: {
                checkAttributes(e, kActionAttributes, {"Position"});
                const bool magneto = indexOf(e->Value(), {"Magneto"}) == 0;
                const std::initializer_list<const char *> names = magneto ? kMagnetoPositions : kGearPositions;
                bool chosen[kMagnetoPositionCount];
                if (!positions(e, names, chosen)) break;
                Action a;
                action(e, false, &a);
                if (a.kind == ActionKind::Unbound) break;
                storeActions(e, a, magneto ? sp.magneto : sp.gear, chosen, static_cast<int>(names.size()),
                             e->Value(), names);
                break;
            }
            case 3: {
                checkAttributes(e, kConditionAttributes, {"Lamp", "Colour"});
                int lamp = 0;
                if (required(e, "Lamp") == nullptr || required(e, "Colour") == nullptr) break;
                if (!wholeNumber(e, "Lamp", 1, 3, &lamp)) break;
                const int colour = indexOf(e->Attribute("Colour"), {"Green", "Red"});
                if (colour < 0) {
                    problem(line, "Colour=\"%s\" is neither Green nor Red", e->Attribute("Colour"));
                    break;
                }
                const int index = colour * 3 + lamp - 1;
                if (firstTime(&gearLampSeen_[index], line, "the gear lamp")) condition(e, &sp.gearLamps[index]);
                break;
            }
            default: problem(line, "<%s> is not part of the Switch Panel", e->Value()); break;
        }
    }
}

void Reader::readRadio(const TiXmlElement *section) {
    checkAttributes(section, {});
    for (const TiXmlElement *e = section->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const int line = e->Row();
        if (indexOf(e->Value(), {"Radio"}) != 0) {
            problem(line, "<%s> is not part of the Radio Panel", e->Value());
            continue;
        }
        checkAttributes(e, {"Selector", "Active", "Standby", "Scale", "FineUp", "FineDown", "CoarseUp",
                            "CoarseDown", "Swap"});
        const int s = selector(e, "Selector", kRadioSelectors);
        if (s < 0 || !firstTime(&radioSeen_[s], line, "the radio at this position")) continue;
        RadioBinding &r = out_->radio.radios[s];
        r.line = line;
        datarefAttribute(e, "Active", &r.active.ref);
        datarefAttribute(e, "Standby", &r.standby.ref);
        float scale = 1.0f;
        number(e, "Scale", &scale);
        r.active.scale = r.standby.scale = scale;
        commandAttribute(e, "FineUp", &r.fineUp);
        commandAttribute(e, "FineDown", &r.fineDown);
        commandAttribute(e, "CoarseUp", &r.coarseUp);
        commandAttribute(e, "CoarseDown", &r.coarseDown);
        commandAttribute(e, "Swap", &r.swap);
        r.bound = true;
    }
}

void Reader::readBip(const TiXmlElement *section) {
    checkAttributes(section, {});
    for (const TiXmlElement *e = section->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const int line = e->Row();
        if (indexOf(e->Value(), {"Lens"}) != 0) {
            problem(line, "<%s> is not part of the BIP", e->Value());
            continue;
        }
        checkAttributes(e, kConditionAttributes, {"Number", "Colour"});
        int lens = 0;
        if (required(e, "Number") == nullptr || !wholeNumber(e, "Number", 0, kProfileLensCount - 1, &lens)) continue;
        const char *colourText = required(e, "Colour");
        if (colourText == nullptr) continue;
        const int colour = indexOf(colourText, {"Red", "Green", "Amber"});
        if (colour < 0) {
            problem(line, "Colour=\"%s\" is not Red, Green or Amber", colourText);
            continue;
        }
        if (!firstTime(&lensSeen_[lens], line, "the lens")) continue;
        LensBinding &b = out_->bip.lenses[lens];
        b.colour = parseLensColour(colourText);
        for (const TiXmlElement *child = e->FirstChildElement(); child != nullptr;
             child = child->NextSiblingElement()) {
            if (indexOf(child->Value(), {"Flash"}) != 0) {
                problem(child->Row(), "<%s> is not part of a lens", child->Value());
                continue;
            }
            checkAttributes(child, {"On", "Off"});
            int on = 0, off = 0;
            if (required(child, "On") == nullptr || required(child, "Off") == nullptr) continue;
            if (wholeNumber(child, "On", 0, 1000000, &on) && wholeNumber(child, "Off", 0, 1000000, &off)) {
                b.flashOn = flashPhaseLength(child->Attribute("On"));
                b.flashOff = flashPhaseLength(child->Attribute("Off"));
            }
        }
        condition(e, &b.condition);
    }
}

}  // namespace

bool parseProfile(const TiXmlDocument &xml, Profile *out, std::vector<Problem> *problems) {
    const std::string path = out->path;
    *out = Profile();
    out->path = path;
    problems->clear();
    Reader reader(out, problems);
    const TiXmlElement *root = xml.RootElement();
    if (root == nullptr || std::strcmp(root->Value(), kProfileRoot) != 0) {
        reader.problem(root != nullptr ? root->Row() : 0, "the root element is not <%s>", kProfileRoot);
    } else {
        reader.readRoot(root);
    }
    return problems->empty();
}

bool readProfile(const std::string &path, Profile *out, std::vector<Problem> *problems) {
    LayoutDocument document;
    readLayoutDocument(path.c_str(), &document);
    out->path = path;
    if (document.status != LayoutFileStatus::Ok) {
        *out = Profile();
        out->path = path;
        problems->assign(1, Problem{document.line, "the file " + layoutFileProblem(document)});
        return false;
    }
    return parseProfile(document.xml, out, problems);
}

std::string describe(const Problem &problem) {
    if (problem.line <= 0) return problem.text;
    return "line " + std::to_string(problem.line) + ": " + problem.text;
}

}  // namespace profile
}  // namespace drovanel
