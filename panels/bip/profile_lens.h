// A lens lit by an aircraft profile: its condition on the aircraft's own
// dataref, with the profile's colour and flash, and the same power and
// lamp-test rules as every lens.
#ifndef DROVANEL_PANELS_BIP_PROFILE_LENS_H
#define DROVANEL_PANELS_BIP_PROFILE_LENS_H

#include "bip_assignement.h"
#include "profile/profile.h"

namespace drovanel {

class ProfileLens final : public BipAssignement {
public:
    // The binding stays the profile's; it must outlive this lens.
    explicit ProfileLens(const profile::LensBinding &binding);
    void evaluate() override;
    // Whether the simulator knows the names of its condition.
    bool usable() const;

private:
    const profile::LensBinding &binding_;
};

}  // namespace drovanel

#endif
