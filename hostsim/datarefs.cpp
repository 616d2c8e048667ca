// Datarefs: typed values per registered table, the plug-in's reads and
// writes through handles, and the test's own access by path.
#include <stdexcept>
#include <unordered_set>

#include "XPLMDataAccess.h"
#include "hostsim/simulator_names.h"
#include "hostsim/state.h"

namespace hostsim {
namespace detail {

namespace {

bool isArray(DataType type) {
    return type == DataType::IntArray || type == DataType::FloatArray || type == DataType::NumberArray;
}
bool isIntType(DataType type) { return type == DataType::Int || type == DataType::IntArray; }

// The address of every Dataref the host made, for the handle check below.
// Datarefs live as long as the process, so entries are only ever added;
// guarded by the host's mutex like the table itself.
std::unordered_set<const void *> &knownHandles() {
    static auto *handles = new std::unordered_set<const void *>;
    return *handles;
}

// A handle is the Dataref's address; only addresses the host handed out are
// ever dereferenced, so a forged or dangling pointer reads 0. A hashed look-up
// keeps the check from costing more than the plug-in's own work: every
// panel's update reads dozens of datarefs per flight loop.
Dataref *fromHandle(State &, XPLMDataRef ref) {
    if (ref == nullptr || knownHandles().count(ref) == 0) {
        return nullptr;
    }
    return static_cast<Dataref *>(ref);
}

// The test's access by path: a typo in a test must fail loudly.
Dataref &byPath(State &s, const std::string &path) {
    auto it = s.datarefs.find(path);
    if (it == s.datarefs.end()) {
        throw std::invalid_argument("hostsim: unknown dataref " + path);
    }
    return *it->second;
}

void checkIndex(const Dataref &d, int index) {
    if (index < 0 || index >= d.size) {
        throw std::out_of_range("hostsim: index " + std::to_string(index) + " outside " + d.path);
    }
}

// Clips [offset, offset + count) to the array; false when nothing is left.
bool clipRange(const Dataref &d, int offset, int *count) {
    if (offset < 0 || offset >= d.size || *count <= 0) {
        return false;
    }
    if (*count > d.size - offset) {
        *count = d.size - offset;
    }
    return true;
}

}  // namespace

void clearDatarefValues(Dataref &d) {
    d.ints.clear();
    d.floats.clear();
    d.doubles.clear();
    if (isIntType(d.type)) {
        d.ints.assign(d.size, 0);
    } else if (d.type == DataType::Number) {
        d.doubles.assign(1, 0.0);
    } else {
        d.floats.assign(d.size, 0.0f);
    }
}

void resetDatarefValues(State &s) {
    for (auto &entry : s.datarefs) {
        entry.second->published = entry.second->tablePublished;
        clearDatarefValues(*entry.second);
    }
}

Dataref &newDataref(const std::string &path) {
    Dataref *d = new Dataref;
    d->path = path;
    knownHandles().insert(d);
    return *d;
}

void registerSimulatorDatarefs(State &s) {
    // 12's entry first, so a name in both lists starts with 12's type.
    for (SimulatorVersion version : {SimulatorVersion::XPlane12, SimulatorVersion::XPlane1140}) {
        for (const auto &listed : simulatorNames(version).datarefs) {
            if (!listed.second.modelled) continue;
            std::unique_ptr<Dataref> &slot = s.datarefs[listed.first];
            if (slot) continue;
            slot.reset(&newDataref(listed.first));
            slot->simulator = true;
            slot->type = listed.second.type;
            slot->size = listed.second.size;
            slot->writable = listed.second.writable;
            slot->tablePublished = false;
            clearDatarefValues(*slot);
        }
    }
}

void applySimulatorVersion(State &s) {
    const SimulatorNames &names = simulatorNames(s.version);
    for (auto &entry : s.datarefs) {
        Dataref &d = *entry.second;
        if (!d.simulator) continue;
        const auto listed = names.datarefs.find(d.path);
        d.published = listed != names.datarefs.end() && listed->second.modelled;
        if (!d.published) continue;
        d.writable = listed->second.writable;
        if (d.type != listed->second.type || d.size != listed->second.size) {
            d.type = listed->second.type;
            d.size = listed->second.size;
            clearDatarefValues(d);
        }
    }
}

}  // namespace detail

using detail::Dataref;
using detail::State;

void registerDatarefs(const DatarefSpec *specs, std::size_t count) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    for (std::size_t i = 0; i < count; ++i) {
        const DatarefSpec &entry = specs[i];
        std::unique_ptr<Dataref> &slot = s.datarefs[entry.path];
        if (slot && slot->simulator) continue;  // the simulator's lists decide
        if (!slot) slot.reset(&detail::newDataref(entry.path));
        // A `sim/` name the lists lack stays known to tests but unpublished.
        slot->simulator = detail::isSimulatorPath(entry.path);
        slot->type = entry.type;
        slot->size = detail::isArray(entry.type) ? (entry.size > 0 ? entry.size : 1) : 1;
        slot->tablePublished = entry.published && !slot->simulator;
        slot->published = slot->tablePublished;
        detail::clearDatarefValues(*slot);
    }
}

