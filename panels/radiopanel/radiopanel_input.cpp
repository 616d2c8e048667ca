#include "radiopanel_input.h"

#include <cstdint>

namespace drovanel {
namespace radio {

namespace {

constexpr int kNavMinimum = 10800;  // 108.00 MHz
constexpr int kNavMaximum = 11795;  // 117.95 MHz
constexpr int kNavFineStep = 5;
constexpr int kComMinimum = 11800;  // 118.00 MHz
constexpr int kComMaximum = 13699;  // 136.99 MHz
constexpr int kComFineStep = 1;
constexpr int kAdfMinimum = 0;  // kHz
constexpr int kAdfMaximum = 1799;
constexpr int kAdfFineStep = 1;
constexpr int kAdfCoarseStep = 10;
constexpr int kTransponderMinimum = 0;
constexpr int kTransponderMaximum = 9999;
constexpr int kTransponderFineStep = 1;
// NAV, COM and transponder: the lower row's coarse step is half the upper's.
constexpr int kUpperCoarseStep = 100;
constexpr int kLowerCoarseStep = 50;

}  // namespace

SelectorState decodeSelectors(const std::uint8_t *bytes, std::uint32_t length, int lowerMode) {
    SelectorState state{};
    state.lowerMode = lowerMode;
    for (const SelectorBit &bit : kSelectorBits) {
        if (bit.byteIndex >= length || (bytes[bit.byteIndex] & bit.mask) == 0) continue;
        switch (bit.action) {
            case SelectorAction::UpperMode: state.upperModeWrites[state.upperModeWriteCount++] = bit.mode; break;
            case SelectorAction::LowerMode: state.lowerMode = bit.mode; break;
            case SelectorAction::UpperTransponder: state.upperTransponder = true; break;
            case SelectorAction::LowerTransponder: state.lowerTransponder = true; break;
        }
    }
    return state;
}

RowParameters rowParameters(Row row, int mode, bool transponder, bool dmeInSecondSegment) {
    const int coarse = row == Row::Upper ? kUpperCoarseStep : kLowerCoarseStep;
    if (transponder) {
        return {RadioTarget::Transponder, kTransponderMinimum, kTransponderMaximum, kTransponderFineStep,
                coarse};
    }
    switch (mode) {
        case kModeNav1: return {RadioTarget::Nav1, kNavMinimum, kNavMaximum, kNavFineStep, coarse};
        case kModeNav2: return {RadioTarget::Nav2, kNavMinimum, kNavMaximum, kNavFineStep, coarse};
        case kModeCom1: return {RadioTarget::Com1, kComMinimum, kComMaximum, kComFineStep, coarse};
        case kModeCom2: return {RadioTarget::Com2, kComMinimum, kComMaximum, kComFineStep, coarse};
        case kModeAdf: {
            RadioTarget target = RadioTarget::Adf1;
            if (row == Row::Lower) target = dmeInSecondSegment ? RadioTarget::Dme : RadioTarget::Adf2;
            return {target, kAdfMinimum, kAdfMaximum, kAdfFineStep, kAdfCoarseStep};
        }
        case kModeDme: {
            RadioTarget target = RadioTarget::Adf2;
            if (row == Row::Upper && dmeInSecondSegment) target = RadioTarget::Dme;
            return {target, kAdfMinimum, kAdfMaximum, kAdfFineStep, kAdfCoarseStep};
        }
        default: return {RadioTarget::None, 0, 0, 0, 0};
    }
}

int stepValue(int value, StepKind kind, const RowParameters &parameters) {
    const bool coarse = kind == StepKind::CoarseDown || kind == StepKind::CoarseUp;
    const bool down = kind == StepKind::FineDown || kind == StepKind::CoarseDown;
    const std::int64_t step = coarse ? parameters.coarseStep : parameters.fineStep;
    // 64-bit so that a wild value from the simulator cannot overflow.
    if (down) {
        const std::int64_t next = static_cast<std::int64_t>(value) - step;
        return next < parameters.minimum ? parameters.maximum : static_cast<int>(next);
    }
    const std::int64_t next = static_cast<std::int64_t>(value) + step;
    return next > parameters.maximum ? parameters.minimum : static_cast<int>(next);
}

}  // namespace radio
}  // namespace drovanel
