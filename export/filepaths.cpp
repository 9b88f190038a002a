#include "export/filepaths.h"

bool IsPathDelimiter(char C) {
#ifdef _WIN32
    return C == '\\' || C == '/' || C == ':';
#else
    return C == '/';
#endif
}

size_t NameStart(const std::string &Path) {
    size_t i = Path.size();
    while (i > 0 && !IsPathDelimiter(Path[i - 1]))
        --i;
    return i;
}

std::string ExtractFileName(const std::string &Path) {
    return Path.substr(NameStart(Path));
}

std::string ExtractFileExt(const std::string &Path) {
    const size_t dot = Path.rfind('.');
    return dot == std::string::npos || dot < NameStart(Path) ? std::string() : Path.substr(dot);
}

std::string ChangeFileExt(const std::string &Path, const std::string &Ext) {
    const size_t dot = Path.rfind('.');
    if (dot == std::string::npos || dot < NameStart(Path))
        return Path + Ext;
    return Path.substr(0, dot) + Ext;
}
