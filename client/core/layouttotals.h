#pragma once

#include <functional>

namespace OrvantaClient::App {

// Totals over the layouts of all open main windows, which a video widget needs
// to decide whether its selection frame means anything. The application object
// provides them; widgets built without one (tests) see zeros.
class LayoutTotals
{
public:
    struct Totals
    {
        int cameras = 0;
        int cells = 0;
    };

    static void setProvider(std::function<Totals()> provider);
    static Totals current();
};

} // namespace OrvantaClient::App
