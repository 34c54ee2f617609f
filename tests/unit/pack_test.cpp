// The resource pack against damaged and hostile archives: nothing a member declares is trusted,
// damage is never read back as content, and a wrong password is said once.
#include "platform/pack.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "pack_writer.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

const std::string kFontText =
    "[HGEFONT]\r\nBitmap=font0.png\r\nChar=\"A\",0,0,8,12,0,1\r\nChar=\"B\",8,0,8,12,0,1\r\n";

// A pack of one member; the text deflates, the noise is stored.
Bytes OneMemberPack(PackFlavour flavour, bool deflated) {
    Bytes noise(3000);
    uint32_t x = 12345;
    for (unsigned char& b : noise) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 24);
    }
    Bytes text;
    for (int i = 0; i < 20; ++i) text.insert(text.end(), kFontText.begin(), kFontText.end());
    return BuildPack({{"Graphics/font0.fnt", deflated ? text : noise}}, kPackPassword, flavour);
}

uint32_t Get32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = static_cast<unsigned char>(v >> (8 * i));
}

// Field offsets of the one member: in its local header and in its central directory entry.
struct Layout {
    size_t central = 0;  // start of the central directory entry
    size_t data = 0;     // first byte of the member's stored data (the salt)
    size_t stored = 0;   // bytes stored: salt, verifier, ciphertext, code
};
Layout LayoutOf(const Bytes& pack) {
    Layout l;
    l.data = 30 + (pack[26] | pack[27] << 8) + (pack[28] | pack[29] << 8);
    l.stored = Get32(pack, 18);
    for (size_t i = 0; i + 4 <= pack.size(); ++i) {
        if (Get32(pack, i) == 0x02014b50) {
            l.central = i;
            break;
        }
    }
    return l;
}
// Sets a header field in both headers: 14 CRC, 18 compressed size, 22 size (local offsets).
void SetField(Bytes& pack, size_t localOffset, uint32_t value) {
    Layout l = LayoutOf(pack);
    Put32(pack, localOffset, value);
    Put32(pack, l.central + localOffset + 2, value);
}

struct DamageCase {
    const char* name;
    PackFlavour flavour;
    bool deflated;
    std::function<void(Bytes&)> damage;
};

TEST(PackTest, DamagedMembersAreNeverReadAsContent) {
    const DamageCase cases[] = {
        {"a small member declaring 4 GB (the zip64 marker)", PackFlavour::AE2, false,
         [](Bytes& p) { SetField(p, 22, 0xFFFFFFFFu); }},
        {"a small member declaring almost 4 GB", PackFlavour::AE2, false,
         [](Bytes& p) { SetField(p, 22, 0xFFFFFF00u); }},
        {"a deflated member declaring almost 4 GB", PackFlavour::AE2, true,
         [](Bytes& p) { SetField(p, 22, 0xFFFFFF00u); }},
        {"one byte more declared than stored", PackFlavour::AE2, false,
         [](Bytes& p) { SetField(p, 22, Get32(p, 22) + 1); }},
        {"one byte less declared than inflates", PackFlavour::AE2, true,
         [](Bytes& p) { SetField(p, 22, Get32(p, 22) - 1); }},
        {"a flipped bit in the ciphertext (AE-2, stored)", PackFlavour::AE2, false,
         [](Bytes& p) { p[LayoutOf(p).data + 18 + 100] ^= 0x04; }},
        {"a flipped bit in the ciphertext (AE-2, deflated)", PackFlavour::AE2, true,
         [](Bytes& p) { p[LayoutOf(p).data + 18 + 20] ^= 0x04; }},
        {"a flipped bit in the ciphertext (AE-1)", PackFlavour::AE1, false,
         [](Bytes& p) { p[LayoutOf(p).data + 18 + 100] ^= 0x04; }},
        {"a flipped bit in the authentication code", PackFlavour::AE2, false,
         [](Bytes& p) { Layout l = LayoutOf(p); p[l.data + l.stored - 1] ^= 0x80; }},
        {"an AE-1 CRC that does not match the data", PackFlavour::AE1, true,
         [](Bytes& p) { SetField(p, 14, Get32(p, 14) ^ 1u); }},
        {"a compressed size past the end of the pack", PackFlavour::AE2, false,
         [](Bytes& p) { SetField(p, 18, 0x7FFFFFF0u); }},
        {"a compressed size one byte short", PackFlavour::AE2, false,
         [](Bytes& p) { SetField(p, 18, Get32(p, 18) - 1); }},
    };
    for (const DamageCase& c : cases) {
        Bytes pack = OneMemberPack(c.flavour, c.deflated);
        ResourcePack sound;
        ASSERT_EQ(sound.AttachBytes(pack, kPackPassword), PackAttach::Opened) << c.name;
        Bytes whole;
        ASSERT_EQ(sound.Read("Graphics/font0.fnt", whole), PackRead::Ok) << c.name;

        c.damage(pack);
        ResourcePack damaged;
        PackAttach attached = damaged.AttachBytes(pack, kPackPassword);
        if (attached == PackAttach::CannotOpen) continue;  // refused whole: as good
        Bytes back = {1, 2, 3};
        EXPECT_EQ(damaged.Read("Graphics/font0.fnt", back), PackRead::Damaged) << c.name;
        EXPECT_TRUE(back.empty()) << c.name;
    }
}

