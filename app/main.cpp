// plotwise: runs calculation expressions against the Plotwise plug-in, as the host would.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "app/program.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
#ifdef SIGXFSZ
    // A file size limit then fails the write (and is reported) instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = plotwise::app::runProgram(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
