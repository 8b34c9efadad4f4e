// The platform seam on real Windows: each function forwards to the Win32 call
// it mirrors. In a build with the board simulator (VCA_BOARD_SIMULATOR),
// escapes go to it instead of the display driver when the environment
// variable NRVAVCA_BOARD names a board profile; the shipped applet has none.
#include "platform/win32/windows_api.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

#if VCA_BOARD_SIMULATOR
#include "boardsim/boardsim.h"
#endif

namespace platform {
namespace {

const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
wchar_t* W(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

#if VCA_BOARD_SIMULATOR
std::string EnvironmentUtf8(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    char narrow[MAX_PATH * 3];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, value, static_cast<int>(length), narrow, sizeof narrow - 1,
                                    nullptr, nullptr);
    return std::string(narrow, bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
}

// NRVAVCA_BOARD_LOG: the simulated driver appends a line per request to
// this file, so that a person can see what the applet sent.
void FollowLogFile() {
    static std::string loggingTo;
    std::string path = EnvironmentUtf8(L"NRVAVCA_BOARD_LOG");
    if (path == loggingTo) return;
    loggingTo = path;
    boardsim::SetLogFile(path);
}

// NRVAVCA_BOARD: true when a simulated board answers the escapes. The
// profile is loaded again whenever the variable names another file.
bool UseSimulatedBoard() {
    FollowLogFile();
    static std::wstring loadedFrom;
    static bool simulated = false;
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"NRVAVCA_BOARD", path, MAX_PATH);
    std::wstring current = (length > 0 && length < MAX_PATH) ? std::wstring(path, length) : std::wstring();
    if (current == loadedFrom) return simulated;
    loadedFrom = current;
    simulated = false;
    boardsim::Uninstall();
    if (current.empty()) return false;
    char narrow[MAX_PATH * 3];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, current.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
    boardsim::Profile profile;
    std::string error = "path too long";
    if (bytes > 0 && boardsim::LoadProfileFile(narrow, &profile, &error)) {
        boardsim::Install(profile);
        simulated = true;
    } else {
        std::fprintf(stderr, "NRVAVCA_BOARD: %s\n", error.c_str());
    }
    return simulated;
}
#endif

}  // namespace

long RegCreateKey(const char16_t* path, std::uint32_t access, RegKey* key) {
    HKEY opened = nullptr;
    DWORD disposition = 0;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  access, nullptr, &opened, &disposition);
    if (key) *key = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
    return result;
}

long RegQueryValue(RegKey key, const char16_t* name, std::uint32_t* type, void* data,
                   std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD valueSize = size ? *size : 0;
    LONG result = RegQueryValueExW(reinterpret_cast<HKEY>(key), W(name), nullptr, &valueType,
                                   static_cast<BYTE*>(data), size ? &valueSize : nullptr);
    if (type) *type = valueType;
    if (size) *size = valueSize;
    return result;
}

long RegSetValue(RegKey key, const char16_t* name, std::uint32_t type, const void* data,
                 std::uint32_t size) {
    return RegSetValueExW(reinterpret_cast<HKEY>(key), W(name), 0, type,
                          static_cast<const BYTE*>(data), size);
}

long RegFlushKey(RegKey key) { return ::RegFlushKey(reinterpret_cast<HKEY>(key)); }
long RegCloseKey(RegKey key) { return ::RegCloseKey(reinterpret_cast<HKEY>(key)); }

DeviceContext AcquireDesktopDC() {
    return reinterpret_cast<DeviceContext>(GetDC(GetDesktopWindow()));
}

void ReleaseDesktopDC(DeviceContext dc) {
    ReleaseDC(GetDesktopWindow(), reinterpret_cast<HDC>(dc));
}

int ExtEscape(DeviceContext dc, int escape, int inSize, const void* in, int outSize, void* out) {
#if VCA_BOARD_SIMULATOR
    if (UseSimulatedBoard()) return dc ? boardsim::Escape(escape, inSize, in, outSize, out) : 0;
#endif
    return ::ExtEscape(reinterpret_cast<HDC>(dc), escape, inSize, static_cast<LPCSTR>(in), outSize,
                       static_cast<LPSTR>(out));
}

