// Control surface of the host (Linux) platform: what tests and vcatool use
// to set up the emulated machine and to look at what the core did to it.
// Nothing here exists in the Win32 build.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace host {

// Returns the whole emulated machine to its start state: empty registry,
// no faults armed, LCID 1033, only the US English resource library present,
// Windows folder "C:\WINDOWS" with the C: drive mapped to no folder (every
// file is missing), no board, empty records. Tests call it first.
void Reset();

// ---- Registry ------------------------------------------------------------
struct RegValue {
    std::u16string name;
    std::uint32_t type = platform::kRegNone;
    std::vector<std::uint8_t> data;
};

// One RegSetValue call, whether it succeeded or not.
struct RegWrite {
    std::u16string key;    // the key's path as it was opened
    std::u16string name;
    std::uint32_t type = platform::kRegNone;
    std::vector<std::uint8_t> data;
    long result = platform::kErrorSuccess;
};

void ClearRegistry();
// Sets a value directly (no journal entry, no fault injection); creates the key.
void PutValue(const std::u16string& keyPath, const std::u16string& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data);
void PutDword(const std::u16string& keyPath, const std::u16string& name, std::uint32_t value);
void PutString(const std::u16string& keyPath, const std::u16string& name,
               const std::u16string& text, std::uint32_t type = platform::kRegSz);
void DeleteValue(const std::u16string& keyPath, const std::u16string& name);
// Reads a value directly; false when the key or the value does not exist.
bool GetValue(const std::u16string& keyPath, const std::u16string& name, RegValue* value);
bool KeyExists(const std::u16string& keyPath);
// The values of one key, in the order they were first set.
std::vector<RegValue> KeyValues(const std::u16string& keyPath);

// Imports a REGEDIT5 text ("Windows Registry Editor Version 5.00") as
// regedit exports it: [HKEY_LOCAL_MACHINE\...] sections, "name"=dword:,
// "name"="text", hex:, hex(2):, hex(7):, hex(N):, "@", line continuation
// with a trailing backslash, [-key] and "name"=- deletions. The text may be
// UTF-8 or UTF-16LE with a byte-order mark. On failure *error says where.
bool ImportRegText(const std::string& bytes, std::string* error);
bool ImportRegFile(const std::string& hostPath, std::string* error);
// Exports a key and its subkeys as REGEDIT5 text (UTF-8, CR LF line ends).
std::string ExportRegText(const std::u16string& keyPath);
bool ExportRegFile(const std::u16string& keyPath, const std::string& hostPath,
                   std::string* error);

// A read-only key opens only when no write right (KEY_SET_VALUE,
// KEY_CREATE_SUB_KEY) is asked for; otherwise kErrorAccessDenied.
void SetKeyReadOnly(const std::u16string& keyPath, bool readOnly);
// An unopenable key refuses every open with kErrorAccessDenied.
void SetKeyUnopenable(const std::u16string& keyPath, bool unopenable);
// The n-th RegSetValue from now (1 = the next one) fails with
// kErrorWriteFault and changes nothing; 0 disarms.
void FailNthRegistryWrite(int n);
// Every RegSetValue since the last Reset or ClearRegistryJournal.
const std::vector<RegWrite>& RegistryJournal();
void ClearRegistryJournal();
// Keys opened and not yet closed.
int OpenKeyCount();

// ---- Display -----------------------------------------------------------------
// Desktop DCs acquired and released since Reset; every path must pair them.
int DcAcquireCount();
int DcReleaseCount();
// Escapes go to the board simulator's loaded profile (boardsim::Load...);
// with none loaded every escape answers 0.

// ---- Files and folders ------------------------------------------------------
// Maps the C: drive to a host folder: "C:\WINDOWS\system32\revid.dat" is
// read from <folder>/WINDOWS/system32/revid.dat (components matched without
// regard to case when the exact name is missing). Paths starting with "\"
// are on C: too.
void MapDriveC(const std::string& hostFolder);
// Files held in memory for the C: drive, by Windows path on it
// ("C:\WINDOWS\system32\revid.dat", or from "\"; components matched
// without regard to case, as on a mapped folder). Its folders are the
// files' parents.
class MemoryDrive {
public:
    void AddFile(const std::u16string& path, std::string bytes);
    // The bytes of a file, or null; whether a file or folder exists.
    const std::string* Find(const std::u16string& path) const;
    bool Exists(const std::u16string& path) const;

private:
    std::map<std::string, std::string> files_;  // by folded path
};
// Maps the C: drive to a memory drive instead of a folder, until Reset or
// MapDriveC: files read from it never touch the host's disk, and files
// cannot be created on it. The drive is shared, not copied, so mapping the
// same one again costs nothing.
void MapDriveCInMemory(std::shared_ptr<const MemoryDrive> drive);
// The Windows directory as the platform reports it (default "C:\WINDOWS").
void SetWindowsDirectory(const std::u16string& path);
// Host path for a Windows path; empty when the drive is not mapped to a folder.
std::string HostPathFor(const std::u16string& windowsPath);
// Fault injection on the file functions.
void FailFileOpen(bool fail);
void FailFileSize(bool fail);

// ---- System -------------------------------------------------------------------
void SetUserLcid(std::uint32_t lcid);
void FailSetLocale(bool fail);
// Sleep does not wait on the host; it adds up here.
std::uint32_t SleptMilliseconds();

// ---- Modules and strings -------------------------------------------------------
// Which resource libraries "vcaXXXX" exist, by language identifier.
void SetResourceLanguages(const std::vector<std::uint16_t>& languages);
// Every library name LoadLibrary was asked for, in order.
const std::vector<std::u16string>& LibraryLoadAttempts();
// Every path FileExists was asked about, in order.
const std::vector<std::u16string>& FileSearches();
// Replaces (or adds) one string of a resource library's table, or of the
// applet's own table with language 0.
void OverrideString(std::uint16_t language, std::uint32_t id, const std::u16string& text);
// The module handle LoadLibrary returns for language L's library, and the
// one GetModuleHandle returns for the applet itself.
platform::Module ResourceModuleFor(std::uint16_t language);
platform::Module AppletModule();
// The language of a resource module handle, or -1 when it is not one.
int LanguageOfModule(platform::Module module);
// The handle LoadIcon returns for "MONITR01" of a resource library.
platform::Icon IconFor(platform::Module module);

// ---- Messages ------------------------------------------------------------------
struct MessageBoxRecord {
    platform::Window owner = 0;
    std::u16string text;
    std::u16string caption;
    std::uint32_t type = 0;
};
const std::vector<MessageBoxRecord>& MessageBoxes();
// Answers for the next boxes, in order; when they run out boxes answer IDOK.
void ScriptMessageBoxAnswers(const std::vector<int>& answers);
const std::vector<std::uint32_t>& Beeps();

// ---- Diagnostics --------------------------------------------------------------
// Everything written through platform::WriteDiagnostic since Reset.
const std::string& Diagnostics();
// Also copy diagnostics to standard output as they are written (vcatool).
void EchoDiagnostics(bool echo);

// ---- Memory --------------------------------------------------------------------
// The n-th Allocate from now (1 = the next one) returns null; 0 disarms.
void FailNthAllocation(int n);
// Allocations since Reset, and blocks allocated and not yet freed.
int AllocationCount();
int OutstandingAllocations();

// ---- Conversions for tests and tools --------------------------------------------
std::u16string FromUtf8(const std::string& text);
std::string ToUtf8(const std::u16string& text);

}  // namespace host
