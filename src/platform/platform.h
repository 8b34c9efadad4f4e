// The only door from the portable core to the operating system.
//
// Each function mirrors one Win32 call the applet needs, with portable types,
// so that the Win32 implementation is a one-line forward and the host (Linux)
// implementation is a faithful emulation: same error codes, same buffer
// contracts (ERROR_MORE_DATA, strings that need not be terminated), same
// access rights. Exactly one implementation is linked into each program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Opaque handles. 0 is "none" for every handle type except FileHandle,
// whose failure value is kInvalidFile as with CreateFileW.
using Window = std::uintptr_t;
using Module = std::uintptr_t;
using Icon = std::uintptr_t;
using DeviceContext = std::uintptr_t;
using RegKey = std::uintptr_t;
using FileHandle = std::uintptr_t;
using TextFile = std::uintptr_t;

// ---- Win32 error codes the core looks at -------------------------------
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorNotEnoughMemory = 8;
constexpr long kErrorWriteFault = 29;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorMoreData = 234;

// ---- Registry (HKEY_LOCAL_MACHINE only) --------------------------------
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyRead = 0x20019;
// What the settings store asks for when it wants to write:
// KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | READ_CONTROL.
constexpr std::uint32_t kKeyReadWrite = 0x20007;

// RegCreateKeyExW on HKEY_LOCAL_MACHINE: opens the key at `path`
// (backslash-separated, no leading backslash), creating it when missing.
// Returns a Win32 error code; on success *key holds the open key.
long RegCreateKey(const char16_t* path, std::uint32_t access, RegKey* key);

// RegQueryValueExW. `type`, `data` may be null. *size is the buffer size in
// bytes on entry and the size of the value on return. A buffer too small
// gives kErrorMoreData and leaves the buffer's contents undefined (the
// host leaves it untouched). String data are returned as stored: they need
// not be terminated.
long RegQueryValue(RegKey key, const char16_t* name, std::uint32_t* type, void* data,
                   std::uint32_t* size);

// RegSetValueExW: stores `size` bytes of `data` with `type`.
long RegSetValue(RegKey key, const char16_t* name, std::uint32_t type, const void* data,
                 std::uint32_t size);

long RegFlushKey(RegKey key);
long RegCloseKey(RegKey key);

// ---- Display driver -----------------------------------------------------
// GetDC(GetDesktopWindow()); returns 0 when no context can be had.
DeviceContext AcquireDesktopDC();
// ReleaseDC(GetDesktopWindow(), dc).
void ReleaseDesktopDC(DeviceContext dc);
// ExtEscape: returns the driver's answer (<= 0 for failure or "not offered").
int ExtEscape(DeviceContext dc, int escape, int inSize, const void* in, int outSize, void* out);

// ---- Files ---------------------------------------------------------------
constexpr FileHandle kInvalidFile = ~FileHandle{0};
constexpr std::uint32_t kInvalidFileSize = 0xFFFFFFFFu;

// CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
// FILE_ATTRIBUTE_READONLY, nullptr).
FileHandle OpenExistingFileReadOnly(const char16_t* path);
// GetFileSize (low 32 bits); kInvalidFileSize when not available.
std::uint32_t GetFileSize(FileHandle file);
// ReadFile: reads up to `size` bytes; *bytesRead gets the count.
bool ReadFile(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* bytesRead);
void CloseFile(FileHandle file);

// FindFirstFileW followed at once by FindClose: does anything match `path`?
bool FileExists(const char16_t* path);

// _wfopen(path, L"rt"); 0 when the file cannot be opened.
TextFile OpenTextFile(const char16_t* path);
// fgets: reads at most size - 1 characters, up to and including a line
// end, and terminates them. Text mode: CR LF arrives as LF. False at the
// end of the file or on error (the buffer is then unchanged).
bool ReadTextLine(TextFile file, char* buffer, int size);
// fopen(path, "wt") and fputs: used only by tools that write gamma files.
TextFile CreateTextFile(const char16_t* path);
bool WriteText(TextFile file, const char* text);
void CloseTextFile(TextFile file);

// ---- System --------------------------------------------------------------
// GetWindowsDirectoryW / GetSystemDirectoryW: the length copied (without the
// terminator), or the size needed when `size` is too small, 0 on failure.
std::uint32_t GetWindowsDirectory(char16_t* buffer, std::uint32_t size);
std::uint32_t GetSystemDirectory(char16_t* buffer, std::uint32_t size);
std::uint32_t GetUserDefaultLCID();
void Sleep(std::uint32_t milliseconds);
// setlocale(LC_ALL, ""): false when the C library refuses.
bool SetUserLocale();

constexpr std::uint32_t kCodePageAnsi = 0;       // CP_ACP
constexpr std::uint32_t kMbPrecomposed = 0x1;    // MB_PRECOMPOSED
// MultiByteToWideChar. srcLength -1 means "up to and including the NUL".
// With dstCapacity 0 returns the units needed; otherwise the units
// written, or 0 when they do not fit (ERROR_INSUFFICIENT_BUFFER).
int MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* src,
                        int srcLength, char16_t* dst, int dstCapacity);

// ---- Modules, strings, icons ----------------------------------------------
// GetModuleHandleW / LoadLibraryW: 0 when not found.
Module GetModuleHandle(const char16_t* name);
Module LoadLibrary(const char16_t* name);
// LoadStringW with a buffer: copies at most capacity - 1 units, always
// terminates (capacity > 0), returns the units copied; 0 and an empty text
// when the string is missing.
int LoadString(Module module, std::uint32_t id, char16_t* buffer, int capacity);
// LoadIconW with a resource name.
Icon LoadIcon(Module module, const char16_t* name);

// ---- Messages --------------------------------------------------------------
constexpr std::uint32_t kMbOk = 0x00;
constexpr std::uint32_t kMbIconStop = 0x10;
constexpr std::uint32_t kMbIconExclamation = 0x30;
constexpr std::uint32_t kMbIconInformation = 0x40;
constexpr int kIdOk = 1;

int MessageBox(Window owner, const char16_t* text, const char16_t* caption,
               std::uint32_t type);
void MessageBeep(std::uint32_t type);

constexpr std::uint32_t kFormatAllocateBuffer = 0x100;
constexpr std::uint32_t kFormatFromString = 0x400;
constexpr std::uint32_t kFormatArgumentArray = 0x2000;
constexpr std::uint32_t kFormatMaxWidthMask = 0xFF;
// FormatMessageW with FORMAT_MESSAGE_ALLOCATE_BUFFER: returns a buffer to
// be released with FreeFormattedMessage, or null on failure.
char16_t* FormatMessage(std::uint32_t flags, const char16_t* source,
                        const std::uintptr_t* arguments);
void FreeFormattedMessage(char16_t* text);

// ---- Diagnostics -------------------------------------------------------------
// The timing reader's one-line developer diagnostics (printf to stdout).
void WriteDiagnostic(const char* text);

// ---- Memory --------------------------------------------------------------------
// malloc / free for the counted tables; null when memory runs out.
void* Allocate(std::size_t size);
// The same, zero-filled (calloc: large blocks come zeroed from the system
// and are not written until used).
void* AllocateZeroed(std::size_t size);
void Free(void* block);

// ---- Process ---------------------------------------------------------------------
// Thrown by the host implementation instead of ending the process.
struct ProcessExit {
    int code;
};
[[noreturn]] void ExitProcess(int code);

}  // namespace platform
