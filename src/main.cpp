#include <cstdio>
#include <string>

#include "main_procedure.h"
#ifdef QN_WITH_UI
#include "show_window.h"
#endif

int main(int argc, char** argv) {
    // The host passes one argument; a caller that did not quote gets its words back joined.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += " ";
        commandLine += argv[i];
    }
    return repairM::Main(commandLine, [&] {
#ifdef QN_WITH_UI
        ui::ShowRepairWindow(argc, argv);
#else
        std::fputs("QNrepair: this build has no window; pass a command line.\n", stderr);
#endif
    });
}
