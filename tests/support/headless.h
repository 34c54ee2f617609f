// headless.h -- test set-up over the headless engine: one engine per test process, set as the
// game's `hge`, with keys, focus and recorded output reset between tests.
#pragma once

#include <gtest/gtest.h>

#include "platform/headless_engine.h"

// The headless engine, initiated, installed as `hge`; keys released, focus given, recordings
// cleared, no resource pack attached (a pack one test attached does not serve the next). Call at the start of a test (or from a fixture's SetUp).
HeadlessEngine& UseHeadlessEngine();

// A test that draws inside one open scene of the headless engine and reads back the quads it
// recorded.
class RecordedSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = &UseHeadlessEngine();
        engine->SetRecordQuads(true);
        engine->Gfx_BeginScene();
    }
    void TearDown() override {
        engine->Gfx_EndScene();
        engine->SetRecordQuads(false);
    }
    HeadlessEngine* engine = nullptr;
};
