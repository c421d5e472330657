#pragma once
// Random numbers that are the same on every platform: xoshiro256** (Blackman
// and Vigna 2018) seeded through SplitMix64, and the uniform mapping written
// here too, so no standard library's generator or distribution is involved.
#include <cstdint>

namespace kalvex::checks {

// SplitMix64 (Steele, Lea and Flood 2014): a 64-bit state advanced by the
// golden-ratio increment, then mixed.
class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();

 private:
  std::uint64_t state_;
};

class Xoshiro256 {
 public:
  // The four state words from SplitMix64 seeded with seed.
  explicit Xoshiro256(std::uint64_t seed);
  // The generator of stream k of a seed: its SplitMix64 seed is the seed
  // mixed with the mixed k, so streams never depend on how many came before.
  static Xoshiro256 Stream(std::uint64_t seed, std::uint64_t k);

  std::uint64_t Next();
  // Uniform on the open interval (-1, 1): the top 52 bits as the odd
  // multiples of 2^-52 in it, symmetric about 0.
  double UniformSymmetric();

 private:
  std::uint64_t s_[4];
};

// SplitMix64's output function: a bijection of 64-bit words.
std::uint64_t Mix64(std::uint64_t z);

}  // namespace kalvex::checks
