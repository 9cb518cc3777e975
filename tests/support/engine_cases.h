#pragma once
// Observation systems for the engine tests, set directly as matrices.

#include <cmath>
#include <random>
#include <vector>

#include "engine/observation_system.h"
#include "support/matrices.h"

namespace korvo::testing {

// An imported system: design `a` (n x m), terms k[0..n-1] and weights `p` (n x n).
inline ObservationSystem Imported(const Matrix& a, const std::vector<double>& k, const Matrix& p) {
  return ImportedObservationSystem(a, Column(k), p, a.rows(), a.cols());
}

// A network-shaped system: classical rows reaching two vertices' coordinates each, then
// baselines whose three rows reach two vertices, with a full 3 × 3 weight block (1/m²) each.
// Its terms are noise of a few millimetres: the true corrections are near zero.
inline ObservationSystem NetworkShapedSystem(int vertices, int classical, int baselines, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::uniform_int_distribution<int> pick(0, vertices - 1);
  const int n = classical + 3 * baselines;
  Matrix a(n, 3 * vertices), p(n, n);
  std::vector<double> k;
  for (int i = 1; i <= classical; ++i) {
    const int from = pick(gen), to = pick(gen);
    for (int c = 1; c <= 3; ++c) a(i, 3 * from + c) += u(gen), a(i, 3 * to + c) += u(gen);
    p(i, i) = 1.0 / (0.002 + 0.001 * std::fabs(u(gen)));
    k.push_back(0.003 * u(gen));
  }
  for (int b = 0; b < baselines; ++b) {
    const int from = b % vertices, to = (b * 7 + 3) % vertices == from ? (from + 1) % vertices : (b * 7 + 3) % vertices;
    const Matrix block = RandomSpd(3, seed * 100 + static_cast<unsigned>(b));
    for (int c = 1; c <= 3; ++c) {
      const int row = classical + 3 * b + c;
      a(row, 3 * from + c) = -1.0;
      a(row, 3 * to + c) = 1.0;
      k.push_back(0.004 * u(gen));
      for (int d = 1; d <= 3; ++d) p(row, classical + 3 * b + d) = 1e4 * block(c, d);
    }
  }
  return Imported(a, k, p);
}

}  // namespace korvo::testing
