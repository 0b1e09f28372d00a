// Where the configuration lives, and the command line that may move it. Pure text work: the
// caller supplies the directory creation.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The system's path limit, terminator included.
constexpr std::size_t kMaxPathBuffer = 260;
// The longest argument word the command line accepts.
constexpr std::size_t kMaxArgumentLength = 255;

struct ConfigLocation {
    std::string baseDir;       // relative -a arguments are taken inside it; ends with "\"
    std::string dataDir;       // ends with "\"
    std::string configDir;     // dataDir + "cfg\"
    std::string iniFile;       // configDir + "kvMidi.ini", or what -i says
    std::string startProfile;  // -p, empty if none
};

using CreateDirectories = std::function<void(const std::string& path)>;

// Appends "\" unless the text already ends with one.
std::string WithTrailingBackslash(std::string path);

// Drive and directory of a full path, ending with its last separator ("C:\kv\" of
// "C:\kv\kvMidi.exe").
std::string DirectoryOfPath(std::string_view fullPath);

// The folders along a path that ends with "\" that must exist for it, outermost first: each
// text before a backslash, the first one too when the path is relative ("Sub" of "Sub\Dir\"),
// but never a drive ("C:") or the root. The text after the last backslash is no folder. None
// when the path does not fit the system's limit: a cut path is never made.
std::vector<std::string> FoldersAlongPath(std::string_view path);

// Sets configDir and iniFile from dataDir and creates configDir.
void UseDataDirectory(ConfigLocation& location, const CreateDirectories& create);

// Applies the options of the command line from the left. Parsing ends silently at the first
// thing that is not an option with its argument; options already applied keep their effect.
// A word longer than 255 characters, or an option whose resulting path would not fit the
// system's limit, also ends the parsing and changes nothing: a cut path is never used.
void ApplyCommandLine(std::string_view commandLine, ConfigLocation& location, const CreateDirectories& create);

// The usage text shown by "Command-line arguments...".
extern const char kUsageText[];