TEST(PackTest, AnAe1MemberWithItsCrcReadsBack) {
    ResourcePack pack;
    ASSERT_EQ(pack.AttachBytes(OneMemberPack(PackFlavour::AE1, true), kPackPassword), PackAttach::Opened);
    Bytes back;
    ASSERT_EQ(pack.Read("graphics\\FONT0.FNT", back), PackRead::Ok);
    EXPECT_EQ(std::string(back.begin(), back.begin() + 9), "[HGEFONT]");
}

// Our own counter mode against libzip's: a member libzip encrypted, longer than one batch of
// key stream and ending inside a block, reads back byte for byte.
TEST(PackTest, AMemberLibzipEncryptedReadsBack) {
    WorkInTempDir dir("pack_test");
    const std::string path = (dir.Path() / "libzip.zip").string();
    Bytes content(9000 + 7);
    uint32_t x = 99;
    for (unsigned char& b : content) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 24);
    }
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    ASSERT_NE(source, nullptr);
    const zip_int64_t index = zip_file_add(archive, "Music/music1.mp3", source, 0);
    ASSERT_GE(index, 0);
    ASSERT_EQ(zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0), 0);
    ASSERT_EQ(zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256,
                                      kPackPassword), 0);
    ASSERT_EQ(zip_close(archive), 0);

    ResourcePack pack;
    ASSERT_EQ(pack.Attach(path, kPackPassword), PackAttach::Opened);
    Bytes back;
    ASSERT_EQ(pack.Read("Music/music1.mp3", back), PackRead::Ok);
    EXPECT_EQ(back, content);
}

TEST(PackTest, NoPackOrNotAZipCannotOpen) {
    ResourcePack pack;
    EXPECT_EQ(pack.AttachBytes({}, kPackPassword), PackAttach::CannotOpen);
    Bytes truncated = OneMemberPack(PackFlavour::AE2, false);
    truncated.resize(truncated.size() / 2);
    EXPECT_EQ(pack.AttachBytes(truncated, kPackPassword), PackAttach::CannotOpen);
    EXPECT_EQ(pack.Attach("/dev/zero", kPackPassword), PackAttach::CannotOpen);
    Bytes out;
    EXPECT_EQ(pack.Read("Graphics/font0.fnt", out), PackRead::Missing);
}

// The engine's side: what a player finds in the log.
class PackLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_ = &UseHeadlessEngine();
        engine_->System_SetState(HGE_LOGFILE, (dir_.Path() / "log.txt").c_str());
    }
    void TearDown() override {
        engine_->System_SetState(HGE_LOGFILE, "");
        engine_->Resource_AttachPack("/nonexistent/pack.zip", "");
    }
    std::string WritePack(const Bytes& bytes) {
        std::string path = (dir_.Path() / "gamedat.zip").string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    std::streamsize(bytes.size()));
        return path;
    }
    std::vector<std::string> Log() {
        std::ifstream in(dir_.Path() / "log.txt");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    WorkInTempDir dir_{"pack_log"};
    HeadlessEngine* engine_ = nullptr;
};

TEST_F(PackLogTest, AWrongPasswordIsSaidOnceNotPerMember) {
    Bytes noise(500, 9);
    std::string path = WritePack(BuildPack({{"Graphics/a.png", noise}, {"Graphics/b.png", noise},
                                            {"SE/c.wav", noise}}, kPackPassword));
    engine_->Resource_AttachPack(path.c_str(), "not the password");
    for (const char* name : {"Graphics/a.png", "Graphics/b.png", "SE/c.wav"}) {
        EXPECT_EQ(engine_->Resource_Load(name), nullptr) << name;
    }
    std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 1u) << log.back();
    EXPECT_NE(log[0].find("does not open with the game's password"), std::string::npos) << log[0];
}

TEST_F(PackLogTest, ADamagedMemberIsNamedAndAMissingOneSaidMissing) {
    Bytes pack = OneMemberPack(PackFlavour::AE2, true);
    pack[LayoutOf(pack).data + 18 + 20] ^= 0x10;
    engine_->Resource_AttachPack(WritePack(pack).c_str(), kPackPassword);
    EXPECT_EQ(engine_->Resource_Load("Graphics/font0.fnt"), nullptr);
    EXPECT_EQ(engine_->Resource_Load("Graphics/none.png"), nullptr);
    std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "Resource Graphics/font0.fnt in the pack is damaged; it is not used");
    EXPECT_EQ(log[1], "Can't find resource Graphics/none.png");
}

}  // namespace
