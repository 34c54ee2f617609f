// bake_test.cpp -- the baked data: every file of the catalogue is made and decodes, every region
// the game draws lies inside its picture and shows something, the pictures keep the promises the
// game relies on (a clear play field, solid swatches, an opaque shutter), the pack opens only
// with the password, a player's settings survive a rebuild, and two bakes give the same bytes.
// Pictures are baked in-process; the complete catalogue (with the sounds and music, whose contents
// are the audio baker's tests' concern) is checked in the pack the build baked into its game folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "art.h"
#include "bake.h"
#include "game_folder.h"
#include "icons.h"
#include "pack_writer.h"
#include "platform/image.h"
#include "platform/pack.h"

namespace fs = std::filesystem;

namespace {

class BakeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        BakePictures(pictures_);
        for (const BakedFile& f : pictures_) {
            if (f.name.find(".fnt") != std::string::npos) continue;
            Image image;
            if (DecodeImage(f.bytes, image)) images_[f.name] = std::move(image);
        }
    }
    static void TearDownTestSuite() {
        pictures_.clear();
        images_.clear();
    }

    static const BakedFile* Find(const std::string& name) {
        for (const BakedFile& f : pictures_) {
            if (f.name == name) return &f;
        }
        return nullptr;
    }
    static uint32_t Pixel(const std::string& file, int x, int y) {
        const Image& im = images_.at(file);
        return im.pixels[size_t(y) * im.width + x];
    }
    // The pack the build baked, or "" when this build does not bake.
    static std::string BuiltPack() {
#ifdef MIRRORFALL_GAME_DIR
        return std::string(MIRRORFALL_GAME_DIR) + "/gamedat.zip";
#else
        return "";
#endif
    }

    // A fresh folder for each test that writes files.
    fs::path TempDir() {
        fs::path dir = fs::temp_directory_path() /
                       ("mirrorfall_bake_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        return dir;
    }

    static std::vector<BakedFile> pictures_;
    static std::map<std::string, Image> images_;
};

std::vector<BakedFile> BakeTest::pictures_;
std::map<std::string, Image> BakeTest::images_;

TEST_F(BakeTest, EveryPictureOfTheCatalogueIsMadeOnceAndDecodes) {
    std::map<std::string, int> made;
    for (const BakedFile& f : pictures_) ++made[f.name];
    int expected = 0;
    for (const std::string& name : CatalogueFiles()) {
        if (name.rfind("Graphics/", 0) != 0) continue;
        ++expected;
        EXPECT_EQ(made[name], 1) << name;
        if (name.find(".fnt") != std::string::npos) continue;
        ASSERT_TRUE(images_.count(name)) << name << " does not decode";
        EXPECT_GE(images_.at(name).width, 32) << name;
        EXPECT_GE(images_.at(name).height, 32) << name;
    }
    EXPECT_EQ(expected, 49);
    EXPECT_EQ(pictures_.size(), size_t(expected));
    // The two JPEG pictures really are JPEG, at the screen's size.
    for (const char* jpg : {"Graphics/logo.jpg", "Graphics/title_bk00.jpg"}) {
        const BakedFile* f = Find(jpg);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->bytes[0], 0xFF);
        EXPECT_EQ(f->bytes[1], 0xD8);
        EXPECT_EQ(images_.at(jpg).width, 640);
        EXPECT_EQ(images_.at(jpg).height, 480);
    }
    // pl00.png must be exactly 256 wide: the start-of-game frames wrap round it.
    EXPECT_EQ(images_.at("Graphics/pl00.png").width, 256);
}

