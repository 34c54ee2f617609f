// font_lookup_win32.cpp -- the font for a family name on Windows. Windows' Chinese fonts are
// looked up under their file names, through the registry's font list and in the system's Fonts
// folder; the family asked for comes first, then the others, so that 黑体 text still draws in
// 宋体 on a system that has only that. A system without any (Wine's, or a trimmed one) uses the
// fonts shipped in the fonts folder beside the game, the face of a collection whose Latin
// letters are half-width first.
#include "platform/font_lookup.h"

#if defined(_WIN32)

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <initializer_list>
#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct SystemFont {
    const char* family;     // its Chinese name, UTF-8
    const wchar_t* english;  // its English name, as the registry's font list calls it
    const wchar_t* file;     // its file in the Fonts folder
    int index;               // its face in that file
};

const SystemFont kSystemFonts[] = {
    {"\xE5\xAE\x8B\xE4\xBD\x93", L"SimSun", L"simsun.ttc", 0},                           // 宋体
    {"\xE9\xBB\x91\xE4\xBD\x93", L"SimHei", L"simhei.ttf", 0},                           // 黑体
    {"\xE6\x96\xB0\xE5\xAE\x8B\xE4\xBD\x93", L"NSimSun", L"simsun.ttc", 1},              // 新宋体
    {"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91", L"Microsoft YaHei", L"msyh.ttc", 0},  // 微软雅黑
};

std::string Utf8(const std::wstring& wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return towlower(x) == towlower(y); });
}

fs::path FontsFolder() {
    PWSTR path = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    if (folder.empty()) {
        wchar_t windows[MAX_PATH];
        UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
        if (n > 0 && n < MAX_PATH) folder = fs::path(windows) / L"Fonts";
    }
    return folder;
}

fs::path GameFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n == 0) return fs::path();
        if (n < path.size()) {
            path.resize(n);
            return fs::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

// The files the registry's font lists (the machine's, then the user's own) give for a font
// whose entry names `english`, such as "SimSun & NSimSun (TrueType)". Entries without a folder
// are in the Fonts folder.
void RegistryFiles(const std::wstring& english, const fs::path& fontsFolder, std::vector<fs::path>* files) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0,
                          KEY_READ, &key) != ERROR_SUCCESS) {
            continue;
        }
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            wchar_t data[MAX_PATH];
            DWORD nameLength = 256;
            DWORD dataBytes = sizeof data - sizeof(wchar_t);
            DWORD type = 0;
            LONG status = RegEnumValueW(key, i, name, &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data), &dataBytes);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
            data[dataBytes / sizeof(wchar_t)] = L'\0';
            std::wstring entry(name, nameLength);
            // The English name up to the first " & " or " (" of the entry.
            size_t end = std::min(entry.find(L" & "), entry.find(L" ("));
            if (!SameName(entry.substr(0, end), english)) continue;
            fs::path file(data);
            files->push_back(file.has_root_path() ? file : fontsFolder / file);
        }
        RegCloseKey(key);
    }
}

// The font files of the game's own fonts folder, in name order.
std::vector<fs::path> ShippedFonts() {
    std::vector<fs::path> files;
    std::error_code ec;
    fs::path folder = GameFolder() / L"fonts";
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::wstring extension = it->path().extension().wstring();
        if (SameName(extension, L".ttc") || SameName(extension, L".ttf") || SameName(extension, L".otf")) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// FreeType reads the font from a view of the whole file, mapped with a wide-character path
// (FreeType's own opening goes through the ANSI code page, which cannot name every folder).
// The stream's close unmaps it.
void CloseMappedStream(FT_Stream stream) {
    UnmapViewOfFile(stream->base);
    delete stream;
}

FT_Face OpenMapped(FT_Library library, const fs::path& path, int index) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    HANDLE mapping = nullptr;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF) {
        mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    }
    CloseHandle(file);  // the mapping keeps the file open
    if (mapping == nullptr) return nullptr;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);  // the view keeps the mapping
    if (view == nullptr) return nullptr;
    auto* stream = new (std::nothrow) FT_StreamRec();
    if (stream == nullptr) {
        UnmapViewOfFile(view);
        return nullptr;
    }
    stream->base = static_cast<unsigned char*>(view);
    stream->size = static_cast<unsigned long>(size.QuadPart);
    stream->close = CloseMappedStream;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    FT_Face face = nullptr;
    // FreeType closes the stream when the face is done, and when it cannot open one.
    if (FT_Open_Face(library, &args, index, &face) != 0) return nullptr;
    return face;
}

}  // namespace

bool OpenFontFor(FT_Library library, const std::string& family, int pixelSize, bool bold,
                 bool italic, FoundFont* found, std::string* error) {
    (void)pixelSize;
    (void)bold;
    (void)italic;
    const fs::path fontsFolder = FontsFolder();
    const std::wstring wanted = Wide(family);
    struct Candidate {
        fs::path file;
        int index;
    };
    std::vector<Candidate> candidates;
    // The family's own font, then Windows' other Chinese fonts, then the shipped ones.
    std::vector<const SystemFont*> order;
    for (const SystemFont& font : kSystemFonts) {
        if (family == font.family || SameName(wanted, font.english)) order.insert(order.begin(), &font);
        else order.push_back(&font);
    }
    for (const SystemFont* font : order) {
        std::vector<fs::path> files;
        RegistryFiles(font->english, fontsFolder, &files);
        if (!fontsFolder.empty()) files.push_back(fontsFolder / font->file);
        for (const fs::path& file : files) candidates.push_back({file, font->index});
    }
    // Every face of a shipped collection is a candidate of its own: WenQuanYi Zen Hei's file
    // holds the Mono face beside the proportional one.
    for (const fs::path& file : ShippedFonts()) {
        FT_Face face = OpenMapped(library, file, -1);
        FT_Long faces = face != nullptr ? face->num_faces : 0;
        if (face != nullptr) FT_Done_Face(face);
        for (int index = 0; index < faces && index < 256; ++index) candidates.push_back({file, index});
    }

    // The text is laid on half-width cells: the first face whose Latin letters fill them, as
    // SimSun's and SimHei's do; failing any, the first that draws Chinese at all. A file that
    // cannot draw Chinese (a damaged or misnamed one) is passed over.
    for (bool halfWidth : {true, false}) {
        for (const Candidate& candidate : candidates) {
            std::error_code ec;
            if (!fs::is_regular_file(candidate.file, ec)) continue;
            FT_Face face = OpenMapped(library, candidate.file, candidate.index);
            if (face == nullptr) continue;
            bool cells = HasHalfWidthLatin(face);
            if (!HasChinese(face) || (halfWidth && !cells)) {
                FT_Done_Face(face);
                continue;
            }
            TakeFace(face, Utf8(candidate.file.wstring()), found);
            return true;
        }
    }
    if (error != nullptr) {
        *error = "no Chinese font in " + (fontsFolder.empty() ? std::string("the system") : Utf8(fontsFolder.wstring())) +
                 " nor in " + Utf8((GameFolder() / L"fonts").wstring());
    }
    return false;
}

#endif  // _WIN32
