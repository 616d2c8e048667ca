#include "profile_lens.h"

#include "profile/profile_binding.h"

namespace drovanel {

ProfileLens::ProfileLens(const profile::LensBinding &binding) : BipAssignement(binding.colour), binding_(binding) {
    flashOn = binding.flashOn;
    flashOff = binding.flashOff;
}

bool ProfileLens::usable() const { return profile::usable(binding_.condition); }

void ProfileLens::evaluate() {
    if ((profile::holds(binding_.condition) || lampTest())) {
        light();
    } else {
        darken();
    }
}

}  // namespace drovanel