TEST_F(BakeTest, BuiltPackHoldsTheWholeCatalogueAndMatchesAFreshBake) {
    if (BuiltPack().empty() || !fs::exists(BuiltPack())) GTEST_SKIP() << "this build does not bake its game folder";
    ResourcePack pack;
    ASSERT_EQ(pack.Attach(BuiltPack(), kPackPassword), PackAttach::Opened);
    std::vector<BakedFile> members;
    for (const std::string& name : CatalogueFiles()) {
        std::vector<unsigned char> bytes;
        ASSERT_EQ(pack.Read(name, bytes), PackRead::Ok) << name << " is missing from " << BuiltPack();
        EXPECT_FALSE(bytes.empty()) << name;
        members.push_back({name, bytes});
    }
    // Pictures baked in this process are byte for byte those the build baked.
    for (const BakedFile& f : pictures_) {
        const BakedFile* m = nullptr;
        for (const BakedFile& candidate : members) {
            if (candidate.name == f.name) m = &candidate;
        }
        ASSERT_NE(m, nullptr) << f.name;
        EXPECT_TRUE(m->bytes == f.bytes) << f.name << " differs between two bakes";
    }
    // Packing the same members again gives the very same file.
    std::ifstream in(BuiltPack(), std::ios::binary);
    std::vector<unsigned char> built((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(BuildPack(members, kPackPassword) == built);
}

TEST_F(BakeTest, EveryDrawnRegionLiesInsideItsPictureAndShowsSomething) {
    ASSERT_FALSE(DrawnRegions().empty());
    for (const ArtRegion& r : DrawnRegions()) {
        SCOPED_TRACE(std::string(r.file) + " " + r.label);
        ASSERT_TRUE(images_.count(r.file));
        const Image& im = images_.at(r.file);
        ASSERT_GE(r.x, 0);
        ASSERT_GE(r.y, 0);
        ASSERT_LE(r.x + r.w, im.width);
        ASSERT_LE(r.y + r.h, im.height);
        bool jpeg = std::string(r.file).find(".jpg") != std::string::npos;
        int shown = 0;
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                uint32_t p = im.pixels[size_t(y) * im.width + x];
                bool visible = jpeg ? (p & 0xFFFFFF) > 0x202020 : (p >> 24) > 8;
                if (visible) ++shown;
            }
        }
        EXPECT_GT(shown, 0);
    }
}

