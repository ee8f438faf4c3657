#include <cstdio>
#include <string>

#include "platform/program_arguments.h"
#include "driver/main_procedure.h"
#ifdef QN_WITH_UI
#include "ui/show_window.h"
#endif

int main(int argc, char** argv) {
    return repairM::Main(platform::commandLine(argc, argv), [&] {
#ifdef QN_WITH_UI
        ui::showRepairWindow(argc, argv);
#else
        std::fputs("QNrepair: this build has no window; pass a command line.\n", stderr);
#endif
    });
}
