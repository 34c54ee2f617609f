// The resource catalogue: what title frame 120 loads, with and without the baked data.
#include "app/loading.h"
#include "assets/catalogue.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

#include "app/callbacks.h"
#include "core/state.h"
#include "input/keys.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

const std::string kGameDir = MIRRORFALL_GAME_DIR;

bool HaveBakedData() { return access((kGameDir + "/gamedat.zip").c_str(), R_OK) == 0; }

// Every texture table index that names a file.
const int kTableIndices[] = {0,  1,  2,  3,  4,  5,  6,  8,  9,  11, 12, 13, 14, 15,
                             16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29,
                             30, 32, 33, 34, 35, 36, 37, 38, 45, 50, 51, 53};

TEST(CatalogueTest, LoadsEveryFileFromTheBakedPack) {
    if (!HaveBakedData()) GTEST_SKIP() << "no baked data in " << kGameDir;
    HeadlessEngine& engine = UseHeadlessEngine();
    ASSERT_TRUE(engine.Resource_AttachPack((kGameDir + "/gamedat.zip").c_str(), "quorlembistavo"));
    LoadStartupTextures();
    EXPECT_NE(logoTexture, 0u);
    EXPECT_NE(switchTexture, 0u);
    CreateStartupSprites();
    TitleLoadingFrame();

    std::set<HTEXTURE> handles;
    for (int index : kTableIndices) {
        EXPECT_NE(textures[index], 0u) << "texture " << index;
        handles.insert(textures[index]);
    }
    EXPECT_EQ(handles.size(), std::size(kTableIndices)) << "color.png is loaded twice, as 5 and 25";
    for (int index = 0; index < kTextureCount; ++index) {
        if (std::find(std::begin(kTableIndices), std::end(kTableIndices), index) ==
            std::end(kTableIndices)) {
            EXPECT_EQ(textures[index], 0u) << "texture " << index;
        }
    }

    std::set<HSTREAM> streams;
    for (int cue = 0; cue < kCueStreamCount; ++cue) {
        EXPECT_NE(cueStreams[cue], 0u) << "cue " << cue;
        streams.insert(cueStreams[cue]);
    }
    EXPECT_EQ(streams.size(), 38u);
    EXPECT_EQ(cueStreams[22], cueStreams[28]);
    EXPECT_NE(cueStreams[0], cueStreams[19]);

    EXPECT_NE(titleBackground, 0u);
    EXPECT_NE(titleTile, 0u);
    EXPECT_NE(logoTexture, 0u);
    EXPECT_NE(menuLabelsTexture, 0u);
    EXPECT_FLOAT_EQ(frameSprite->Depth(), 0.2f);
    EXPECT_FLOAT_EQ(overlaySprite->Depth(), 0.21f);
    EXPECT_EQ(frameSprite->Texture(), textures[TEX_WINDOW]);

    // The options sheet comes and goes with the options menu without piling up.
    size_t live = engine.LiveTextures();
    for (int i = 0; i < 5; ++i) {
        LoadOptionsLabels();
        EXPECT_NE(optionsLabelsTexture, 0u);
        FreeOptionsLabels();
    }
    EXPECT_EQ(engine.LiveTextures(), live);
}

TEST(CatalogueTest, MissingFilesLeaveHandlesAtZeroAndThePoolsStillExist) {
    WorkInTempDir dir("catalogue_test");
    UseHeadlessEngine();
    LoadStartupTextures();
    CreateStartupSprites();
    TitleLoadingFrame();
    for (int index : kTableIndices) EXPECT_EQ(textures[index], 0u);
    for (HSTREAM stream : cueStreams) EXPECT_EQ(stream, 0u);
    ASSERT_NE(frameSprite, nullptr);
    EXPECT_EQ(frameSprite->Texture(), 0u);
}

}  // namespace
