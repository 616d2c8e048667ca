#include "bip_config_loader.h"

#include <climits>
#include <cstdio>
#include <string>

#include "bip_log.h"
#include "indicator_catalogue.h"
#include "tinyxml.h"

namespace drovanel {

namespace {

enum class FileCheck { Ok, Missing, TooLarge, TooDeep };

// Reads the whole file with line ends made "\n", as the XML library's own
// file loader does.
FileCheck readConfigFile(const char *path, std::string *text) {
    std::FILE *file = std::fopen(path, "rb");
    if (file == nullptr) return FileCheck::Missing;
    std::string raw;
    char chunk[4096];
    std::size_t got;
    FileCheck result = FileCheck::Ok;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (raw.size() + got > static_cast<std::size_t>(kMaxConfigFileBytes)) {
            result = FileCheck::TooLarge;
            break;
        }
        raw.append(chunk, got);
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (result != FileCheck::Ok) return result;
    if (failed) return FileCheck::Missing;

    text->clear();
    text->reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r') {
            text->push_back('\n');
            if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        } else {
            text->push_back(raw[i]);
        }
    }
    return FileCheck::Ok;
}

// Skips from `at` past the terminator; the end of the text when missing.
std::size_t skipPast(const std::string &text, std::size_t at, const char *terminator) {
    std::size_t found = text.find(terminator, at);
    return found == std::string::npos ? text.size() : found + std::char_traits<char>::length(terminator);
}

// The deepest element nesting of the document, stopping once it passes
// `limit`. Follows the markup the parser knows (tags with quoted attribute
// values, comments, CDATA, declarations), so its count matches what the
// parser would recurse into.
int nestingDepth(const std::string &text, int limit) {
    int depth = 0;
    int deepest = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (text.compare(i, 4, "<!--") == 0) {
            i = skipPast(text, i + 4, "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            i = skipPast(text, i + 9, "]]>");
        } else if (i + 1 < n && (text[i + 1] == '!' || text[i + 1] == '?')) {
            i = skipPast(text, i + 2, ">");
        } else {
            bool closing = i + 1 < n && text[i + 1] == '/';
            // Scan the tag to its '>', over quoted attribute values.
            std::size_t j = i + 1;
            char quote = 0;
            char last = 0;
            for (; j < n; ++j) {
                char c = text[j];
                if (quote != 0) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                } else if (c != ' ' && c != '\t' && c != '\n') {
                    last = c;
                }
            }
            if (closing) {
                if (depth > 0) --depth;
            } else if (last != '/') {
                ++depth;
                if (depth > deepest) deepest = depth;
                if (deepest > limit) return deepest;
            }
            i = j + 1;
        }
    }
    return deepest;
}

// An element's text, or nullptr when the element is missing or has none.
const char *textOf(const TiXmlElement *element) {
    return element != nullptr ? element->GetText() : nullptr;
}

void loadDocument(const TiXmlDocument &document, const LensStore &store) {
    const TiXmlElement *bip = document.FirstChildElement("Bip");
    if (bip == nullptr) return;
    const TiXmlElement *programming = bip->FirstChildElement("BipProgramming");
    if (programming == nullptr) return;
    // The attribute is read and reported but acts on nothing: the panel's
    // brightness follows the simulator's instrument brightness.
    if (programming->Attribute("Brightness") == nullptr) {
        bipLog("Drovanel : attribute Brightness not found, using default=100%%\n");
    }

    const TiXmlElement *entry = programming->FirstChildElement("Lense");
    if (entry == nullptr) {
        bipLog("Drovanel : node <Lense> not found\n");
        return;
    }
    // Every element after the first Lense is an entry, whatever its name.
    for (; entry != nullptr; entry = entry->NextSiblingElement()) {
        const char *assignment = textOf(entry->FirstChildElement("Assignment"));
        const char *colourText = textOf(entry->FirstChildElement("Colour"));
        const char *id = textOf(entry->FirstChildElement("Id"));
        const TiXmlElement *flash = entry->FirstChildElement("Flash");
        if (assignment == nullptr) {
            bipLog("Drovanel : node <Assignment> not found\n");
            continue;
        }
        if (colourText == nullptr) {
            bipLog("Drovanel : node <Colour> not found\n");
            continue;
        }
        if (id == nullptr) {
            bipLog("Drovanel : node <Id> not found\n");
            continue;
        }
        long long lens = parseDecimal(assignment);
        if (lens < 0 || lens > 23) {
            bipLog("Drovanel : index out of range [0-23]\n");
            continue;
        }
        int index = static_cast<int>(lens);
        LensColour colour = parseLensColour(colourText);
        BipAssignement *binding = createAssignement(id, colour);
        if (binding == nullptr) {
            bipLog("Drovanel : failed to create -> index=%d, c=%d, ind=%s\n", index, static_cast<int>(colour), id);
        }
        const char *on = flash != nullptr ? flash->Attribute("On") : nullptr;
        const char *off = flash != nullptr ? flash->Attribute("Off") : nullptr;
        if (binding != nullptr && on != nullptr && off != nullptr) {
            bipLog("Drovanel : flash for -> index=%d, c=%d, ind=%s\n", index, static_cast<int>(colour), id);
            binding->flashOn = flashPhaseLength(on);
            binding->flashOff = flashPhaseLength(off);
        }
        store(index, binding);
    }
}

}  // namespace

long long parseDecimal(const char *text) {
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    // Saturate at the int range, as far as any caller needs.
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value < kLimit) value = value * 10 + (*p - '0');
    }
    if (value > kLimit) value = kLimit;
    if (negative) return -value;
    return value > INT_MAX ? INT_MAX : value;
}

LensColour parseLensColour(const char *text) {
    if (equalsIgnoringAsciiCase(text, "Red")) return kLensRed;
    if (equalsIgnoringAsciiCase(text, "Green")) return kLensGreen;
    if (equalsIgnoringAsciiCase(text, "Amber")) return kLensAmber;
    return kLensOff;
}

std::uint32_t flashPhaseLength(const char *text) {
    // Taken as unsigned 32-bit: a negative length is far above the limit.
    auto length = static_cast<std::uint32_t>(static_cast<std::int32_t>(parseDecimal(text)));
    if (length == 0) return 0;
    if (length < kMinFlashPhase) return kMinFlashPhase;
    if (length > kMaxFlashPhase) return kMaxFlashPhase;
    return length;
}

void loadBipConfiguration(const char *path, const LensStore &store) {
    std::string text;
    FileCheck check = readConfigFile(path, &text);
    if (check == FileCheck::Ok && nestingDepth(text, kMaxConfigDepth) > kMaxConfigDepth) {
        check = FileCheck::TooDeep;
    }
    if (check == FileCheck::TooLarge) {
        bipLog("Drovanel : BIP xml file >%s< is larger than %ld bytes, not read\n", path, kMaxConfigFileBytes);
    } else if (check == FileCheck::TooDeep) {
        bipLog("Drovanel : BIP xml file >%s< nests elements deeper than %d levels, not read\n", path,
               kMaxConfigDepth);
    }
    if (check != FileCheck::Ok) {
        bipLog("Drovanel : BIP xml file >%s< not found\n", path);
        return;
    }

    TiXmlDocument document(path);
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (document.Error()) {
        bipLog("Drovanel : BIP xml file >%s< not found\n", path);
        return;
    }
    loadDocument(document, store);
}

}  // namespace drovanel