TEST_F(BakeTest, PicturesKeepWhatTheGameReliesOn) {
    const std::string window = "Graphics/window.png";
    for (int y = 0; y < 480; y += 7) {
        for (int x = 0; x < 640; ++x) {
            uint32_t a = Pixel(window, x, y) >> 24;
            if (x >= 80 && x < 560) {
                ASSERT_EQ(a, 0u) << "the play field shows through the frame at " << x << "," << y;
            } else {
                ASSERT_EQ(a, 255u) << "the side panels are opaque at " << x << "," << y;
            }
        }
    }
    // Swatches stretched over large areas: one solid colour each, fully opaque.
    struct Swatch {
        int x, y, w, h;
        uint32_t argb;
    };
    const Swatch swatches[] = {{120, 104, 16, 8, 0xFF000000}, {64, 96, 8, 8, 0xFFFFFFFF},
                               {72, 96, 8, 8, 0xFF9CC8FF}};
    for (const Swatch& s : swatches) {
        for (int y = s.y; y < s.y + s.h; ++y) {
            for (int x = s.x; x < s.x + s.w; ++x) EXPECT_EQ(Pixel("Graphics/color.png", x, y), s.argb) << x << "," << y;
        }
    }
    // Pictures that must be opaque everywhere.
    for (const char* opaque : {"Graphics/eff_switchbg.png", "Graphics/stg7bg2.png", "Graphics/stg7bg.png",
                               "Graphics/stg7bg3.png", "Graphics/eff04.png", "Graphics/color.png"}) {
        const Image& im = images_.at(opaque);
        for (uint32_t p : im.pixels) ASSERT_EQ(p >> 24, 255u) << opaque;
    }
    // The time ring's four texels and their repeats are solid.
    for (int y = 191; y <= 193; ++y) {
        for (int x = 64; x <= 69; ++x) EXPECT_EQ(Pixel("Graphics/bullet1.png", x, y) >> 24, 255u);
    }
    // Pictures drawn over the boss and the player stay clear in the middle.
    EXPECT_EQ(Pixel("Graphics/bullet3.png", 320, 65) >> 24, 0u);   // aura
    EXPECT_EQ(Pixel("Graphics/item09.png", 114, 114) >> 24, 0u);   // blast ring
    EXPECT_EQ(Pixel("Graphics/eff04b.png", 0, 0) >> 24, 0u);       // magic circle corner
    EXPECT_LT(Pixel("Graphics/slowmode.png", 32, 18) >> 24, 40u);  // inside the focus ring
    // Texels shared by the first two swing pictures stay clear.
    for (int y = 48; y < 60; ++y) {
        EXPECT_EQ(Pixel("Graphics/item09b.png", 52, y) >> 24, 0u);
        EXPECT_EQ(Pixel("Graphics/item09b.png", 53, y) >> 24, 0u);
    }
    // Texels that must stay empty because the game cuts them with a neighbour or draws a
    // number over them.
    struct Clear {
        const char* file;
        int x, y, w, h;
    };
    std::vector<Clear> clear = {
        {"Graphics/chose3.png", 0, 828, 75, 36},    // FULL SCREEN row, over the SCREEN label
        {"Graphics/chose3.png", 130, 792, 20, 36},  // between SCREEN and WINDOW
        {"Graphics/chose3.png", 250, 36, 70, 72},   // volume rows, where the digits go
        {"Graphics/chose3.png", 270, 108, 50, 36},  // auto-bomb row, where ON/OFF goes
        {"Graphics/total.png", 590, 500, 14, 80},   // the unit's left, over the last digit
        {"Graphics/total.png", 0, 0, 470, 1024},
    };
    for (int i = 0; i < 8; ++i) {
        clear.push_back({"Graphics/chose3.png", 0, 504 + 36 * i, 67, 36});
        clear.push_back({"Graphics/chose3.png", 242, 504 + 36 * i, 78, 36});
    }
    for (const Clear& k : clear) {
        for (int y = k.y; y < k.y + k.h; ++y) {
            for (int x = k.x; x < k.x + k.w; ++x) {
                ASSERT_EQ(Pixel(k.file, x, y) >> 24, 0u) << k.file << " at " << x << "," << y;
            }
        }
    }
    // Tiles repeat into their spare area, so texels read past the tile continue it.
    for (int y = 0; y < 512; y += 5) {
        EXPECT_EQ(Pixel("Graphics/stg7bg2.png", 384 + y % 128, y), Pixel("Graphics/stg7bg2.png", y % 128, y));
        EXPECT_EQ(Pixel("Graphics/stg7bg3.png", 24 + y % 8, y), Pixel("Graphics/stg7bg3.png", y % 8, y));
    }
}

TEST_F(BakeTest, BitmapFontDescriptionHasTheFormatTheGameReads) {
    const BakedFile* fnt = Find("Graphics/font0.fnt");
    ASSERT_NE(fnt, nullptr);
    std::string text(fnt->bytes.begin(), fnt->bytes.end());
    ASSERT_EQ(text.rfind("[HGEFONT]\r\nBitmap=font0.png\r\n", 0), 0u);
    std::istringstream lines(text);
    std::string line;
    int chars = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("Char=", 0) != 0) continue;
        unsigned code = 0;
        int x, y, w, h, in, out;
        ASSERT_EQ(std::sscanf(line.c_str(), "Char=%X,%d,%d,%d,%d,%d,%d", &code, &x, &y, &w, &h, &in, &out), 7) << line;
        int i = int(code) - 0x20;
        EXPECT_EQ(x, 16 * (i % 16) + 3);
        EXPECT_EQ(y, 16 * (i / 16));
        EXPECT_EQ(w, 10);
        EXPECT_EQ(h, 16);
        EXPECT_LE(y + h, images_.at("Graphics/font0.png").height);
        ++chars;
    }
    EXPECT_EQ(chars, 95);
}

