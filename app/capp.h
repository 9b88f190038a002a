#pragma once
// Command line and folders: small operating-system services of the program and its tools.
// Standard C++ only.
// Paths are narrow strings in the platform's file-name encoding.

#include <cstdint>
#include <string>
#include <vector>

using TStringList = std::vector<std::string>;

struct TCommandSwitch {
    std::string Name;  // lower case
    std::string Value; // lower case
    bool operator==(const TCommandSwitch &) const = default;
};

struct tAppParam {
    std::string FileName; // the last parameter that is not a switch
    std::vector<TCommandSwitch> Switches;
};

// Prefixes that mark a switch, longest first so "--start" is not read as "-" + "-start".
using TSwitchPrefixes = std::vector<std::string>;
// Windows: "/". Elsewhere a path begins with "/", so switches use "--" and "-".
TSwitchPrefixes NativeSwitchPrefixes();

// Fills CmdLine from the program parameters (without the program name). A parameter that
// begins with a prefix is a switch "name[:value]", lower-cased (A-Z only); any other,
// an empty one included, replaces FileName.
void ParseCommandLine(tAppParam &CmdLine, const std::vector<std::string> &Params,
                      const TSwitchPrefixes &Prefixes);
// The same over main()'s arguments with the native prefixes.
void ParseCommandLine(tAppParam &CmdLine, int Argc, const char *const *Argv);
int32_t IndexOfSwitch(const tAppParam &CmdLine, const std::string &Name);

#ifdef _WIN32
constexpr char NativeSeparator = '\\';
#else
constexpr char NativeSeparator = '/';
#endif

// Adds or removes one trailing separator; an empty path stays empty, and a root made of
// the separator alone keeps it.
std::string SetTrailingBackslash(const std::string &Path, bool Include,
                                 char Separator = NativeSeparator);

// The system's folder for files shared by programs of several makers; empty when unknown.
// Outside Windows it is /usr/local/lib unless CHRONARK_COMMON_FILES_DIR says otherwise.
std::string GetCommonFilesDir();
// GetCommonFilesDir + "Velmoor Software": where the maker installs its shared libraries.
std::string GetMakerFilesDir();
inline constexpr char MakerName[] = "Velmoor Software";

// Appends the sub-folders of Path (names beginning with "." skipped) in enumeration order:
// the names alone, or Path with a trailing separator followed by the name.
void ListSubFolders(const std::string &Path, TStringList &List, bool NamesOnly);
