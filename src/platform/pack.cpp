// pack.cpp -- the resource pack over libzip.
#include "platform/pack.h"

#include <zip.h>

#include <algorithm>
#include <cctype>

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

}  // namespace

ResourcePack::~ResourcePack() { Close(); }

void ResourcePack::Close() {
    if (archive_ != nullptr) {
        zip_discard(archive_);
        archive_ = nullptr;
    }
}

bool ResourcePack::Attach(const std::string& filename, const std::string& password) {
    Close();
    int error = 0;
    archive_ = zip_open(filename.c_str(), ZIP_RDONLY, &error);
    if (archive_ == nullptr) return false;
    password_ = password;
    zip_set_default_password(archive_, password_.empty() ? nullptr : password_.c_str());
    return true;
}

bool ResourcePack::Read(const std::string& name, std::vector<unsigned char>& out) const {
    if (archive_ == nullptr) return false;
    const std::string wanted = NormaliseName(name);
    zip_int64_t index = zip_name_locate(archive_, wanted.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return false;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &st) != 0 ||
        (st.valid & ZIP_STAT_SIZE) == 0) {
        return false;
    }
    zip_file_t* file = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) return false;
    out.resize(static_cast<size_t>(st.size));
    zip_int64_t got = out.empty() ? 0 : zip_fread(file, out.data(), out.size());
    zip_fclose(file);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
        out.clear();
        return false;
    }
    return true;
}
