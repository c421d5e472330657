#include "checks/Random.h"

namespace kalvex::checks {
namespace {

constexpr std::uint64_t kGolden = 0x9e3779b97f4a7c15;

constexpr std::uint64_t RotateLeft(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

std::uint64_t Mix64(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
  z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
  return z ^ (z >> 31);
}

std::uint64_t SplitMix64::Next() { return Mix64(state_ += kGolden); }

Xoshiro256::Xoshiro256(std::uint64_t seed) {
  SplitMix64 words(seed);
  for (std::uint64_t& s : s_) s = words.Next();
}

Xoshiro256 Xoshiro256::Stream(std::uint64_t seed, std::uint64_t k) { return Xoshiro256(seed ^ Mix64(k)); }

std::uint64_t Xoshiro256::Next() {
  const std::uint64_t result = RotateLeft(s_[1] * 5, 7) * 9;
  const std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = RotateLeft(s_[3], 45);
  return result;
}

double Xoshiro256::UniformSymmetric() {
  // (2v + 1) 2^-52 - 1 for the top 52 bits v: every step exact.
  const double v = static_cast<double>(Next() >> 12);
  return (v + 0.5) * 0x1p-51 - 1;
}

}  // namespace kalvex::checks