void publish(const std::string &path) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::byPath(s, path).published = true;
}

void unpublish(const std::string &path) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::byPath(s, path).published = false;
}

bool isPublished(const std::string &path) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    auto it = s.datarefs.find(path);
    return it != s.datarefs.end() && it->second->published;
}

bool isKnown(const std::string &path) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.datarefs.count(path) != 0;
}

// The test's setters and getters convert between int and float as C would:
// they stand for the simulator changing its own state.
void setInt(const std::string &path, int value) { setIntAt(path, 0, value); }
void setFloat(const std::string &path, float value) { setFloatAt(path, 0, value); }
int getInt(const std::string &path) { return getIntAt(path, 0); }
float getFloat(const std::string &path) { return getFloatAt(path, 0); }

void setIntAt(const std::string &path, int index, int value) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Dataref &d = detail::byPath(s, path);
    detail::checkIndex(d, index);
    if (detail::isIntType(d.type)) {
        d.ints[index] = value;
    } else if (d.type == DataType::Number) {
        d.doubles[0] = value;
    } else {
        d.floats[index] = static_cast<float>(value);
    }
}

void setFloatAt(const std::string &path, int index, float value) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Dataref &d = detail::byPath(s, path);
    detail::checkIndex(d, index);
    if (detail::isIntType(d.type)) {
        d.ints[index] = static_cast<int>(value);
    } else if (d.type == DataType::Number) {
        d.doubles[0] = value;
    } else {
        d.floats[index] = value;
    }
}

int getIntAt(const std::string &path, int index) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Dataref &d = detail::byPath(s, path);
    detail::checkIndex(d, index);
    if (d.type == DataType::Number) return static_cast<int>(d.doubles[0]);
    return detail::isIntType(d.type) ? d.ints[index] : static_cast<int>(d.floats[index]);
}

float getFloatAt(const std::string &path, int index) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Dataref &d = detail::byPath(s, path);
    detail::checkIndex(d, index);
    if (d.type == DataType::Number) return static_cast<float>(d.doubles[0]);
    return detail::isIntType(d.type) ? static_cast<float>(d.ints[index]) : d.floats[index];
}

const std::vector<DatarefWrite> &datarefWrites() { return detail::state().datarefWrites; }

void clearDatarefWrites() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.datarefWrites.clear();
}

}  // namespace hostsim

using hostsim::DataType;
using hostsim::detail::Dataref;
using hostsim::detail::SdkCall;

namespace {

// The array readers and writers of both element types.
template <typename T>
int getArray(const char *name, XPLMDataRef ref, DataType type, std::vector<T> Dataref::*values, T *out,
             int offset, int max) {
    SdkCall call(name);
    Dataref *d = hostsim::detail::fromHandle(call.s, ref);
    const bool number = d != nullptr && d->type == DataType::NumberArray;
    if (d == nullptr || (d->type != type && !number)) return 0;
    if (out == nullptr) return d->size;
    int count = max;
    if (!hostsim::detail::clipRange(*d, offset, &count)) return 0;
    // An add-on's number array is read as floats or ints alike.
    for (int i = 0; i < count; ++i) out[i] = number ? static_cast<T>(d->floats[offset + i]) : (d->*values)[offset + i];
    return count;
}

template <typename T>
void setArray(const char *name, XPLMDataRef ref, DataType type, std::vector<T> Dataref::*values, const T *in,
              int offset, int count) {
    SdkCall call(name);
    Dataref *d = hostsim::detail::fromHandle(call.s, ref);
    const bool number = d != nullptr && d->type == DataType::NumberArray;
    if (d == nullptr || (d->type != type && !number) || !d->writable || in == nullptr ||
        !hostsim::detail::clipRange(*d, offset, &count)) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (number) {
            d->floats[offset + i] = static_cast<float>(in[i]);
        } else {
            (d->*values)[offset + i] = in[i];
        }
    }
    call.s.datarefWrites.push_back({d->path, offset, static_cast<double>(in[0]), count});
}

}  // namespace

