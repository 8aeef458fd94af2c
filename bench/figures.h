#pragma once

#include <utility>
#include <vector>

namespace Bench {

double median(std::vector<double> values);
// Least-squares slope of y over x; 0 with fewer than two distinct x.
double slope(const std::vector<std::pair<double, double>>& points);

} // namespace Bench
