// Reads a BIP configuration file and makes the lens bindings it names,
// logging to the host what is wrong with it. Each entry stands alone: a bad
// one is logged and skipped.
#ifndef DROVANEL_PANELS_BIP_BIP_CONFIG_LOADER_H
#define DROVANEL_PANELS_BIP_BIP_CONFIG_LOADER_H

#include <functional>

#include "bip_assignement.h"
#include "bip_layout.h"

namespace drovanel {

// Receives the outcome of each entry in document order: lens (0-23) gets
// binding, which is nullptr when the indicator name was not known. The
// receiver owns the binding.
using LensStore = std::function<void(int lens, BipAssignement *binding)>;

// Reads the file at path and loads it; a file that cannot be read is logged
// as not found.
void loadBipConfiguration(const char *path, const LensStore &store);
// Loads a layout already read without fault.
void loadBipLayout(const LayoutDocument &document, const LensStore &store);

}  // namespace drovanel

#endif
