// Datarefs: typed values per registered table, the plug-in's reads and
// writes through handles, and the test's own access by path.
#include <stdexcept>

#include "XPLMDataAccess.h"
#include "hostsim/state.h"

namespace hostsim {
namespace detail {

namespace {

bool isArray(DataType type) { return type == DataType::IntArray || type == DataType::FloatArray; }
bool isIntType(DataType type) { return type == DataType::Int || type == DataType::IntArray; }

void clearValues(Dataref &d) {
    if (isIntType(d.type)) {
        d.ints.assign(d.size, 0);
        d.floats.clear();
    } else {
        d.floats.assign(d.size, 0.0f);
        d.ints.clear();
    }
}

// A handle is the Dataref's address; only addresses the host handed out are
// ever dereferenced, so a forged or dangling pointer reads 0.
Dataref *fromHandle(State &s, XPLMDataRef ref) {
    if (ref == nullptr) {
        return nullptr;
    }
    for (auto &entry : s.datarefs) {
        if (entry.second.get() == ref) {
            return entry.second.get();
        }
    }
    return nullptr;
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

void resetDatarefValues(State &s) {
    for (auto &entry : s.datarefs) {
        entry.second->published = entry.second->tablePublished;
        clearValues(*entry.second);
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
        if (!slot) {
            slot.reset(new Dataref);
        }
        slot->path = entry.path;
        slot->type = entry.type;
        slot->size = detail::isArray(entry.type) ? (entry.size > 0 ? entry.size : 1) : 1;
        slot->tablePublished = entry.published;
        slot->published = entry.published;
        detail::clearValues(*slot);
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
    } else {
        d.floats[index] = value;
    }
}

int getIntAt(const std::string &path, int index) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Dataref &d = detail::byPath(s, path);
    detail::checkIndex(d, index);
    return detail::isIntType(d.type) ? d.ints[index] : static_cast<int>(d.floats[index]);
}

float getFloatAt(const std::string &path, int index) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Dataref &d = detail::byPath(s, path);
    detail::checkIndex(d, index);
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

extern "C" {

XPLMDataRef XPLMFindDataRef(const char *inDataRefName) {
    SdkCall call("XPLMFindDataRef");
    if (inDataRefName == nullptr) {
        return nullptr;
    }
    auto it = call.s.datarefs.find(inDataRefName);
    if (it == call.s.datarefs.end() || !it->second->published) {
        return nullptr;
    }
    return it->second.get();
}

int XPLMGetDatai(XPLMDataRef inDataRef) {
    SdkCall call("XPLMGetDatai");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    return d != nullptr && d->type == DataType::Int ? d->ints[0] : 0;
}

void XPLMSetDatai(XPLMDataRef inDataRef, int inValue) {
    SdkCall call("XPLMSetDatai");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d != nullptr && d->type == DataType::Int) {
        d->ints[0] = inValue;
        call.s.datarefWrites.push_back({d->path, 0, static_cast<double>(inValue), 1});
    }
}

float XPLMGetDataf(XPLMDataRef inDataRef) {
    SdkCall call("XPLMGetDataf");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    return d != nullptr && d->type == DataType::Float ? d->floats[0] : 0.0f;
}

void XPLMSetDataf(XPLMDataRef inDataRef, float inValue) {
    SdkCall call("XPLMSetDataf");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d != nullptr && d->type == DataType::Float) {
        d->floats[0] = inValue;
        call.s.datarefWrites.push_back({d->path, 0, static_cast<double>(inValue), 1});
    }
}

int XPLMGetDatavi(XPLMDataRef inDataRef, int *outValues, int inOffset, int inMax) {
    SdkCall call("XPLMGetDatavi");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d == nullptr || d->type != DataType::IntArray) {
        return 0;
    }
    if (outValues == nullptr) {
        return d->size;
    }
    int count = inMax;
    if (!hostsim::detail::clipRange(*d, inOffset, &count)) {
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        outValues[i] = d->ints[inOffset + i];
    }
    return count;
}

void XPLMSetDatavi(XPLMDataRef inDataRef, int *inValues, int inoffset, int inCount) {
    SdkCall call("XPLMSetDatavi");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    int count = inCount;
    if (d == nullptr || d->type != DataType::IntArray || inValues == nullptr ||
        !hostsim::detail::clipRange(*d, inoffset, &count)) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        d->ints[inoffset + i] = inValues[i];
    }
    call.s.datarefWrites.push_back({d->path, inoffset, static_cast<double>(inValues[0]), count});
}

int XPLMGetDatavf(XPLMDataRef inDataRef, float *outValues, int inOffset, int inMax) {
    SdkCall call("XPLMGetDatavf");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    if (d == nullptr || d->type != DataType::FloatArray) {
        return 0;
    }
    if (outValues == nullptr) {
        return d->size;
    }
    int count = inMax;
    if (!hostsim::detail::clipRange(*d, inOffset, &count)) {
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        outValues[i] = d->floats[inOffset + i];
    }
    return count;
}

void XPLMSetDatavf(XPLMDataRef inDataRef, float *inValues, int inoffset, int inCount) {
    SdkCall call("XPLMSetDatavf");
    Dataref *d = hostsim::detail::fromHandle(call.s, inDataRef);
    int count = inCount;
    if (d == nullptr || d->type != DataType::FloatArray || inValues == nullptr ||
        !hostsim::detail::clipRange(*d, inoffset, &count)) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        d->floats[inoffset + i] = inValues[i];
    }
    call.s.datarefWrites.push_back({d->path, inoffset, static_cast<double>(inValues[0]), count});
}

}  // extern "C"
