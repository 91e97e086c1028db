#include "widgets/iTypes.h"

#include <QDateTime>

#include <cmath>

namespace widgets {

namespace {
std::function<double()> &nowFunction()
{
    static std::function<double()> function;
    return function;
}
} // namespace

double Now()
{
    if (const auto &f = nowFunction())
        return f();
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / kMSecsPerDay;
}

double ElapsedMs(double From, double To)
{
    return std::round((To - From) * kMSecsPerDay * 1000.0) / 1000.0;
}

void SetNowFunction(std::function<double()> now)
{
    nowFunction() = std::move(now);
}

} // namespace widgets
