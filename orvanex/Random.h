// The model's source of chance: a Mersenne Twister, whose sequence the C++ standard
// fixes, turned into numbers by our own arithmetic (the standard distributions differ
// between libraries), so that one seed gives one piece on every machine.
#pragma once

#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

namespace orvanex {

class Random {
public:
    explicit Random(uint64_t seed) : engine_(seed) {}

    // The seed a text gives (FNV-1a over its bytes): the same text, the same piece.
    static Random fromText(std::string_view seed);
    // A seed that differs from run to run.
    static Random fresh();

    // A number in [0, 1) with 53 random bits.
    double uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    // An index in [0, count).
    size_t below(size_t count) { return static_cast<size_t>(uniform() * static_cast<double>(count)); }
    // An index chosen in proportion to the weights; the last positive one when rounding
    // runs past the end.
    size_t weighted(const std::vector<double>& weights);

    template <class Sequence>
    const auto& choice(const Sequence& items) {
        return items[below(std::size(items))];
    }

private:
    std::mt19937_64 engine_;
};

}  // namespace orvanex
