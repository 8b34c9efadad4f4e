// Files of the emulated machine: Windows paths on drive C: are read from a
// host folder, with MSVCRT's text mode for line reading.
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/host/host_state.h"

namespace host {
namespace {

namespace fs = std::filesystem;

struct TextStream {
    std::FILE* file = nullptr;
    bool writing = false;
    bool ended = false;  // a Ctrl-Z was read: text mode ends the file there
};

struct FileState {
    std::string driveC;  // host folder behind C:, empty when unmapped
    std::shared_ptr<const MemoryDrive> memoryDrive;  // or the files in memory behind it
    std::u16string windowsDirectory = u"C:\\WINDOWS";
    bool failOpen = false;
    bool failSize = false;
    std::map<platform::FileHandle, std::FILE*> files;
    std::map<platform::TextFile, TextStream> texts;
    std::uintptr_t nextHandle = 0x100;
    std::vector<std::u16string> searches;
};

FileState& files() {
    static FileState state;
    return state;
}

char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - 32 : c; }

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// One path component under `dir`: the exact name when it exists, else the
// first entry that matches without regard to case, else the exact name.
fs::path Resolve(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    fs::path exact = dir / name;
    if (fs::exists(exact, ec)) return exact;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (EqualsNoCase(it->path().filename().string(), name)) return it->path();
    return exact;
}

void CloseAll() {
    for (auto& [handle, file] : files().files) std::fclose(file);
    for (auto& [handle, text] : files().texts) std::fclose(text.file);
}

// The components of a path on C: ("." and empty ones dropped); false for
// another drive, a relative path or a step up out of the drive.
bool DriveComponents(const std::u16string& windowsPath, std::vector<std::string>* parts) {
    std::u16string rest;
    if (windowsPath.size() >= 2 && windowsPath[1] == u':') {
        if (FoldAscii(windowsPath[0]) != u'C') return false;
        rest = windowsPath.substr(2);
    } else if (!windowsPath.empty() && (windowsPath[0] == u'\\' || windowsPath[0] == u'/')) {
        rest = windowsPath;
    } else {
        return false;  // relative paths have no current folder here
    }
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find_first_of(u"\\/", start);
        if (end == std::u16string::npos) end = rest.size();
        std::string part = ToUtf8(rest.substr(start, end - start));
        if (part == "..") return false;  // stay inside the drive
        if (!part.empty() && part != ".") parts->push_back(std::move(part));
        start = end + 1;
    }
    return true;
}

// A memory drive's key for a path: its components, as on a mapped folder,
// folded, each followed by "\\".
bool MemoryKey(const std::u16string& windowsPath, std::string* key) {
    std::vector<std::string> parts;
    if (!DriveComponents(windowsPath, &parts)) return false;
    for (const std::string& part : parts) {
        for (char c : part) *key += static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
        *key += '\\';
    }
    return true;
}

}  // namespace

void MemoryDrive::AddFile(const std::u16string& path, std::string bytes) {
    std::string key;
    if (MemoryKey(path, &key) && !key.empty()) files_[key] = std::move(bytes);
}

const std::string* MemoryDrive::Find(const std::u16string& path) const {
    std::string key;
    if (!MemoryKey(path, &key)) return nullptr;
    const auto it = files_.find(key);
    return it == files_.end() ? nullptr : &it->second;
}

bool MemoryDrive::Exists(const std::u16string& path) const {
    std::string key;
    if (!MemoryKey(path, &key)) return false;
    // The file itself, or the first file under the folder of that name.
    const auto it = files_.lower_bound(key);
    return key.empty() || (it != files_.end() && it->first.compare(0, key.size(), key) == 0);
}

void MapDriveC(const std::string& hostFolder) {
    files().driveC = hostFolder;
    files().memoryDrive.reset();
}

void MapDriveCInMemory(std::shared_ptr<const MemoryDrive> drive) {
    files().driveC.clear();
    files().memoryDrive = std::move(drive);
}

void SetWindowsDirectory(const std::u16string& path) { files().windowsDirectory = path; }
void FailFileOpen(bool fail) { files().failOpen = fail; }
void FailFileSize(bool fail) { files().failSize = fail; }
const std::vector<std::u16string>& FileSearches() { return files().searches; }

std::string HostPathFor(const std::u16string& windowsPath) {
    const std::string& root = files().driveC;
    std::vector<std::string> parts;
    if (root.empty() || !DriveComponents(windowsPath, &parts)) return {};
    fs::path path(root);
    for (const std::string& part : parts) path = Resolve(path, part);
    return path.string();
}

namespace detail {
void ResetFiles() {
    CloseAll();
    files() = FileState{};
}
}  // namespace detail

}  // namespace host

