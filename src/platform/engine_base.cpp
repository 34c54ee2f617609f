// engine_base.cpp -- engine states, log, resources and the process's one engine.
#include "platform/engine_base.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include "platform/code_page.h"
#include "platform/data_folder.h"
#include "platform/preload.h"
#include "platform/headless_engine.h"

namespace {

EngineFactory gFactory = nullptr;
EngineBase* gEngine = nullptr;

// A data file beside the game: only an ordinary file is read, so a pipe or device put in its
// place cannot stall the game.
bool ReadDiskFile(const std::string& path, std::vector<unsigned char>& out) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// A relative name is found in the working folder first, then in the install's share folder.
// Only looked at, never opened: whatever stands in the working folder under that name wins.
std::string FindOnDisk(const char* filename) {
    std::string path = filename;
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    if (path.empty() || path[0] == '/' || ShareFolder().empty()) return path;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) return path;
    std::string shared = ShareFolder() + "/" + path;
    if (::stat(shared.c_str(), &info) == 0) return shared;
    return path;
}

}  // namespace

EngineBase* CurrentEngine() { return gEngine; }

void Engine_UseBackend(EngineFactory factory) { gFactory = factory; }

bool Engine_WindowOpen() { return gEngine != nullptr && gEngine->System_GetState(HGE_HWND) != 0; }

void Engine_PreloadStream(const char* filename) {
    if (gEngine != nullptr) gEngine->Stream_Preload(filename);
}

Engine* hgeCreate(int version) {
    if (version != HGE_VERSION) return nullptr;
    if (gEngine != nullptr) {
        gEngine->AddRef();
        return gEngine;
    }
    Engine* made = gFactory != nullptr ? gFactory() : new HeadlessEngine();
    gEngine = static_cast<EngineBase*>(made);
    return gEngine;
}

void EngineBase::Release() {
    if (--refCount_ > 0) return;
    Shutdown();
    if (gEngine == this) gEngine = nullptr;
    delete this;
}

void EngineBase::System_SetState(hgeBoolState state, bool value) {
    switch (state) {
        case HGE_WINDOWED: {
            bool changed = windowed_ != value;
            windowed_ = value;
            if (changed && initiated_) OnWindowedChanged();
            break;
        }
        case HGE_ZBUFFER: zbuffer_ = value; break;
        case HGE_USESOUND: useSound_ = value; break;
        case HGE_DONTSUSPEND: dontSuspend_ = value; break;
        case HGE_SHOWSPLASH: showSplash_ = value; break;
    }
}

void EngineBase::System_SetState(hgeFuncState state, hgeCallback value) {
    if (state == HGE_FRAMEFUNC) frameFunc_ = value;
    else renderFunc_ = value;
}

void EngineBase::System_SetState(hgeIntState state, int value) {
    switch (state) {
        case HGE_SCREENWIDTH: if (!initiated_) screenWidth_ = value; break;
        case HGE_SCREENHEIGHT: if (!initiated_) screenHeight_ = value; break;
        case HGE_SCREENBPP: screenBpp_ = value; break;
        case HGE_FPS: fps_ = value; break;
        case HGE_SCREENSHOTKEY: screenshotKey_ = value > 0 && value < 256 ? value : 0; break;
    }
}

void EngineBase::System_SetState(hgeStringState state, const char* value) {
    if (state == HGE_TITLE) {
        title_ = value != nullptr ? value : "";
        if (initiated_) OnTitleChanged();
    } else {
        logFile_ = value != nullptr ? value : "";
    }
}

bool EngineBase::System_GetState(hgeBoolState state) {
    switch (state) {
        case HGE_WINDOWED: return windowed_;
        case HGE_ZBUFFER: return zbuffer_;
        case HGE_USESOUND: return useSound_;
        case HGE_DONTSUSPEND: return dontSuspend_;
        case HGE_SHOWSPLASH: return showSplash_;
    }
    return false;
}

hgeCallback EngineBase::System_GetState(hgeFuncState state) {
    return state == HGE_FRAMEFUNC ? frameFunc_ : renderFunc_;
}

int EngineBase::System_GetState(hgeIntState state) {
    switch (state) {
        case HGE_SCREENWIDTH: return screenWidth_;
        case HGE_SCREENHEIGHT: return screenHeight_;
        case HGE_SCREENBPP: return screenBpp_;
        case HGE_FPS: return fps_;
        case HGE_SCREENSHOTKEY: return screenshotKey_;
    }
    return 0;
}

const char* EngineBase::System_GetState(hgeStringState state) {
    return state == HGE_TITLE ? title_.c_str() : logFile_.c_str();
}

uintptr_t EngineBase::System_GetState(hgeHwndState) { return window_; }

void EngineBase::System_Log(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (logToStandardError_) std::fprintf(stderr, "%s\n", line);
    if (!logFile_.empty()) {
        if (FILE* f = std::fopen(logFile_.c_str(), "a")) {
            std::fprintf(f, "%s\n", line);
            std::fclose(f);
        }
    }
}

