// vorsa-snapshot-glintor: a picture of the treble editor.
#include "glintor/glintor_vst2.h"
#include "tools/vorsa_snapshot/snapshot.h"

int main(int argc, char** argv) { return runSnapshot(argc, argv, {"glintor", makeGlintor}); }
