// Entry points that hand the host a damaged record: TEST_BROKEN_MAGIC a
// record with the wrong magic, TEST_BROKEN_DISPATCHER one without a
// dispatcher. A host that calls into either crashes. TEST_BROKEN_CRASH
// dies of SIGBUS in the entry point, TEST_BROKEN_HANG never returns from it.
#include <signal.h>
#include <unistd.h>

#include "shell/vst2_abi.h"

namespace {

AEffect* brokenRecord() {
    static AEffect record{};
#ifdef TEST_BROKEN_MAGIC
    record.magic = fourCharCode("Junk");
    record.dispatcher = reinterpret_cast<AEffectDispatcherProc>(1);  // must never be called
#else
    record.magic = kEffectMagic;
#endif
    record.numInputs = record.numOutputs = 2;
    return &record;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
#if defined(TEST_BROKEN_CRASH)
    raise(SIGBUS);
#elif defined(TEST_BROKEN_HANG)
    for (;;) pause();
#endif
    return brokenRecord();
}
