#include "profile_binding.h"

#include "host_command.h"

namespace drovanel {
namespace profile {

namespace {

void resolve(DatarefName &ref) {
    if (ref.name.empty() || ref.handle != nullptr) return;
    ref.handle = XPLMFindDataRef(ref.name.c_str());
    ref.types = ref.handle != nullptr ? XPLMGetDataRefTypes(ref.handle) : 0;
}

void resolve(CommandName &ref) {
    if (ref.name.empty() || ref.handle != nullptr) return;
    ref.handle = XPLMFindCommand(ref.name.c_str());
}

bool usable(const DatarefName &ref) { return !ref.name.empty() && ref.handle != nullptr; }
bool usable(const CommandName &ref) { return !ref.name.empty() && ref.handle != nullptr; }

void forEach(ValueSource &v, const std::function<void(DatarefName &)> &dataref) { dataref(v.ref); }
void forEach(Condition &c, const std::function<void(DatarefName &)> &dataref) { dataref(c.value.ref); }
void forEach(Action &a, const std::function<void(DatarefName &)> &dataref,
             const std::function<void(CommandName &)> &command) {
    command(a.command);
    dataref(a.state.ref);
    dataref(a.target.ref);
}

bool has(int types, int type) { return (types & type) != 0; }

}  // namespace

void forEachName(Profile &p, const std::function<void(DatarefName &)> &dataref,
                 const std::function<void(CommandName &)> &command) {
    dataref(p.match.dataref);
    command(p.match.command);
    MultiProfile &m = p.multi;
    for (Knob &k : m.knobs) {
        command(k.up);
        command(k.down);
        forEach(k.value, dataref);
    }
    for (Display &d : m.displays) forEach(d.value, dataref);
    forEach(m.mach, dataref);
    for (Action &a : m.buttons) forEach(a, dataref, command);
    for (Condition &c : m.lamps) forEach(c, dataref);
    for (Action *group : {m.autothrottle, m.flaps, m.trim}) {
        for (int i = 0; i < 2; ++i) forEach(group[i], dataref, command);
    }
    SwitchProfile &s = p.switches;
    for (auto &positions : s.switches) {
        for (Action &a : positions) forEach(a, dataref, command);
    }
    for (Action &a : s.magneto) forEach(a, dataref, command);
    for (Action &a : s.gear) forEach(a, dataref, command);
    for (Condition &c : s.gearLamps) forEach(c, dataref);
    for (RadioBinding &r : p.radio.radios) {
        forEach(r.active, dataref);
        forEach(r.standby, dataref);
        for (CommandName *c : {&r.fineUp, &r.fineDown, &r.coarseUp, &r.coarseDown, &r.swap}) command(*c);
    }
    for (LensBinding &l : p.bip.lenses) forEach(l.condition, dataref);
}

void resolveNames(Profile &profile, const std::function<void(const char *, bool)> &unknown) {
    forEachName(
        profile,
        [&](DatarefName &ref) {
            resolve(ref);
            if (!ref.name.empty() && ref.handle == nullptr) unknown(ref.name.c_str(), false);
        },
        [&](CommandName &ref) {
            resolve(ref);
            if (!ref.name.empty() && ref.handle == nullptr) unknown(ref.name.c_str(), true);
        });
}

bool usable(const ValueSource &value) { return usable(value.ref); }
bool usable(const Condition &condition) { return condition.bound && usable(condition.value); }

bool usable(const Action &action) {
    switch (action.kind) {
        case ActionKind::Unbound: return false;
        case ActionKind::Command:
        case ActionKind::Hold: return usable(action.command);
        case ActionKind::Toggle: return usable(action.command) && usable(action.state);
        case ActionKind::Write: return usable(action.target);
        case ActionKind::Nothing: return true;
    }
    return false;
}

bool usable(const Knob &knob) {
    if (!knob.bound) return false;
    if (!knob.up.name.empty()) return usable(knob.up) && usable(knob.down);
    return usable(knob.value);
}

float read(const ValueSource &value) {
    const DatarefName &ref = value.ref;
    float raw = 0.0f;
    if (value.index >= 0) {
        if (has(ref.types, xplmType_FloatArray)) {
            XPLMGetDatavf(ref.handle, &raw, value.index, 1);
        } else if (has(ref.types, xplmType_IntArray)) {
            int element = 0;
            XPLMGetDatavi(ref.handle, &element, value.index, 1);
            raw = static_cast<float>(element);
        }
    } else if (has(ref.types, xplmType_Float)) {
        raw = XPLMGetDataf(ref.handle);
    } else if (has(ref.types, xplmType_Double)) {
        raw = static_cast<float>(XPLMGetDatad(ref.handle));
    } else if (has(ref.types, xplmType_Int)) {
        raw = static_cast<float>(XPLMGetDatai(ref.handle));
    }
    return raw * value.scale;
}

void write(const ValueSource &target, float value) {
    const DatarefName &ref = target.ref;
    if (target.index >= 0) {
        if (has(ref.types, xplmType_FloatArray)) {
            XPLMSetDatavf(ref.handle, &value, target.index, 1);
        } else if (has(ref.types, xplmType_IntArray)) {
            int element = static_cast<int>(value);
            XPLMSetDatavi(ref.handle, &element, target.index, 1);
        }
    } else if (has(ref.types, xplmType_Float)) {
        XPLMSetDataf(ref.handle, value);
    } else if (has(ref.types, xplmType_Double)) {
        XPLMSetDatad(ref.handle, value);
    } else if (has(ref.types, xplmType_Int)) {
        XPLMSetDatai(ref.handle, static_cast<int>(value));
    }
}

bool holds(const Condition &condition) {
    const float v = read(condition.value);
    switch (condition.compare) {
        case Compare::NonZero: return v != 0.0f;
        case Compare::Equals: return v == condition.operand;
        case Compare::Above: return v > condition.operand;
        case Compare::Below: return v < condition.operand;
    }
    return false;
}

bool applyAction(Action &action) {
    if (!usable(action)) return false;
    switch (action.kind) {
        case ActionKind::Command: commandOnce(action.command.handle); break;
        case ActionKind::Hold:
            if (!action.held) commandBegin(action.command.handle);
            action.held = true;
            break;
        case ActionKind::Toggle:
            if ((read(action.state) != 0.0f) != action.wanted) commandOnce(action.command.handle);
            break;
        case ActionKind::Write: write(action.target, action.value); break;
        case ActionKind::Nothing:
        case ActionKind::Unbound: break;
    }
    return true;
}

void releaseHeldExcept(Action *actions, int count, int current) {
    for (int i = 0; i < count; ++i) {
        if (i != current && actions[i].held) {
            commandEnd(actions[i].command.handle);
            actions[i].held = false;
        }
    }
}

bool applyPosition(Action *actions, int count, int current) {
    releaseHeldExcept(actions, count, current);
    if (current < 0 || current >= count) return false;
    return applyAction(actions[current]);
}

void releaseHeld(Action *actions, int count) { applyPosition(actions, count, -1); }

void stepKnob(const Knob &knob, bool up) {
    if (!knob.up.name.empty()) {
        commandOnce(up ? knob.up.handle : knob.down.handle);
        return;
    }
    float v = read(knob.value) + (up ? knob.step : -knob.step);
    if (knob.wrap) {
        // Past one end by a step comes round to the other: a 0-359 dial by
        // 1 goes from 359 to 0.
        const float range = knob.maximum - knob.minimum + knob.step;
        if (v > knob.maximum) {
            v -= range;
        } else if (v < knob.minimum) {
            v += range;
        }
    }
    if (v > knob.maximum) v = knob.maximum;
    if (v < knob.minimum) v = knob.minimum;
    write(knob.value, v);
}

}  // namespace profile
}  // namespace drovanel
