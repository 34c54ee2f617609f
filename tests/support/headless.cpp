// headless.cpp -- test set-up over the headless engine.
#include "support/headless.h"

#include "app/callbacks.h"
#include "core/state.h"
#include "input/keys.h"

HeadlessEngine& UseHeadlessEngine() {
    if (hge == nullptr) {
        hge = hgeCreate(HGE_VERSION);  // held for the whole test process
        hge->System_Initiate();
    }
    HeadlessEngine& engine = *Headless();
    engine.ReleaseAllKeys();
    engine.SetFocus(true);
    engine.ClearRecordedQuads();
    engine.ClearPlayedSounds();
    engine.Resource_RemoveAllPacks();
    return engine;
}
