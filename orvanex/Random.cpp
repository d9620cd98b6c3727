#include "Random.h"

#include <windows.h>

namespace orvanex {

Random Random::fromText(std::string_view seed) {
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char byte : seed) hash = (hash ^ byte) * 1099511628211ull;
    return Random(hash);
}

Random Random::fresh() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::random_device device;
    const uint64_t mixed = (static_cast<uint64_t>(device()) << 32 | device()) ^
                           static_cast<uint64_t>(counter.QuadPart) ^
                           (static_cast<uint64_t>(GetCurrentProcessId()) << 20);
    return Random(mixed);
}

size_t Random::weighted(const std::vector<double>& weights) {
    double total = 0;
    for (const double w : weights) total += w > 0 ? w : 0;
    const double target = uniform() * total;
    double running = 0;
    size_t last = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] <= 0) continue;
        running += weights[i];
        last = i;
        if (target < running) return i;
    }
    return last;
}

}  // namespace orvanex
