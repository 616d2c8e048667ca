// Reads a fuzz input as a stream of small values; past the end every read
// gives 0, so any input, even an empty one, is a complete program.
#ifndef DROVANEL_FUZZ_FUZZ_INPUT_H
#define DROVANEL_FUZZ_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace drovanel {
namespace fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return empty() ? 0 : size_ - pos_; }

    std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return v;
    }
    // Any bit pattern, NaN and infinities included: the host may hand
    // the plug-in whatever another plug-in wrote.
    float f32() {
        std::uint32_t bits = u32();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    void bytes(std::uint8_t *out, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) out[i] = byte();
    }
    // The rest of the input.
    const std::uint8_t *rest(std::size_t *n) {
        *n = remaining();
        const std::uint8_t *p = data_ + (empty() ? size_ : pos_);
        pos_ = size_;
        return p;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace fuzz
}  // namespace drovanel

#endif
