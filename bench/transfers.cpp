// orva with one addition for the benchmark: after the command loop it
// prints on standard output how many OS/8 block transfers (ReadBlock and
// WriteBlock calls) the run made. bench/run.sh builds it from the
// libraries of a build and runs it on the same command script as orva.
#include <cstdio>

#include "disk.h"
#include "orva.h"

int main(int argc, char** argv) {
    int nStatus = OrvaMain(argc, argv);
    std::printf("%lu\n", GetBlockTransferCount());
    return nStatus;
}
