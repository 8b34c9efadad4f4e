// Helpers shared by vcatool's commands.
#pragma once

#include <cstdint>
#include <string>

namespace CLI {
class App;
}

namespace vcatool {

// Where a command's timing database comes from: a file (--db), or none at
// all (--no-db: the applet's "revid.dat missing" path). One of the two.
struct DatabaseChoice {
    std::string file;
    bool none = false;
};
void AddDatabaseOptions(CLI::App* command, DatabaseChoice* choice);
// False (with a message on standard error) when neither was given.
bool DatabaseChosen(const DatabaseChoice& choice, const char* command);

// Loads a board profile and makes it the board that answers; prints why not
// on standard error.
bool InstallBoardProfile(const std::string& path);

// A string of the loaded resource library.
std::u16string ResourceText(std::uint32_t id);

// UTF-16 to UTF-8 for printing.
std::string Narrow(const std::u16string& text);

// A temporary folder mapped as drive C: with FILE installed as the system
// directory's revid.dat; removed again when the object goes.
class DatabaseDrive {
public:
    DatabaseDrive() = default;
    ~DatabaseDrive();
    DatabaseDrive(const DatabaseDrive&) = delete;
    DatabaseDrive& operator=(const DatabaseDrive&) = delete;
    // False (with the reason on standard error) when FILE cannot be copied.
    bool Install(const std::string& databaseFile);

private:
    std::string root_;
};

// Imports an exported .reg file into the emulated registry; prints why not.
bool ImportRegistry(const std::string& path);

// The emulated driver key, where the applet keeps its settings.
extern const char16_t* const kDriverKey;

}  // namespace vcatool

namespace vcatool {

// The whole file, as the applet loads a timing database; false when it
// cannot be read.
bool ReadWholeFile(const std::string& path, std::string* text);

}  // namespace vcatool
