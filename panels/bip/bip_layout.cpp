#include "bip_layout.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "indicator_catalogue.h"

namespace drovanel {

namespace {

// Reads the whole file with line ends made "\n", as the XML library's own
// file loader does.
void readLayoutText(const char *path, std::string *text, LayoutDocument *document) {
    errno = 0;
    std::FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        document->status = LayoutFileStatus::CannotOpen;
        document->error = errno;
        return;
    }
    std::string raw;
    char chunk[4096];
    std::size_t got;
    document->status = LayoutFileStatus::Ok;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (raw.size() + got > static_cast<std::size_t>(kMaxConfigFileBytes)) {
            document->status = LayoutFileStatus::TooLarge;
            break;
        }
        raw.append(chunk, got);
    }
    if (document->status == LayoutFileStatus::Ok && std::ferror(file) != 0) {
        // A folder opens on some systems and fails only here.
        document->status = LayoutFileStatus::CannotRead;
        document->error = errno;
    }
    std::fclose(file);
    if (document->status != LayoutFileStatus::Ok) return;

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
}

// Skips from `at` past the terminator; the end of the text when missing.
std::size_t skipPast(const std::string &text, std::size_t at, const char *terminator) {
    std::size_t found = text.find(terminator, at);
    return found == std::string::npos ? text.size() : found + std::char_traits<char>::length(terminator);
}

// Where the element nesting of the document first goes deeper than `limit`,
// or npos. Follows the markup the parser knows (tags with quoted attribute
// values, comments, CDATA, declarations), so its count matches what the
// parser would recurse into.
std::size_t tooDeepAt(const std::string &text, int limit) {
    int depth = 0;
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
                if (++depth > limit) return i;
            }
            i = j + 1;
        }
    }
    return std::string::npos;
}

int lineAt(const std::string &text, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') ++line;
    }
    return line;
}

// The element's text, or nullptr when it has none.
const char *textOf(const TiXmlElement *element) { return element != nullptr ? element->GetText() : nullptr; }

// Looks up a required child of an entry; false (and the listener told) when
// it is missing or empty.
bool requiredText(const TiXmlElement *entry, const char *name, LayoutListener &listener, const char **text,
                  int *line) {
    const TiXmlElement *child = entry->FirstChildElement(name);
    *text = textOf(child);
    if (*text != nullptr) {
        *line = child->Row();
        return true;
    }
    listener.incompleteEntry(name, child != nullptr, child != nullptr ? child->Row() : entry->Row());
    return false;
}

}  // namespace

void readLayoutDocument(const char *path, LayoutDocument *document) {
    document->error = 0;
    document->line = 0;
    document->column = 0;
    document->parserError.clear();
    document->xml.Clear();
    document->xml.ClearError();
    std::string text;
    readLayoutText(path, &text, document);
    if (document->status != LayoutFileStatus::Ok) return;
    std::size_t deep = tooDeepAt(text, kMaxConfigDepth);
    if (deep != std::string::npos) {
        document->status = LayoutFileStatus::TooDeep;
        document->line = lineAt(text, deep);
        return;
    }
    document->xml.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (document->xml.Error()) {
        document->status = LayoutFileStatus::NotWellFormed;
        document->line = document->xml.ErrorRow();
        document->column = document->xml.ErrorCol();
        document->parserError = document->xml.ErrorDesc();
    }
}

bool layoutFileMissing(const LayoutDocument &document) {
    return document.status == LayoutFileStatus::CannotOpen && (document.error == ENOENT || document.error == ENOTDIR);
}

std::string layoutFileProblem(const LayoutDocument &document) {
    char text[160];
    switch (document.status) {
        case LayoutFileStatus::Ok:
            return std::string();
        case LayoutFileStatus::CannotOpen:
            return std::string("cannot be opened (") + std::strerror(document.error) + ")";
        case LayoutFileStatus::CannotRead:
            return std::string("cannot be read (") + std::strerror(document.error) + ")";
        case LayoutFileStatus::TooLarge:
            std::snprintf(text, sizeof text, "is larger than %ld bytes", kMaxConfigFileBytes);
            return text;
        case LayoutFileStatus::TooDeep:
            std::snprintf(text, sizeof text, "nests elements deeper than %d levels at line %d", kMaxConfigDepth,
                          document.line);
            return text;
        case LayoutFileStatus::NotWellFormed:
            if (document.line <= 0) return "is not well-formed XML: " + document.parserError;
            std::snprintf(text, sizeof text, "is not well-formed XML at line %d, column %d: ", document.line,
                          document.column);
            return text + document.parserError;
    }
    return std::string();
}

void walkLayout(const TiXmlDocument &xml, LayoutListener &listener) {
    const TiXmlElement *bip = xml.FirstChildElement("Bip");
    if (bip == nullptr) return listener.missingElement("Bip", 0);
    const TiXmlElement *programming = bip->FirstChildElement("BipProgramming");
    if (programming == nullptr) return listener.missingElement("BipProgramming", bip->Row());
    if (programming->Attribute("Brightness") == nullptr) listener.missingBrightness(programming->Row());

    const TiXmlElement *entry = programming->FirstChildElement("Lense");
    if (entry == nullptr) return listener.missingElement("Lense", programming->Row());
    // Every element after the first Lense is an entry, whatever its name.
    for (; entry != nullptr; entry = entry->NextSiblingElement()) {
        LensEntry lens;
        lens.line = entry->Row();
        if (!requiredText(entry, "Assignment", listener, &lens.lensText, &lens.lensLine) ||
            !requiredText(entry, "Colour", listener, &lens.colourText, &lens.colourLine) ||
            !requiredText(entry, "Id", listener, &lens.id, &lens.idLine)) {
            continue;
        }
        long long number = parseDecimal(lens.lensText);
        if (number < 0 || number > 23) {
            listener.lensOutOfRange(lens.lensText, lens.lensLine);
            continue;
        }
        lens.lens = static_cast<int>(number);
        lens.colour = parseLensColour(lens.colourText);
        if (const TiXmlElement *flash = entry->FirstChildElement("Flash")) {
            lens.flashLine = flash->Row();
            lens.flashOn = flash->Attribute("On");
            lens.flashOff = flash->Attribute("Off");
        }
        BipAssignement *binding = createAssignement(lens.id, lens.colour);
        if (binding != nullptr && lens.flashOn != nullptr && lens.flashOff != nullptr) {
            binding->flashOn = flashPhaseLength(lens.flashOn);
            binding->flashOff = flashPhaseLength(lens.flashOff);
        }
        listener.lensEntry(lens, binding);
    }
}

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

}  // namespace drovanel