FileHandle OpenExistingFileReadOnly(const char16_t* path) {
    HANDLE file = CreateFileW(W(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_READONLY, nullptr);
    return file == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(file);
}

std::uint32_t GetFileSize(FileHandle file) {
    return ::GetFileSize(reinterpret_cast<HANDLE>(file), nullptr);
}

bool ReadFile(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) {
    DWORD read = 0;
    BOOL ok = ::ReadFile(reinterpret_cast<HANDLE>(file), buffer, size, &read, nullptr);
    if (bytesRead) *bytesRead = read;
    return ok != FALSE;
}

void CloseFile(FileHandle file) { CloseHandle(reinterpret_cast<HANDLE>(file)); }

bool FileExists(const char16_t* path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(W(path), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

TextFile OpenTextFile(const char16_t* path) {
    return reinterpret_cast<TextFile>(_wfopen(W(path), L"rt"));
}

bool ReadTextLine(TextFile file, char* buffer, int size) {
    return file && std::fgets(buffer, size, reinterpret_cast<FILE*>(file)) != nullptr;
}

TextFile CreateTextFile(const char16_t* path) {
    return reinterpret_cast<TextFile>(_wfopen(W(path), L"wt"));
}

bool WriteText(TextFile file, const char* text) {
    return file && std::fputs(text, reinterpret_cast<FILE*>(file)) >= 0;
}

void CloseTextFile(TextFile file) {
    if (file) std::fclose(reinterpret_cast<FILE*>(file));
}

std::uint32_t GetWindowsDirectory(char16_t* buffer, std::uint32_t size) {
    return GetWindowsDirectoryW(W(buffer), size);
}

std::uint32_t GetSystemDirectory(char16_t* buffer, std::uint32_t size) {
    return GetSystemDirectoryW(W(buffer), size);
}

std::uint32_t GetUserDefaultLCID() { return ::GetUserDefaultLCID(); }
void Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }
bool SetUserLocale() { return std::setlocale(LC_ALL, "") != nullptr; }

int MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* src,
                        int srcLength, char16_t* dst, int dstCapacity) {
    return ::MultiByteToWideChar(codePage, flags, src, srcLength, W(dst), dstCapacity);
}

Module GetModuleHandle(const char16_t* name) {
    return reinterpret_cast<Module>(GetModuleHandleW(W(name)));
}

Module LoadLibrary(const char16_t* name) {
    return reinterpret_cast<Module>(LoadLibraryW(W(name)));
}

int LoadString(Module module, std::uint32_t id, char16_t* buffer, int capacity) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = u'\0';
    return LoadStringW(reinterpret_cast<HINSTANCE>(module), id, W(buffer), capacity);
}

Icon LoadIcon(Module module, const char16_t* name) {
    return reinterpret_cast<Icon>(LoadIconW(reinterpret_cast<HINSTANCE>(module), W(name)));
}

int MessageBox(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t type) {
    return MessageBoxW(reinterpret_cast<HWND>(owner), W(text), W(caption), type);
}

void MessageBeep(std::uint32_t type) { ::MessageBeep(type); }

char16_t* FormatMessage(std::uint32_t flags, const char16_t* source,
                        const std::uintptr_t* arguments) {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(flags, source, 0, 0, reinterpret_cast<LPWSTR>(&text), 0,
                                  reinterpret_cast<va_list*>(const_cast<std::uintptr_t*>(arguments)));
    if (length == 0) return nullptr;
    return reinterpret_cast<char16_t*>(text);
}

void FreeFormattedMessage(char16_t* text) {
    if (text) LocalFree(text);
}

void WriteDiagnostic(const char* text) {
    if (!text) return;
    std::fputs(text, stdout);
    std::fflush(stdout);
}

void* Allocate(std::size_t size) { return std::malloc(size ? size : 1); }
void* AllocateZeroed(std::size_t size) { return std::calloc(1, size ? size : 1); }
void Free(void* block) { std::free(block); }

void ExitProcess(int code) { ::ExitProcess(static_cast<UINT>(code)); }

}  // namespace platform
