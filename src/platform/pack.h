// pack.h -- the password-protected resource pack: a zip file whose members are read by name.
// Both traditional ZIP encryption and AES open with the same password.
#pragma once

#include <string>
#include <vector>

struct zip;

class ResourcePack {
public:
    ResourcePack() = default;
    ~ResourcePack();
    ResourcePack(const ResourcePack&) = delete;
    ResourcePack& operator=(const ResourcePack&) = delete;

    // Opens the pack, replacing any attached before. False when it cannot be opened.
    bool Attach(const std::string& filename, const std::string& password);
    void Close();
    bool IsOpen() const { return archive_ != nullptr; }
    // Reads a member; names match case-insensitively and with either slash. False when the
    // member is missing or cannot be decrypted.
    bool Read(const std::string& name, std::vector<unsigned char>& out) const;

private:
    zip* archive_ = nullptr;
    std::string password_;
};
