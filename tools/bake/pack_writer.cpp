// pack_writer.cpp -- the zip container with WinZip AES-256 encryption, written by hand so that
// the output is deterministic: fixed timestamps, salts derived from the contents, PBKDF2-HMAC-SHA1
// keys, AES-256 in WinZip's little-endian counter mode and a 10-byte HMAC-SHA1 code per member.
#include "pack_writer.h"

#include <openssl/sha.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/winzip_aes.h"

const char* const kPackPassword = "quorlembistavo";

namespace {

// 2026-01-01 00:00:00 as a DOS date and time: no clock goes into the pack.
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kDosDate = ((2026 - 1980) << 9) | (1 << 5) | 1;

void Put16(std::vector<unsigned char>& v, uint32_t x) {
    v.push_back(x & 255);
    v.push_back((x >> 8) & 255);
}

void Put32(std::vector<unsigned char>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

void Fail(const char* what) {
    std::fprintf(stderr, "mirrorfall-bake: %s\n", what);
    std::exit(1);
}

std::vector<unsigned char> Deflate(const std::vector<unsigned char>& in) {
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) Fail("zlib cannot start");
    std::vector<unsigned char> out(deflateBound(&z, uLong(in.size())) + 16);
    z.next_in = const_cast<unsigned char*>(in.data());
    z.avail_in = uInt(in.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) Fail("zlib cannot compress");
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

}  // namespace

std::vector<unsigned char> BuildPack(const std::vector<BakedFile>& files, const std::string& password,
                                     PackFlavour flavour) {
    std::vector<unsigned char> zip, central;
    for (const BakedFile& f : files) {
        // Pictures and sound already compressed gain a percent or two from deflating, and
        // inflating them costs more at load than those bytes save (the stage music is read in
        // play): a member is deflated only when that saves at least a sixteenth.
        std::vector<unsigned char> deflated = Deflate(f.bytes);
        bool stored = deflated.size() + f.bytes.size() / 16 >= f.bytes.size();
        std::vector<unsigned char> data = stored ? f.bytes : deflated;
        uint16_t method = stored ? 0 : 8;

        // Salt: the first 16 bytes of SHA-256 over the name, a zero byte and the contents.
        unsigned char digest[SHA256_DIGEST_LENGTH];
        {
            std::vector<unsigned char> seed(f.name.begin(), f.name.end());
            seed.push_back(0);
            seed.insert(seed.end(), f.bytes.begin(), f.bytes.end());
            SHA256(seed.data(), seed.size(), digest);
        }
        WinZipAesKeys keys;
        if (!WinZipAesDeriveKeys(password, digest, 32, keys)) Fail("PBKDF2 failed");
        // AE-1 keeps the CRC of the plain data beside the authentication code.
        const uint32_t crc = flavour == PackFlavour::AE1
                                 ? uint32_t(crc32(crc32(0L, Z_NULL, 0), f.bytes.data(), uInt(f.bytes.size())))
                                 : 0;
        if (!WinZipAesCrypt(keys, data.data(), data.size())) Fail("AES is not available");
        unsigned char mac[kWinZipAesMacLength];
        if (!WinZipAesMac(keys, data.data(), data.size(), mac)) Fail("HMAC failed");

        uint32_t packed = uint32_t(16 + 2 + data.size() + 10);
        std::vector<unsigned char> extra;
        Put16(extra, 0x9901);  // WinZip AES
        Put16(extra, 7);
        Put16(extra, flavour == PackFlavour::AE1 ? 1 : 2);  // AE-2: no CRC, the HMAC guards the data
        extra.push_back('A');
        extra.push_back('E');
        extra.push_back(3);    // AES-256
        Put16(extra, method);

        uint32_t offset = uint32_t(zip.size());
        Put32(zip, 0x04034b50);
        Put16(zip, 51);        // version needed: AES
        Put16(zip, 1);         // encrypted
        Put16(zip, 99);        // AES method; the real one is in the extra field
        Put16(zip, kDosTime);
        Put16(zip, kDosDate);
        Put32(zip, crc);       // 0: left out under AE-2
        Put32(zip, packed);
        Put32(zip, uint32_t(f.bytes.size()));
        Put16(zip, uint32_t(f.name.size()));
        Put16(zip, uint32_t(extra.size()));
        zip.insert(zip.end(), f.name.begin(), f.name.end());
        zip.insert(zip.end(), extra.begin(), extra.end());
        zip.insert(zip.end(), digest, digest + 16);
        zip.insert(zip.end(), keys.verifier, keys.verifier + 2);
        zip.insert(zip.end(), data.begin(), data.end());
        zip.insert(zip.end(), mac, mac + kWinZipAesMacLength);

        Put32(central, 0x02014b50);
        Put16(central, 51);    // made by: MS-DOS, 5.1
        Put16(central, 51);
        Put16(central, 1);
        Put16(central, 99);
        Put16(central, kDosTime);
        Put16(central, kDosDate);
        Put32(central, crc);
        Put32(central, packed);
        Put32(central, uint32_t(f.bytes.size()));
        Put16(central, uint32_t(f.name.size()));
        Put16(central, uint32_t(extra.size()));
        Put16(central, 0);     // comment
        Put16(central, 0);     // disk
        Put16(central, 0);     // internal attributes
        Put32(central, 0);     // external attributes
        Put32(central, offset);
        central.insert(central.end(), f.name.begin(), f.name.end());
        central.insert(central.end(), extra.begin(), extra.end());
    }
    uint32_t centralOffset = uint32_t(zip.size());
    zip.insert(zip.end(), central.begin(), central.end());
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, uint32_t(files.size()));
    Put16(zip, uint32_t(files.size()));
    Put32(zip, uint32_t(central.size()));
    Put32(zip, centralOffset);
    Put16(zip, 0);
    return zip;
}
