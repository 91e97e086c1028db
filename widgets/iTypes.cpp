#include "widgets/iTypes.h"

#include <QDateTime>

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

void SetNowFunction(std::function<double()> now)
{
    nowFunction() = std::move(now);
}

} // namespace widgets
