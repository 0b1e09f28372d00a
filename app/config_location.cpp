#include "config_location.h"

#include <cctype>

const char kUsageText[] =
    "kvMidi[.exe] [{-a|--alternate-appdata} IniFileDirectory] [{-i|--alternate-ini} IniFile.ini] "
    "[{-p|--profile} ProfileName]";

namespace {
const char kConfigFolder[] = "cfg\\";
const char kIniFileName[] = "kvMidi.ini";

enum class Option { None, AppData, Ini, Profile };

struct OptionWord {
    std::string_view word;
    Option option;
};

// Each word with its one following blank, in the order they are tried.
constexpr OptionWord kOptionWords[] = {
    { "-a ", Option::AppData }, { "--alternate-appdata ", Option::AppData },
    { "-i ", Option::Ini },     { "--alternate-ini ", Option::Ini },
    { "-p ", Option::Profile }, { "--profile ", Option::Profile },
};

bool IsWhiteSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool FitsPathLimit(const std::string& path) { return path.size() < kMaxPathBuffer; }

bool ApplyAppData(std::string_view word, ConfigLocation& location, const CreateDirectories& create)
{
    std::string dataDir = word.find('\\') != std::string_view::npos ? std::string(word)
                                                                     : location.baseDir + std::string(word);
    dataDir = WithTrailingBackslash(std::move(dataDir));
    if (!FitsPathLimit(dataDir + kConfigFolder + kIniFileName))
        return false;
    location.dataDir = std::move(dataDir);
    UseDataDirectory(location, create);
    return true;
}

bool ApplyIni(std::string_view word, ConfigLocation& location)
{
    std::string iniFile = word.find('\\') != std::string_view::npos ? std::string(word)
                                                                    : location.configDir + std::string(word);
    if (!FitsPathLimit(iniFile))
        return false;
    location.iniFile = std::move(iniFile);
    return true;
}
}

std::string WithTrailingBackslash(std::string path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

std::string DirectoryOfPath(std::string_view fullPath)
{
    size_t separator = fullPath.find_last_of("\\/");
    if (separator != std::string_view::npos)
        return std::string(fullPath.substr(0, separator + 1));
    if (fullPath.size() >= 2 && fullPath[1] == ':')
        return std::string(fullPath.substr(0, 2));
    return std::string();
}

std::vector<std::string> FoldersAlongPath(std::string_view path)
{
    std::vector<std::string> folders;
    if (path.size() >= kMaxPathBuffer)
        return folders;
    for (size_t cut = path.find('\\'), start = 0; cut != std::string_view::npos;
         start = cut + 1, cut = path.find('\\', start)) {
        bool isDrive = cut == 2 && path[1] == ':';
        if (cut > start && !isDrive)
            folders.emplace_back(path.substr(0, cut));
    }
    return folders;
}

void UseDataDirectory(ConfigLocation& location, const CreateDirectories& create)
{
    location.configDir = location.dataDir + kConfigFolder;
    create(location.configDir);
    location.iniFile = location.configDir + kIniFileName;
}

void ApplyCommandLine(std::string_view text, ConfigLocation& location, const CreateDirectories& create)
{
    for (;;) {
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        if (text.empty())
            return;

        Option option = Option::None;
        for (const OptionWord& candidate : kOptionWords) {
            if (text.substr(0, candidate.word.size()) == candidate.word) {
                option = candidate.option;
                text.remove_prefix(candidate.word.size());
                break;
            }
        }
        if (option == Option::None)
            return;

        while (!text.empty() && IsWhiteSpace(text.front()))
            text.remove_prefix(1);
        size_t length = 0;
        while (length < text.size() && !IsWhiteSpace(text[length]))
            ++length;
        if (length == 0 || length > kMaxArgumentLength)
            return;
        std::string_view word = text.substr(0, length);
        text.remove_prefix(length);

        switch (option) {
        case Option::AppData:
            if (!ApplyAppData(word, location, create))
                return;
            break;
        case Option::Ini:
            if (!ApplyIni(word, location))
                return;
            break;
        case Option::Profile:
            location.startProfile = std::string(word);
            break;
        case Option::None:
            return;
        }
    }
}
