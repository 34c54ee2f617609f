// pack.cpp -- the resource pack over libzip.
#include "platform/pack.h"

#include <sys/stat.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/winzip_aes.h"

namespace {

// Game code names files with backslashes or slashes and in any case; pack members use '/'.
std::string NormaliseName(const std::string& name) {
    std::string out = name;
    for (char& c : out) {
        if (c == '\\') c = '/';
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    while (out.rfind("./", 0) == 0) out.erase(0, 2);
    return out;
}

// Deflate never expands more than about 1032 to 1; stored data not at all. A member that
// declares more than its compressed bytes can yield is damaged before anything is read.
constexpr uint64_t kMaxDeflateRatio = 1032;
int ErrorCode(zip* archive) { return zip_error_code_zip(zip_get_error(archive)); }

// The AES key length of a WinZip AES member, 0 for any other.
int AesKeyLength(const zip_stat_t& st) {
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) == 0) return 0;
    switch (st.encryption_method) {
        case ZIP_EM_AES_128: return 16;
        case ZIP_EM_AES_192: return 24;
        case ZIP_EM_AES_256: return 32;
        default: return 0;
    }
}

uint32_t Crc32(const std::vector<unsigned char>& data) {
    uLong crc = crc32(0L, Z_NULL, 0);
    size_t done = 0;
    while (done < data.size()) {
        const uInt piece = uInt(std::min<size_t>(data.size() - done, 1u << 30));
        crc = crc32(crc, data.data() + done, piece);
        done += piece;
    }
    return uint32_t(crc);
}

// Inflates raw deflate data that must yield exactly `size` bytes and end there; memory grows
// with what the stream really produces.
bool Inflate(const std::vector<unsigned char>& packed, uint64_t size, std::vector<unsigned char>& out) {
    out.clear();
    z_stream inflater{};
    if (inflateInit2(&inflater, -MAX_WBITS) != Z_OK) return false;
    unsigned char plain[1 << 16];
    size_t offset = 0;
    bool ended = false;
    bool ok = true;
    while (ok && !ended) {
        const size_t piece = std::min<size_t>(packed.size() - offset, 1u << 30);
        inflater.next_in = const_cast<unsigned char*>(packed.data()) + offset;
        inflater.avail_in = uInt(piece);
        inflater.next_out = plain;
        inflater.avail_out = sizeof plain;
        const int result = inflate(&inflater, Z_NO_FLUSH);
        offset += piece - inflater.avail_in;
        const size_t produced = sizeof plain - inflater.avail_out;
        if ((result != Z_OK && result != Z_STREAM_END) || produced > size - out.size() ||
            (result == Z_OK && produced == 0 && offset == packed.size())) {
            ok = false;  // corrupt, more than declared, or cut short
            break;
        }
        out.insert(out.end(), plain, plain + produced);
        ended = result == Z_STREAM_END;
    }
    inflateEnd(&inflater);
    // Bytes after the end of the stream are damage too.
    return ok && offset == packed.size();
}

}  // namespace

ResourcePack::~ResourcePack() { Close(); }

void ResourcePack::Close() {
    if (archive_ != nullptr) {
        zip_discard(archive_);
        archive_ = nullptr;
    }
    bytes_.clear();
    archiveSize_ = 0;
}

PackAttach ResourcePack::Attach(const std::string& filename, const std::string& password) {
    Close();
    struct stat info;
    // A pack is an ordinary file; a pipe or device would stall the reader.
    if (::stat(filename.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return PackAttach::CannotOpen;
    }
    int error = 0;
    archive_ = zip_open(filename.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive_ == nullptr) return PackAttach::CannotOpen;
    archiveSize_ = uint64_t(info.st_size);
    return Opened(password);
}

PackAttach ResourcePack::AttachBytes(std::vector<unsigned char> bytes, const std::string& password) {
    Close();
    bytes_ = std::move(bytes);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
    if (source != nullptr) {
        archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (archive_ == nullptr) zip_source_free(source);
    }
    zip_error_fini(&error);
    if (archive_ == nullptr) {
        bytes_.clear();
        return PackAttach::CannotOpen;
    }
    archiveSize_ = bytes_.size();
    return Opened(password);
}

PackAttach ResourcePack::Opened(const std::string& password) {
    if (zip_get_num_entries(archive_, 0) <= 0) {
        Close();  // an empty file opens as an empty archive: no pack at all
        return PackAttach::CannotOpen;
    }
    password_ = password;
    zip_set_default_password(archive_, password_.empty() ? nullptr : password_.c_str());
    return PasswordOpensPack() ? PackAttach::Opened : PackAttach::WrongPassword;
}

// The first encrypted member tells whether the password opens the pack.
bool ResourcePack::PasswordOpensPack() const {
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    std::vector<unsigned char> ignored;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive_, zip_uint64_t(i), 0, &st) != 0) continue;
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) == 0 || st.encryption_method == ZIP_EM_NONE) {
            continue;
        }
        const PackRead read = ReadMember(i, ignored);
        if (read == PackRead::Locked) return false;
        if (read == PackRead::Ok) return true;
        // A damaged member says nothing about the password: try the next.
    }
    return true;
}

int64_t ResourcePack::MemberCount() const {
    return archive_ != nullptr ? zip_get_num_entries(archive_, 0) : 0;
}

std::string ResourcePack::MemberName(int64_t index) const {
    if (archive_ == nullptr || index < 0) return std::string();
    const char* name = zip_get_name(archive_, zip_uint64_t(index), 0);
    return name != nullptr ? name : std::string();
}

