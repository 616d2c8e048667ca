#include "bip_config_loader.h"

#include <cstring>

#include "bip_log.h"

namespace drovanel {

namespace {

// The plug-in's reading of a layout: what is wrong goes to the host's log,
// each binding to the store.
class LoggingListener : public LayoutListener {
public:
    explicit LoggingListener(const LensStore &store) : store_(store) {}

    void missingElement(const char *name, int) override {
        // A file without Bip or BipProgramming is passed over in silence.
        if (std::strcmp(name, "Lense") == 0) bipLog("Drovanel : node <Lense> not found\n");
    }
    void missingBrightness(int) override {
        // The attribute is read and reported but acts on nothing: the panel's
        // brightness follows the simulator's instrument brightness.
        bipLog("Drovanel : attribute Brightness not found, using default=100%%\n");
    }
    void incompleteEntry(const char *child, bool, int) override { bipLog("Drovanel : node <%s> not found\n", child); }
    void lensOutOfRange(const char *, int) override { bipLog("Drovanel : index out of range [0-23]\n"); }
    void lensEntry(const LensEntry &entry, BipAssignement *binding) override {
        int colour = static_cast<int>(entry.colour);
        if (binding == nullptr) {
            bipLog("Drovanel : failed to create -> index=%d, c=%d, ind=%s\n", entry.lens, colour, entry.id);
        } else if (entry.flashOn != nullptr && entry.flashOff != nullptr) {
            bipLog("Drovanel : flash for -> index=%d, c=%d, ind=%s\n", entry.lens, colour, entry.id);
        }
        store_(entry.lens, binding);
    }

private:
    const LensStore &store_;
};

}  // namespace

void loadBipLayout(const LayoutDocument &document, const LensStore &store) {
    LoggingListener listener(store);
    walkLayout(document.xml, listener);
}

void loadBipConfiguration(const char *path, const LensStore &store) {
    LayoutDocument document;
    readLayoutDocument(path, &document);
    if (document.status == LayoutFileStatus::TooLarge) {
        bipLog("Drovanel : BIP xml file >%s< is larger than %ld bytes, not read\n", path, kMaxConfigFileBytes);
    } else if (document.status == LayoutFileStatus::TooDeep) {
        bipLog("Drovanel : BIP xml file >%s< nests elements deeper than %d levels, not read\n", path,
               kMaxConfigDepth);
    }
    if (document.status != LayoutFileStatus::Ok) {
        bipLog("Drovanel : BIP xml file >%s< not found\n", path);
        return;
    }
    loadBipLayout(document, store);
}

}  // namespace drovanel