TEST_F(BakeTest, PackOpensOnlyWithThePasswordAndKeepsEveryMember) {
    fs::path dir = TempDir();
    std::string error;
    // Pictures, a small text and an empty-looking one: stored and deflated members alike.
    std::vector<BakedFile> files = pictures_;
    files.push_back({"SE/se_ok00.wav", std::vector<unsigned char>(3000, 7)});
    files.push_back({"Music/title.mp3", {0x49, 0x44, 0x33}});
    ASSERT_TRUE(InstallGameFolder(dir.string(), files, error)) << error;
    EXPECT_TRUE(fs::is_directory(dir / "Replay"));
    EXPECT_TRUE(fs::is_empty(dir / "Replay"));
    // No loose copies beside the pack.
    EXPECT_FALSE(fs::exists(dir / "Graphics"));
    EXPECT_FALSE(fs::exists(dir / "SE"));
    EXPECT_FALSE(fs::exists(dir / "Music"));

    std::string pack = (dir / "gamedat.zip").string();
    ResourcePack right;
    ASSERT_EQ(right.Attach(pack, kPackPassword), PackAttach::Opened);
    for (const BakedFile& f : files) {
        std::vector<unsigned char> back;
        ASSERT_EQ(right.Read(f.name, back), PackRead::Ok) << f.name;
        ASSERT_EQ(back, f.bytes) << f.name;
    }
    // Game code asks with backslashes and any case.
    std::vector<unsigned char> back;
    EXPECT_EQ(right.Read("graphics\\BULLET1.PNG", back), PackRead::Ok);
    for (const char* password : {"", "quorlembistavp", "QUORLEMBISTAVO"}) {
        ResourcePack wrong;
        ASSERT_EQ(wrong.Attach(pack, password), PackAttach::WrongPassword) << "'" << password << "'";
        EXPECT_EQ(wrong.Read("Graphics/bullet1.png", back), PackRead::Locked) << "opened with '" << password << "'";
        EXPECT_EQ(wrong.Read("SE/se_ok00.wav", back), PackRead::Locked) << "opened with '" << password << "'";
    }
    fs::remove_all(dir);
}

TEST_F(BakeTest, DefaultSettingsAreWrittenOnceAndNeverOverwritten) {
    fs::path dir = TempDir();
    std::string error;
    const std::vector<BakedFile> files = {{"Graphics/font0.fnt", {'[', 'H', 'G', 'E', 'F', 'O', 'N', 'T', ']'}}};
    ASSERT_TRUE(InstallGameFolder(dir.string(), files, error)) << error;
    std::ifstream in(dir / "Keyconfig.ini", std::ios::binary);
    std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(ini, kDefaultKeyconfig);
    EXPECT_EQ(ini.rfind("[KeyPress]\r\nUP=38\r\n", 0), 0u);
    EXPECT_NE(ini.find("[System]\r\nAutoBomb=0\r\nWindow=1\r\n"), std::string::npos);

    const std::string mine = "[KeyPress]\r\nUP=87\r\n";
    std::ofstream(dir / "Keyconfig.ini", std::ios::binary | std::ios::trunc) << mine;
    ASSERT_TRUE(InstallGameFolder(dir.string(), files, error)) << error;
    std::ifstream again(dir / "Keyconfig.ini", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()), mine);
    fs::remove_all(dir);
}