PackRead ResourcePack::Read(const std::string& name, std::vector<unsigned char>& out) const {
    out.clear();
    if (archive_ == nullptr) return PackRead::Missing;
    const std::string wanted = NormaliseName(name);
    zip_int64_t index = zip_name_locate(archive_, wanted.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return PackRead::Missing;
    return ReadMember(index, out);
}

PackRead ResourcePack::ReadMember(int64_t index, std::vector<unsigned char>& out) const {
    out.clear();
    if (archive_ == nullptr || index < 0 || index >= MemberCount()) return PackRead::Missing;
    const zip_uint64_t at = zip_uint64_t(index);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, at, 0, &st) != 0 || (st.valid & ZIP_STAT_SIZE) == 0 ||
        (st.valid & ZIP_STAT_COMP_SIZE) == 0 || (st.valid & ZIP_STAT_COMP_METHOD) == 0) {
        return PackRead::Damaged;
    }
    // What a member declares must fit the bytes that hold it.
    if (st.comp_size > archiveSize_) return PackRead::Damaged;
    if (st.comp_method == ZIP_CM_STORE && st.size > st.comp_size) return PackRead::Damaged;
    if (st.comp_method == ZIP_CM_DEFLATE && st.size > st.comp_size * kMaxDeflateRatio + 64) {
        return PackRead::Damaged;
    }
    if (st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE) {
        return PackRead::Damaged;  // the game's packs hold nothing else
    }
    const int aesKeyLength = AesKeyLength(st);
    const bool aes = aesKeyLength > 0;

    std::vector<unsigned char> packed;
    if (aes) {
        // WinZip AES is read raw and checked here: libzip 1.7 compares an AE-2 member's absent
        // CRC against the data and fails every member, and checks the authentication code
        // only on a read past the end.
        const PackRead raw = ReadRaw(at, st.comp_size, ZIP_FL_ENCRYPTED, packed);
        if (raw != PackRead::Ok) return raw;
        const PackRead opened = OpenAes(packed, aesKeyLength);
        if (opened != PackRead::Ok) return opened;
    } else {
        // Plain or traditionally encrypted: libzip decrypts, we inflate and check the CRC.
        const PackRead raw = ReadRaw(at, st.comp_size, ZIP_FL_COMPRESSED, packed);
        if (raw != PackRead::Ok) return raw;
    }
    std::vector<unsigned char> data;
    if (st.comp_method == ZIP_CM_DEFLATE) {
        if (!Inflate(packed, st.size, data)) return PackRead::Damaged;
    } else {
        data = std::move(packed);
    }
    if (data.size() != st.size) return PackRead::Damaged;
    // Every member carries a CRC but WinZip AE-2, which writes 0 and leaves the data to the
    // authentication code. (libzip hides the AES extra field that names the version; an AE-1
    // member whose CRC happens to be 0 is still guarded by that code.)
    const bool checkCrc = (st.valid & ZIP_STAT_CRC) != 0 && !(aes && st.crc == 0);
    if (checkCrc && Crc32(data) != st.crc) return PackRead::Damaged;
    out = std::move(data);
    return PackRead::Ok;
}

// Reads the member's stored bytes (decrypted by libzip unless `flags` asks for them raw), which
// must be `length` long. Memory grows with what really arrives.
PackRead ResourcePack::ReadRaw(uint64_t index, uint64_t length, uint32_t flags,
                               std::vector<unsigned char>& out) const {
    out.clear();
    zip_file_t* file = zip_fopen_index(archive_, index, flags);
    if (file == nullptr) {
        const int code = ErrorCode(archive_);
        zip_error_clear(archive_);
        return code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_NOPASSWD ? PackRead::Locked
                                                                     : PackRead::Damaged;
    }
    unsigned char chunk[1 << 16];
    bool ok = true;
    while (ok && out.size() < length) {
        const zip_uint64_t want = std::min<zip_uint64_t>(sizeof chunk, length - out.size());
        const zip_int64_t got = zip_fread(file, chunk, want);
        if (got <= 0) {
            ok = false;  // unreadable, or shorter than declared
            break;
        }
        out.insert(out.end(), chunk, chunk + got);
    }
    zip_fclose(file);
    if (!ok) out.clear();
    return ok ? PackRead::Ok : PackRead::Damaged;
}

// Checks the password verifier and the authentication code, then decrypts in place: `data`
// becomes the member's compressed bytes.
PackRead ResourcePack::OpenAes(std::vector<unsigned char>& data, int keyLength) const {
    const size_t saltLength = size_t(keyLength) / 2;
    if (data.size() < saltLength + 2 + kWinZipAesMacLength) return PackRead::Damaged;
    WinZipAesKeys keys;
    if (!WinZipAesDeriveKeys(password_, data.data(), keyLength, keys)) return PackRead::Damaged;
    if (std::memcmp(keys.verifier, data.data() + saltLength, 2) != 0) return PackRead::Locked;
    unsigned char* cipher = data.data() + saltLength + 2;
    const size_t cipherLength = data.size() - saltLength - 2 - kWinZipAesMacLength;
    unsigned char mac[kWinZipAesMacLength];
    if (!WinZipAesMac(keys, cipher, cipherLength, mac) ||
        std::memcmp(mac, cipher + cipherLength, kWinZipAesMacLength) != 0 ||
        !WinZipAesCrypt(keys, cipher, cipherLength)) {
        return PackRead::Damaged;
    }
    data.erase(data.begin() + ptrdiff_t(saltLength + 2 + cipherLength), data.end());
    data.erase(data.begin(), data.begin() + ptrdiff_t(saltLength + 2));
    return PackRead::Ok;
}
