#include "orva.h"

int main(int argc, char** argv) { return OrvaMain(argc, argv); }
