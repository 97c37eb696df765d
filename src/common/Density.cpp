#include "common/Density.h"

namespace {

struct TDensity {
  int n, p, k;
  double poundsPerGallon;
};

const TDensity kDensities[] = {
    {28, 0, 0, 10.66}, {30, 0, 0, 10.85}, {32, 0, 0, 11.04}, {10, 34, 0, 11.57},
    {11, 37, 0, 11.87}, {24, 0, 0, 7.48},  {82, 0, 0, 5.0},
};

}  // namespace

double LiquidDensity(double n, double p2o5, double k2o) {
  const int wn = static_cast<int>(n), wp = static_cast<int>(p2o5), wk = static_cast<int>(k2o);
  for (const auto& d : kDensities)
    if (d.n == wn && d.p == wp && d.k == wk) return d.poundsPerGallon;
  return 10.5;
}
