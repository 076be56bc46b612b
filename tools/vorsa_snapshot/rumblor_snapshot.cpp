// vorsa-snapshot-rumblor: a picture of the bass editor.
#include "rumblor/rumblor_vst2.h"
#include "tools/vorsa_snapshot/snapshot.h"

int main(int argc, char** argv) { return runSnapshot(argc, argv, {"rumblor", makeRumblor}); }
