#include "figures.h"

#include <algorithm>

namespace Bench {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double slope(const std::vector<std::pair<double, double>>& points)
{
    if (points.size() < 2)
        return 0;
    double meanX = 0, meanY = 0;
    for (const auto& [x, y] : points) {
        meanX += x;
        meanY += y;
    }
    meanX /= double(points.size());
    meanY /= double(points.size());
    double sxy = 0, sxx = 0;
    for (const auto& [x, y] : points) {
        sxy += (x - meanX) * (y - meanY);
        sxx += (x - meanX) * (x - meanX);
    }
    return sxx > 0 ? sxy / sxx : 0;
}

} // namespace Bench