void EngineBase::Input_SetPadBindings(const PadBinding* bindings, const int64_t* actionKeys,
                                      int actionCount, int deadZonePercent) {
    if (bindings != nullptr) pad_.SetBindings(bindings, actionKeys, actionCount);
    pad_.SetDeadZone(deadZonePercent);
}

bool EngineBase::Input_TakeWindowModeToggle() {
    if (windowModeToggles_ == 0) return false;
    --windowModeToggles_;
    return true;
}

bool EngineBase::Resource_AttachPack(const char* filename, const char* password) {
    if (filename == nullptr) return false;
    reportedResources_.clear();
    switch (pack_.Attach(FindOnDisk(filename), password != nullptr ? password : "")) {
        case PackAttach::Opened:
            return true;
        case PackAttach::WrongPassword:
            // Said once here; the members it locks then read from disk without a line each.
            System_Log("Resource pack %s does not open with the game's password; files are read "
                       "from disk", filename);
            return true;
        case PackAttach::CannotOpen:
            break;
    }
    System_Log("Resource pack %s could not be opened; files are read from disk", filename);
    return false;
}

bool EngineBase::ReadResource(const char* filename, std::vector<unsigned char>& out) {
    out.clear();
    if (filename == nullptr || *filename == '\0') {
        System_Log("Can't find resource (no name)");
        return false;
    }
    const PackRead packed = pack_.Read(filename, out);
    if (packed == PackRead::Ok) return true;
    // A file asked for again (one picture under two texture slots, a screen's sheet each time
    // it opens) is reported the first time only.
    const bool firstTime = reportedResources_.insert(filename).second;
    if (packed == PackRead::Damaged && firstTime) {
        System_Log("Resource %s in the pack is damaged; it is not used", filename);
    }
    if (ReadDiskFile(FindOnDisk(filename), out)) return true;
    if (packed == PackRead::Missing && firstTime) System_Log("Can't find resource %s", filename);
    return false;
}

void* EngineBase::Resource_Load(const char* filename, uint32_t* size) {
    std::vector<unsigned char> bytes;
    if (!ReadResource(filename, bytes)) return nullptr;
    // One spare NUL so text readers can treat the buffer as a string.
    auto* data = new unsigned char[bytes.size() + 1];
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    data[bytes.size()] = 0;
    if (size != nullptr) *size = static_cast<uint32_t>(bytes.size());
    return data;
}

void EngineBase::Resource_Free(void* data) { delete[] static_cast<unsigned char*>(data); }

void EngineBase::Input_SetTextInput(bool on) {
    if (textInput_ == on) return;
    textInput_ = on;
    OnTextInputChanged();
}

void EngineBase::Input_SetTextInputRect(float x, float y, float w, float h) {
    if (textRect_[0] == x && textRect_[1] == y && textRect_[2] == w && textRect_[3] == h) return;
    textRect_[0] = x;
    textRect_[1] = y;
    textRect_[2] = w;
    textRect_[3] = h;
    OnTextInputRectChanged();
}

void EngineBase::DeliverKeyDown(int vk) {
    if (textHandler_ == nullptr || vk <= 0 || vk > 255) return;
    TextEvent key{TextEventType::KeyDown, vk, "", 0, ""};
    textHandler_(key);
    // The platform's text events carry printable text only; the editing keys' characters are
    // made here, as a Windows message loop translates them.
    if (!textInput_) return;
    if (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE) {
        TextEvent character{TextEventType::Char, vk, "", 0, ""};
        textHandler_(character);
    }
}

void EngineBase::DeliverText(const char* utf8) {
    if (textHandler_ == nullptr || !textInput_ || utf8 == nullptr) return;
    size_t length = std::strlen(utf8);
    size_t pos = 0;
    while (char32_t cp = NextUtf8(utf8, length, &pos)) {
        uint32_t code = CodePageCharCode(cp);
        if (code == 0) {
            System_Log("Text input: U+%04X has no code in the game's code page; not typed",
                       unsigned(cp));
            continue;
        }
        TextEvent character{TextEventType::Char, int(code), "", 0, ""};
        textHandler_(character);
    }
}

void EngineBase::DeliverComposition(const char* utf8, int cursorChars) {
    if (textHandler_ == nullptr || !textInput_) return;
    std::string gbk;
    int cursorBytes = 0;
    size_t length = utf8 != nullptr ? std::strlen(utf8) : 0;
    size_t pos = 0;
    int chars = 0;
    while (char32_t cp = NextUtf8(utf8, length, &pos)) {
        if (chars == cursorChars) cursorBytes = int(gbk.size());
        uint32_t code = CodePageCharCode(cp);
        if (code == 0) gbk += '?';
        else if (code < 0x80) gbk += char(code);
        else {
            gbk += char(code >> 8);
            gbk += char(code & 0xFF);
        }
        ++chars;
    }
    if (cursorChars >= chars) cursorBytes = int(gbk.size());
    TextEvent composition{TextEventType::Composition, 0, gbk.c_str(), cursorBytes, ""};
    textHandler_(composition);
}