extern "C" {

XPLMDataRef XPLMFindDataRef(const char *inDataRefName) {
    SdkCall call("XPLMFindDataRef");
    if (inDataRefName == nullptr) {
        return nullptr;
    }
    hostsim::detail::noteAsked(call.s.datarefsAsked, inDataRefName);
    auto it = call.s.datarefs.find(inDataRefName);
    if (it == call.s.datarefs.end() || !it->second->published) {
        return nullptr;
    }
    return it->second.get();
}

int XPLMGetDatai(XPLMDataRef inDataRef) {
    SdkCall call("XPLMGetDatai");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d != nullptr && d->type == DataType::Number) return static_cast<int>(d->doubles[0]);
    return d != nullptr && d->type == DataType::Int ? d->ints[0] : 0;
}

void XPLMSetDatai(XPLMDataRef inDataRef, int inValue) {
    SdkCall call("XPLMSetDatai");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d != nullptr && d->type == DataType::Int && d->writable) {
        d->ints[0] = inValue;
        call.s.datarefWrites.push_back({d->path, 0, static_cast<double>(inValue), 1});
    } else if (d != nullptr && d->type == DataType::Number && d->writable) {
        d->doubles[0] = inValue;
        call.s.datarefWrites.push_back({d->path, 0, static_cast<double>(inValue), 1});
    }
}

float XPLMGetDataf(XPLMDataRef inDataRef) {
    SdkCall call("XPLMGetDataf");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d != nullptr && d->type == DataType::Number) return static_cast<float>(d->doubles[0]);
    return d != nullptr && d->type == DataType::Float ? d->floats[0] : 0.0f;
}

void XPLMSetDataf(XPLMDataRef inDataRef, float inValue) {
    SdkCall call("XPLMSetDataf");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d != nullptr && d->type == DataType::Float && d->writable) {
        d->floats[0] = inValue;
        call.s.datarefWrites.push_back({d->path, 0, static_cast<double>(inValue), 1});
    } else if (d != nullptr && d->type == DataType::Number && d->writable) {
        d->doubles[0] = inValue;
        call.s.datarefWrites.push_back({d->path, 0, static_cast<double>(inValue), 1});
    }
}


int XPLMGetDatavi(XPLMDataRef inDataRef, int *outValues, int inOffset, int inMax) {
    return getArray("XPLMGetDatavi", inDataRef, DataType::IntArray, &Dataref::ints, outValues, inOffset, inMax);
}

void XPLMSetDatavi(XPLMDataRef inDataRef, int *inValues, int inoffset, int inCount) {
    setArray("XPLMSetDatavi", inDataRef, DataType::IntArray, &Dataref::ints, inValues, inoffset, inCount);
}

int XPLMGetDatavf(XPLMDataRef inDataRef, float *outValues, int inOffset, int inMax) {
    return getArray("XPLMGetDatavf", inDataRef, DataType::FloatArray, &Dataref::floats, outValues, inOffset, inMax);
}

void XPLMSetDatavf(XPLMDataRef inDataRef, float *inValues, int inoffset, int inCount) {
    setArray("XPLMSetDatavf", inDataRef, DataType::FloatArray, &Dataref::floats, inValues, inoffset, inCount);
}

XPLMDataTypeID XPLMGetDataRefTypes(XPLMDataRef inDataRef) {
    SdkCall call("XPLMGetDataRefTypes");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d == nullptr) return xplmType_Unknown;
    switch (d->type) {
        case DataType::Int: return xplmType_Int;
        case DataType::Float: return xplmType_Float;
        case DataType::IntArray: return xplmType_IntArray;
        case DataType::FloatArray: return xplmType_FloatArray;
        case DataType::Number: return xplmType_Int | xplmType_Float | xplmType_Double;
        case DataType::NumberArray: return xplmType_FloatArray | xplmType_IntArray;
    }
    return xplmType_Unknown;
}

int XPLMCanWriteDataRef(XPLMDataRef inDataRef) {
    SdkCall call("XPLMCanWriteDataRef");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    return d != nullptr && d->writable ? 1 : 0;
}

double XPLMGetDatad(XPLMDataRef inDataRef) {
    SdkCall call("XPLMGetDatad");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    return d != nullptr && d->type == DataType::Number ? d->doubles[0] : 0.0;
}

void XPLMSetDatad(XPLMDataRef inDataRef, double inValue) {
    SdkCall call("XPLMSetDatad");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d != nullptr && d->type == DataType::Number && d->writable) {
        d->doubles[0] = inValue;
        call.s.datarefWrites.push_back({d->path, 0, inValue, 1});
    }
}

}  // extern "C"
