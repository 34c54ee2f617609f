// headless.h -- test set-up over the headless engine: one engine per test process, set as the
// game's `hge`, with keys, focus and recorded output reset between tests.
#pragma once

#include "platform/headless_engine.h"

// The headless engine, initiated, installed as `hge`; keys released, focus given, recordings
// cleared, no resource pack attached (a pack one test attached does not serve the next). Call at the start of a test (or from a fixture's SetUp).
HeadlessEngine& UseHeadlessEngine();
