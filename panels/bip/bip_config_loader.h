// Reads a BIP configuration file (XML) and makes the lens bindings it names:
//
//   <Bip><BipProgramming>
//     <Lense><Assignment>5</Assignment><Colour>Red</Colour>
//            <Id>MasterWarning</Id><Flash On="500" Off="500"/></Lense>
//     ...
//   </BipProgramming></Bip>
//
// Each entry stands alone: a bad one is logged and skipped.
#ifndef DROVANEL_PANELS_BIP_BIP_CONFIG_LOADER_H
#define DROVANEL_PANELS_BIP_BIP_CONFIG_LOADER_H

#include <cstdint>
#include <functional>

#include "bip_assignement.h"
#include "lens_colour.h"

namespace drovanel {

// Files larger than this, or nesting elements deeper, are not read: a lens
// layout is a few kilobytes and four levels deep, and the XML parser
// recurses once per level.
constexpr long kMaxConfigFileBytes = 1024 * 1024;
constexpr int kMaxConfigDepth = 64;

// Flash phase limits, ms.
constexpr std::uint32_t kMinFlashPhase = 200;
constexpr std::uint32_t kMaxFlashPhase = 20000;

// Receives the outcome of each entry in document order: lens (0-23) gets
// binding, which is nullptr when the indicator name was not known. The
// receiver owns the binding.
using LensStore = std::function<void(int lens, BipAssignement *binding)>;

void loadBipConfiguration(const char *path, const LensStore &store);

// Reads a decimal integer as atoi does (leading blanks and a sign, stops at
// the first non-digit, no digits give 0), saturating instead of overflowing.
long long parseDecimal(const char *text);
// "Red", "Green" or "Amber" in any letter case; anything else is Off.
LensColour parseLensColour(const char *text);
// A flash phase length from its attribute text, limited to 200-20000 ms
// (0 stays 0: no flash).
std::uint32_t flashPhaseLength(const char *text);

}  // namespace drovanel

#endif
