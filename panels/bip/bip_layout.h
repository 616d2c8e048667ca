// The BIP's lens layout file read into a document and walked entry by entry,
// with the line of everything it finds. The plug-in's loader and the layout
// checker share this layer, so both read a file exactly alike:
//
//   <Bip><BipProgramming>
//     <Lense><Assignment>5</Assignment><Colour>Red</Colour>
//            <Id>MasterWarning</Id><Flash On="500" Off="500"/></Lense>
//     ...
//   </BipProgramming></Bip>
#ifndef DROVANEL_PANELS_BIP_BIP_LAYOUT_H
#define DROVANEL_PANELS_BIP_BIP_LAYOUT_H

#include <cstdint>
#include <string>

#include "bip_assignement.h"
#include "lens_colour.h"
#include "tinyxml.h"

namespace drovanel {

// Files larger than this, or nesting elements deeper, are not read: a lens
// layout is a few kilobytes and four levels deep, and the XML parser
// recurses once per level.
constexpr long kMaxConfigFileBytes = 1024 * 1024;
constexpr int kMaxConfigDepth = 64;

// Flash phase limits, ms.
constexpr std::uint32_t kMinFlashPhase = 200;
constexpr std::uint32_t kMaxFlashPhase = 20000;

enum class LayoutFileStatus { Ok, CannotOpen, CannotRead, TooLarge, TooDeep, NotWellFormed };

// A layout file read and parsed, or why it could not be.
struct LayoutDocument {
    LayoutFileStatus status = LayoutFileStatus::CannotOpen;
    int error = 0;   // errno of CannotOpen and CannotRead
    int line = 0;    // TooDeep: where the nesting passes the limit; NotWellFormed: the parser's
    int column = 0;  // NotWellFormed: the parser's
    std::string parserError;  // NotWellFormed: the parser's description
    TiXmlDocument xml;
};

// Reads the file (line ends made "\n", as the parser's own file loader
// does, so that its lines are the file's) and parses it.
void readLayoutDocument(const char *path, LayoutDocument *document);
// The file is not there at all (as opposed to there but unreadable).
bool layoutFileMissing(const LayoutDocument &document);
// Why the file could not be read, e.g. "not well-formed XML at line 3,
// column 9: Error reading end tag."; empty when it was.
std::string layoutFileProblem(const LayoutDocument &document);

// One complete lens entry, with the lines its parts are on.
struct LensEntry {
    int line = 0;  // the entry element's
    int lens = 0;  // 0-23
    const char *lensText = "";  // the Assignment text it was read from
    int lensLine = 0;
    const char *colourText = "";
    LensColour colour = kLensOff;
    int colourLine = 0;
    const char *id = "";
    int idLine = 0;
    int flashLine = 0;               // 0: no Flash element
    const char *flashOn = nullptr;   // its attributes; nullptr when absent
    const char *flashOff = nullptr;
};

// What a walk over a layout meets, in document order.
class LayoutListener {
public:
    virtual ~LayoutListener() = default;
    // No <Bip>, no <BipProgramming> in it, or no <Lense> in that; line is
    // the enclosing element's (0 for the document).
    virtual void missingElement(const char *name, int line) = 0;
    // <BipProgramming> without its Brightness attribute.
    virtual void missingBrightness(int line) = 0;
    // An entry without its Assignment, Colour or Id child, or with one that
    // holds no text (line is then that child's); the entry is skipped.
    virtual void incompleteEntry(const char *child, bool empty, int line) = 0;
    // An Assignment outside 0-23; the entry is skipped.
    virtual void lensOutOfRange(const char *text, int line) = 0;
    // A complete entry and the binding the catalogue made for it (its flash
    // lengths set), nullptr for an unknown indicator. The listener owns it.
    virtual void lensEntry(const LensEntry &entry, BipAssignement *binding) = 0;
};

// Walks a parsed layout: every element from the first <Lense> on is an entry,
// whatever its name; each entry stands alone.
void walkLayout(const TiXmlDocument &xml, LayoutListener &listener);

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
