// orva with one addition for the benchmark: after the command loop it
// prints on standard output how many block transfers (ReadBlock, WriteBlock,
// ReadBlocks and WriteBlocks calls) the run made and how many blocks they
// moved. bench/run.sh builds it (the orva_transfers target) and runs it on
// the same command script as orva.
#include <cstdio>

#include "disk.h"
#include "orva.h"

int main(int argc, char** argv) {
    int nStatus = OrvaMain(argc, argv);
    std::printf("%lu %lu\n", GetBlockTransferCount(), GetBlocksTransferred());
    return nStatus;
}
