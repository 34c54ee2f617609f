// pack.h -- the password-protected resource pack: a zip file whose members are read by name.
// Both traditional ZIP encryption and AES open with the same password.
//
// Nothing a member claims about itself is trusted: its size only bounds what is read (memory
// grows with the bytes that really arrive), WinZip AES members must pass their authentication
// code, and members that carry a CRC must match it. A member that fails is damaged, never
// returned in part.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct zip;

enum class PackAttach {
    Opened,
    CannotOpen,     // missing, unreadable or not a zip archive
    WrongPassword,  // opened, but the password does not open its encrypted members
};

enum class PackRead {
    Ok,
    Missing,  // no such member (or no pack)
    Damaged,  // the member exists but its data is corrupt, truncated or fails its check
    Locked,   // the member exists but the pack's password does not open it
};

class ResourcePack {
public:
    ResourcePack() = default;
    ~ResourcePack();
    ResourcePack(const ResourcePack&) = delete;
    ResourcePack& operator=(const ResourcePack&) = delete;

    // Opens the pack, replacing any attached before. A pack whose password is wrong stays
    // attached: its unencrypted members still read, its encrypted ones read as Locked.
    PackAttach Attach(const std::string& filename, const std::string& password);
    // The same from bytes in memory (tests and fuzzing).
    PackAttach AttachBytes(std::vector<unsigned char> bytes, const std::string& password);
    void Close();
    bool IsOpen() const { return archive_ != nullptr; }

    // Reads a member; names match case-insensitively and with either slash. `out` is empty
    // unless the result is Ok.
    PackRead Read(const std::string& name, std::vector<unsigned char>& out) const;

    // Members by position, for tools and fuzzing.
    int64_t MemberCount() const;
    std::string MemberName(int64_t index) const;
    PackRead ReadMember(int64_t index, std::vector<unsigned char>& out) const;

private:
    PackAttach Opened(const std::string& password);
    bool PasswordOpensPack() const;
    PackRead ReadRaw(uint64_t index, uint64_t length, uint32_t flags,
                     std::vector<unsigned char>& out) const;
    PackRead OpenAes(std::vector<unsigned char>& data, int keyLength) const;

    zip* archive_ = nullptr;
    uint64_t archiveSize_ = 0;
    std::vector<unsigned char> bytes_;  // the archive, when attached from memory
    std::string password_;
};
