#include "app/capp.h"

#include "base/cstring.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

TSwitchPrefixes NativeSwitchPrefixes() {
#ifdef _WIN32
    return {"/"};
#else
    return {"--", "-"};
#endif
}

void ParseCommandLine(tAppParam &CmdLine, const std::vector<std::string> &Params,
                      const TSwitchPrefixes &Prefixes) {
    for (const std::string &param : Params) {
        const std::string *prefix = nullptr;
        for (const std::string &p : Prefixes) {
            if (!p.empty() && param.compare(0, p.size(), p) == 0) {
                prefix = &p;
                break;
            }
        }
        if (!prefix) {
            CmdLine.FileName = param;
            continue;
        }
        const std::string rest = LowerCase(param.substr(prefix->size()));
        const size_t colon = rest.find(':');
        if (colon == std::string::npos)
            CmdLine.Switches.push_back({rest, std::string()});
        else
            CmdLine.Switches.push_back({rest.substr(0, colon), rest.substr(colon + 1)});
    }
}

void ParseCommandLine(tAppParam &CmdLine, int Argc, const char *const *Argv) {
    std::vector<std::string> params;
    for (int i = 1; i < Argc; ++i)
        params.emplace_back(Argv[i]);
    ParseCommandLine(CmdLine, params, NativeSwitchPrefixes());
}

int32_t IndexOfSwitch(const tAppParam &CmdLine, const std::string &Name) {
    for (size_t i = 0; i < CmdLine.Switches.size(); ++i) {
        if (CmdLine.Switches[i].Name == Name)
            return static_cast<int32_t>(i);
    }
    return -1;
}

std::string SetTrailingBackslash(const std::string &Path, bool Include, char Separator) {
    if (Path.empty())
        return Path;
    const bool has = Path.back() == Separator;
    if (Include && !has)
        return Path + Separator;
    // Stripping the root "/" would turn it into the current directory.
    if (!Include && has && Path.size() > 1)
        return Path.substr(0, Path.size() - 1);
    return Path;
}

std::string GetCommonFilesDir() {
#ifdef _WIN32
    char buffer[MAX_PATH * 2];
    DWORD size = sizeof(buffer);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                     "CommonFilesDir", RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::string();
    return std::string(buffer);
#else
    if (const char *dir = std::getenv("CHRONARK_COMMON_FILES_DIR"))
        return dir;
    return "/usr/local/lib";
#endif
}

std::string GetMakerFilesDir() {
    return SetTrailingBackslash(GetCommonFilesDir(), true) + MakerName;
}

void ListSubFolders(const std::string &Path, TStringList &List, bool NamesOnly) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(fs::path(Path), ec);
    if (ec)
        return;
    const std::string prefix = SetTrailingBackslash(Path, true);
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code typeError;
        if (!it->is_directory(typeError))
            continue;
        List.push_back(NamesOnly ? name : prefix + name);
    }
}
