#include "romtool.h"

int main(int argc, char** argv) { return VorlentMain(argc, argv); }
