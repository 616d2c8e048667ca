// The Radio Panel's 4-byte input report and the tuning rules of its two
// rows: which radio a selector position tunes, its limits and steps.
//
// Report: byte 0 report id; byte 1 upper selector (and the lower row's COM1
// position); byte 2 lower selector and the two ACT/STBY buttons; byte 3 the
// eight encoder bits (fine and coarse, up and down, of both rows).
#ifndef DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_INPUT_H
#define DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_INPUT_H

#include <cstddef>
#include <cstdint>

namespace drovanel {
namespace radio {

// Selection values of both rows. The upper row's lives in the simulator's
// "nav_com_adf_mode"; the XPDR position is a flag, not a mode value.
constexpr int kModeNav1 = 0;
constexpr int kModeNav2 = 1;
constexpr int kModeCom1 = 2;
constexpr int kModeCom2 = 3;
constexpr int kModeAdf = 4;
constexpr int kModeDme = 5;

constexpr std::size_t kSelectorByteUpper = 1;
constexpr std::size_t kSelectorByteLower = 2;
constexpr std::size_t kButtonByte = 2;
constexpr std::size_t kEncoderByte = 3;

constexpr std::uint8_t kUpperActStbyBit = 0x40;
constexpr std::uint8_t kLowerActStbyBit = 0x80;

enum class Row { Upper, Lower };

enum class SelectorAction { UpperMode, LowerMode, UpperTransponder, LowerTransponder };
struct SelectorBit {
    std::size_t byteIndex;
    std::uint8_t mask;
    SelectorAction action;
    int mode;
};

// Tested in this order; later positions win when several bits are set.
constexpr SelectorBit kSelectorBits[] = {
    {1, 0x80, SelectorAction::LowerMode, kModeCom1},
    {1, 0x10, SelectorAction::UpperMode, kModeAdf},
    {1, 0x01, SelectorAction::UpperMode, kModeCom1},
    {1, 0x02, SelectorAction::UpperMode, kModeCom2},
    {1, 0x20, SelectorAction::UpperMode, kModeDme},
    {1, 0x04, SelectorAction::UpperMode, kModeNav1},
    {1, 0x08, SelectorAction::UpperMode, kModeNav2},
    {1, 0x40, SelectorAction::UpperTransponder, 0},
    {2, 0x08, SelectorAction::LowerMode, kModeAdf},
    {2, 0x01, SelectorAction::LowerMode, kModeCom2},
    {2, 0x10, SelectorAction::LowerMode, kModeDme},
    {2, 0x02, SelectorAction::LowerMode, kModeNav1},
    {2, 0x04, SelectorAction::LowerMode, kModeNav2},
    {2, 0x20, SelectorAction::LowerTransponder, 0},
};
constexpr std::size_t kSelectorBitCount = sizeof(kSelectorBits) / sizeof(kSelectorBits[0]);

enum class StepKind { FineDown, FineUp, CoarseDown, CoarseUp };
struct EncoderBit {
    std::uint8_t mask;
    Row row;
    StepKind kind;
};

// Applied in this order within one report.
constexpr EncoderBit kEncoderBits[] = {
    {0x20, Row::Lower, StepKind::FineDown},   {0x10, Row::Lower, StepKind::FineUp},
    {0x80, Row::Lower, StepKind::CoarseDown}, {0x40, Row::Lower, StepKind::CoarseUp},
    {0x02, Row::Upper, StepKind::FineDown},   {0x01, Row::Upper, StepKind::FineUp},
    {0x08, Row::Upper, StepKind::CoarseDown}, {0x04, Row::Upper, StepKind::CoarseUp},
};

// The selector positions one report holds.
struct SelectorState {
    int upperModeWrites[kSelectorBitCount];  // each upper position seen, in order
    std::size_t upperModeWriteCount;
    int lowerMode;
    bool upperTransponder;
    bool lowerTransponder;
};

// Decodes bytes 1 and 2 (each only when the report has it); lowerMode is
// the lower row's selection before this report.
SelectorState decodeSelectors(const std::uint8_t *bytes, std::uint32_t length, int lowerMode);

// What a row tunes. None: an upper mode the panel has no radio for.
enum class RadioTarget { None, Nav1, Nav2, Com1, Com2, Adf1, Adf2, Dme, Transponder };

struct RowParameters {
    RadioTarget target;
    int minimum;
    int maximum;
    int fineStep;
    int coarseStep;
};

RowParameters rowParameters(Row row, int mode, bool transponder, bool dmeInSecondSegment);

// One step from value, wrapping to the opposite limit when it passes one.
int stepValue(int value, StepKind kind, const RowParameters &parameters);

}  // namespace radio
}  // namespace drovanel

#endif
