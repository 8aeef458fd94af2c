#include "layouttotals.h"

namespace OrvantaClient::App {

namespace {
std::function<LayoutTotals::Totals()>& provider()
{
    static std::function<LayoutTotals::Totals()> function;
    return function;
}
} // namespace

void LayoutTotals::setProvider(std::function<Totals()> function)
{
    provider() = std::move(function);
}

LayoutTotals::Totals LayoutTotals::current()
{
    return provider() ? provider()() : Totals();
}

} // namespace OrvantaClient::App
