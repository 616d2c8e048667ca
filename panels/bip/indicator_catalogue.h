// The indicator names a BIP configuration file may bind to a lens, each
// making one kind of lens binding on fixed datarefs.
#ifndef DROVANEL_PANELS_BIP_INDICATOR_CATALOGUE_H
#define DROVANEL_PANELS_BIP_INDICATOR_CATALOGUE_H

#include <cstddef>

#include "bip_assignement.h"
#include "lens_colour.h"

namespace drovanel {

// A new binding for the indicator name (compared over the whole string,
// ASCII case ignored), owned by the caller; nullptr for an unknown name or
// when memory runs out. Logs nothing itself.
BipAssignement *createAssignement(const char *name, LensColour colour);

// The catalogue's names in table order (for tests and documentation).
std::size_t indicatorCount();
const char *indicatorName(std::size_t entry);

// Whole-string comparison ignoring ASCII letter case.
bool equalsIgnoringAsciiCase(const char *a, const char *b);

}  // namespace drovanel

#endif
