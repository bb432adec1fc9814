#pragma once
// A seeded generator whose sequence is ours: the standard distributions differ between
// library versions, and the demo base must come out the same for the same seed everywhere.
#include <cstdint>

namespace ferramentas {

class Aleatorio {
public:
    explicit Aleatorio(std::uint64_t semente) : estado_(semente) {}

    std::uint64_t proximo() {  // splitmix64
        std::uint64_t z = (estado_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1; the bias of the modulo is far below anything the demo data could show.
    int ate(int n) { return n <= 0 ? 0 : int(proximo() % std::uint64_t(n)); }
    bool chance(double p) { return double(proximo() >> 11) * (1.0 / 9007199254740992.0) < p; }

private:
    std::uint64_t estado_;
};

}  // namespace ferramentas