TEST_F(BakeTest, TheInstallShipsTheDefaultSettingsWithThePadSection) {
    fs::path dir = TempDir();
    std::string error;
    // The build folder's own copy may have been played with; the template is always the default.
    ASSERT_TRUE(WriteSettingsTemplate((dir / "dist" / "Keyconfig.ini").string(), error)) << error;
    std::ofstream(dir / "dist" / "Keyconfig.ini", std::ios::binary | std::ios::app) << "UP=87\r\n";
    ASSERT_TRUE(WriteSettingsTemplate((dir / "dist" / "Keyconfig.ini").string(), error)) << error;
    std::ifstream in(dir / "dist" / "Keyconfig.ini", std::ios::binary);
    std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(ini, kDefaultKeyconfig);
    // The design's three sections come first and unchanged; the pad and hot keys follow.
    EXPECT_EQ(ini.find("[KeyPress]"), 0u);
    EXPECT_LT(ini.find("[System]"), ini.find("[Pad]"));
    EXPECT_NE(ini.find("[Pad]\r\nSouth=SHOOT+13\r\nEast=BOMB\r\n"), std::string::npos);
    EXPECT_NE(ini.find("[Hotkeys]\r\nScreenshot=123\r\n"), std::string::npos);
    fs::remove_all(dir);
}

TEST_F(BakeTest, IconsArePaintedAtEveryThemeSizeWithAClearSurround) {
    std::vector<BakedFile> icons;
    BakeIcons(icons);
    ASSERT_EQ(icons.size(), IconSizes().size());
    for (size_t i = 0; i < icons.size(); ++i) {
        int size = IconSizes()[i];
        EXPECT_EQ(icons[i].name, "icons/mirrorfall-" + std::to_string(size) + ".png");
        Image image;
        ASSERT_TRUE(DecodeImage(icons[i].bytes, image)) << icons[i].name;
        ASSERT_EQ(image.width, size);
        ASSERT_EQ(image.height, size);
        auto at = [&](int x, int y) { return image.pixels[size_t(y) * size_t(size) + size_t(x)]; };
        // Round: the corners are clear, the middle is solid.
        for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}}) {
            EXPECT_EQ(at(x, y) >> 24, 0u) << icons[i].name << " corner " << x << "," << y;
        }
        EXPECT_EQ(at(size / 2, size / 2) >> 24, 0xFFu) << icons[i].name;
    }
    fs::path dir = TempDir();
    std::string error;
    ASSERT_TRUE(InstallIcons(dir.string(), icons, error)) << error;
    EXPECT_TRUE(fs::exists(dir / "icons" / "mirrorfall-64.png"));
    fs::remove_all(dir);
}

TEST_F(BakeTest, IncompleteOrUnexpectedDataIsRefused) {
    std::vector<BakedFile> complete;
    for (const std::string& name : CatalogueFiles()) complete.push_back({name, {1}});
    std::vector<BakedFile> ordered;
    std::string error;
    ASSERT_TRUE(OrderAsCatalogue(complete, ordered, error)) << error;
    EXPECT_EQ(ordered.size(), 49u + 37u + 2u);
    std::vector<BakedFile> missing(complete.begin() + 1, complete.end());
    EXPECT_FALSE(OrderAsCatalogue(missing, ordered, error));
    EXPECT_NE(error.find(complete.front().name + " was not made"), std::string::npos);
    std::vector<BakedFile> doubled = complete;
    doubled.push_back(complete.back());
    doubled.push_back({"Graphics/stray.png", {1}});
    EXPECT_FALSE(OrderAsCatalogue(doubled, ordered, error));
    EXPECT_NE(error.find("was made twice"), std::string::npos);
    EXPECT_NE(error.find("Graphics/stray.png is not a file"), std::string::npos);
    std::vector<BakedFile> empty = complete;
    empty[3].bytes.clear();
    EXPECT_FALSE(OrderAsCatalogue(empty, ordered, error));
}

TEST_F(BakeTest, TwoBakesGiveTheSameBytes) {
    std::vector<BakedFile> again;
    BakePictures(again);
    ASSERT_EQ(again.size(), pictures_.size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].name, pictures_[i].name);
        EXPECT_TRUE(again[i].bytes == pictures_[i].bytes) << again[i].name << " differs between bakes";
    }
    EXPECT_TRUE(BuildPack(pictures_, kPackPassword) == BuildPack(again, kPackPassword));
}

}  // namespace