namespace platform {
namespace {

std::uint32_t CopyDirectory(const std::u16string& text, char16_t* buffer, std::uint32_t size) {
    if (!buffer || size <= text.size()) return static_cast<std::uint32_t>(text.size() + 1);
    text.copy(buffer, text.size());
    buffer[text.size()] = u'\0';
    return static_cast<std::uint32_t>(text.size());
}

std::FILE* OpenHost(const char16_t* path, const char* mode) {
    if (!path) return nullptr;
    if (const auto& drive = host::files().memoryDrive) {
        // Read from the bytes in place; nothing is created on a memory drive.
        const std::string* bytes = mode[0] == 'r' ? drive->Find(path) : nullptr;
        if (!bytes) return nullptr;
#ifdef _WIN32
        // No fmemopen in the Windows C library: a temporary copy. Memory
        // drives serve the fuzz targets, which run on Linux.
        std::FILE* copy = std::tmpfile();
        if (copy && (std::fwrite(bytes->data(), 1, bytes->size(), copy) != bytes->size() || std::fseek(copy, 0, SEEK_SET))) {
            std::fclose(copy);
            return nullptr;
        }
        return copy;
#else
        static char none;  // an empty file still needs a buffer
        return fmemopen(bytes->empty() ? &none : const_cast<char*>(bytes->data()), bytes->size(), "rb");
#endif
    }
    std::string hostPath = host::HostPathFor(path);
    if (hostPath.empty()) return nullptr;
    std::error_code ec;
    if (mode[0] == 'r' && !std::filesystem::is_regular_file(hostPath, ec)) return nullptr;
    return std::fopen(hostPath.c_str(), mode);
}

}  // namespace

std::uint32_t GetWindowsDirectory(char16_t* buffer, std::uint32_t size) {
    return CopyDirectory(host::files().windowsDirectory, buffer, size);
}

std::uint32_t GetSystemDirectory(char16_t* buffer, std::uint32_t size) {
    return CopyDirectory(host::files().windowsDirectory + u"\\system32", buffer, size);
}

FileHandle OpenExistingFileReadOnly(const char16_t* path) {
    auto& state = host::files();
    if (state.failOpen) return kInvalidFile;
    std::FILE* file = OpenHost(path, "rb");
    if (!file) return kInvalidFile;
    FileHandle handle = state.nextHandle++;
    state.files[handle] = file;
    return handle;
}

std::uint32_t GetFileSize(FileHandle file) {
    auto& state = host::files();
    auto it = state.files.find(file);
    if (it == state.files.end() || state.failSize) return kInvalidFileSize;
    long here = std::ftell(it->second);
    if (std::fseek(it->second, 0, SEEK_END) != 0) return kInvalidFileSize;
    long size = std::ftell(it->second);
    std::fseek(it->second, here, SEEK_SET);
    if (size < 0 || static_cast<unsigned long long>(size) >= kInvalidFileSize) return kInvalidFileSize;
    return static_cast<std::uint32_t>(size);
}

bool ReadFile(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) {
    auto& state = host::files();
    if (bytesRead) *bytesRead = 0;
    auto it = state.files.find(file);
    if (it == state.files.end() || (!buffer && size > 0)) return false;
    std::size_t got = size ? std::fread(buffer, 1, size, it->second) : 0;
    if (bytesRead) *bytesRead = static_cast<std::uint32_t>(got);
    return !std::ferror(it->second);
}

void CloseFile(FileHandle file) {
    auto& state = host::files();
    auto it = state.files.find(file);
    if (it == state.files.end()) return;
    std::fclose(it->second);
    state.files.erase(it);
}

bool FileExists(const char16_t* path) {
    if (!path) return false;
    host::files().searches.emplace_back(path);
    if (const auto& drive = host::files().memoryDrive) return drive->Exists(path);
    std::string hostPath = host::HostPathFor(path);
    std::error_code ec;
    return !hostPath.empty() && std::filesystem::exists(hostPath, ec);
}

TextFile OpenTextFile(const char16_t* path) {
    auto& state = host::files();
    if (state.failOpen) return 0;
    std::FILE* file = OpenHost(path, "rb");
    if (!file) return 0;
    TextFile handle = state.nextHandle++;
    state.texts[handle] = host::TextStream{file, false, false};
    return handle;
}

TextFile CreateTextFile(const char16_t* path) {
    auto& state = host::files();
    std::FILE* file = OpenHost(path, "wb");
    if (!file) return 0;
    TextFile handle = state.nextHandle++;
    state.texts[handle] = host::TextStream{file, true, false};
    return handle;
}

bool ReadTextLine(TextFile file, char* buffer, int size) {
    auto& state = host::files();
    auto it = state.texts.find(file);
    if (it == state.texts.end() || it->second.writing || !buffer || size <= 0) return false;
    host::TextStream& text = it->second;
    int count = 0;
    while (count < size - 1 && !text.ended) {
        int c = std::fgetc(text.file);
        if (c == EOF) break;
        if (c == 0x1A) {  // Ctrl-Z ends a file read in text mode
            text.ended = true;
            break;
        }
        if (c == '\r') {
            int next = std::fgetc(text.file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, text.file);
            }
        }
        buffer[count++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    if (count == 0) return false;
    buffer[count] = '\0';
    return true;
}

bool WriteText(TextFile file, const char* text) {
    auto& state = host::files();
    auto it = state.texts.find(file);
    if (it == state.texts.end() || !it->second.writing || !text) return false;
    // Text mode on the applet's platform writes LF as CR LF.
    for (const char* p = text; *p; ++p) {
        if (*p == '\n' && std::fputc('\r', it->second.file) == EOF) return false;
        if (std::fputc(*p, it->second.file) == EOF) return false;
    }
    return true;
}

void CloseTextFile(TextFile file) {
    auto& state = host::files();
    auto it = state.texts.find(file);
    if (it == state.texts.end()) return;
    std::fclose(it->second.file);
    state.texts.erase(it);
}

}  // namespace platform
