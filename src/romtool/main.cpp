#include "portable.h"
#include "romtool.h"

int main(int argc, char** argv) {
    // The messages and summary lines carry their own "\r\n": no host may
    // add to them.
    HostBinaryStdio();
    return VorlentMain(argc, argv);
}
