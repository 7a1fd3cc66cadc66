// talverin-regcontrols: registers control plug-ins into the component registry, removes them,
// lists it.
#include "RegControls.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return ctl::runRegControls(args, std::cout, std::cerr);
}
