// Reads an aircraft profile file into a Profile. A profile is taken whole or
// not at all: any mistake refuses it, and each mistake is named with its
// line. The BIP layout's reader (bip/bip_layout.h) reads the file, so both
// kinds of file are read alike.
#ifndef DROVANEL_PANELS_PROFILE_PROFILE_LOADER_H
#define DROVANEL_PANELS_PROFILE_PROFILE_LOADER_H

#include <string>
#include <vector>

#include "profile.h"
#include "tinyxml.h"

namespace drovanel {
namespace profile {

struct Problem {
    int line;  // 0: the file as a whole
    std::string text;
};

// The root element's name; a file whose root is not this is no profile.
constexpr const char *kProfileRoot = "DrovanelProfile";

// Reads the parsed document into *out (cleared first). Returns true when it
// holds no mistake; otherwise the problems, in document order.
bool parseProfile(const TiXmlDocument &xml, Profile *out, std::vector<Problem> *problems);

// Reads and parses the file at path, then as above; out->path is path.
bool readProfile(const std::string &path, Profile *out, std::vector<Problem> *problems);

// "line 12: ..." (or the text alone for line 0).
std::string describe(const Problem &problem);

}  // namespace profile
}  // namespace drovanel

#endif
