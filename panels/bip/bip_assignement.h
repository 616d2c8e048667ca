// A lens binding: ties one BIP lens to one simulator condition. evaluate()
// reads the simulator (every flight loop) and sets the colour the lens shows;
// the binding also carries the lens's flash lengths and answers whether the
// aircraft has electrical power, since a dead aircraft shows no lens.
//
// Every field is guarded by the owning panel's dataLock once the binding is
// stored in a lens. Dataref handles are resolved once, in the constructor.
#ifndef DROVANEL_PANELS_BIP_BIP_ASSIGNEMENT_H
#define DROVANEL_PANELS_BIP_BIP_ASSIGNEMENT_H

#include <cstdint>

#include "XPLMDataAccess.h"
#include "lens_colour.h"

namespace drovanel {

class BipAssignement {
public:
    // Lit while the int value of the dataref named key is non-zero.
    BipAssignement(const char *key, LensColour colour);
    virtual ~BipAssignement() = default;

    BipAssignement(const BipAssignement &) = delete;
    BipAssignement &operator=(const BipAssignement &) = delete;

    virtual void evaluate();

    // Battery, generator or running APU generator on.
    bool isPowered() const;

    // Begins a flash in its lit phase when both lengths are set.
    void startFlash();

    // Steps a running flash to the tick `now` (phases alternate after
    // flashOn and flashOff ms). Returns whether the lens is in a lit phase;
    // without a running flash it is always lit.
    bool stepFlash(std::uint32_t now);
    bool flashRunning() const { return flashStart != 0 && flashOn != 0 && flashOff != 0; }

    LensColour shown = kLensOff;  // what the lens shows now
    const LensColour colour;      // what the configuration asked for

    std::uint32_t flashOn = 0;     // lit phase, ms; 0 = no flash
    std::uint32_t flashOff = 0;    // dark phase, ms; 0 = no flash
    bool flashPhase = false;       // true in the lit phase
    std::uint32_t flashStart = 0;  // tick the phase began; 0 = no flash running

protected:
    // A binding that reads its own value (an aircraft profile's); ref stays null.
    explicit BipAssignement(LensColour colour);

    // The lens takes its configured colour; a flash starts only when the
    // lens changes to it, never while it stays lit.
    void light();
    void darken();
    bool lampTest() const;

    XPLMDataRef ref;
    XPLMDataRef testRef;
    XPLMDataRef numBatteriesRef;
    XPLMDataRef numGeneratorsRef;
    XPLMDataRef batteryOnRef;
    XPLMDataRef generatorOnRef;
    XPLMDataRef apuGeneratorOnRef;
    XPLMDataRef apuRunningRef;
};

}  // namespace drovanel

#endif
