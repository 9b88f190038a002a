#pragma once
// File names as the export builds and shows them: the parts of a path and its extension.

#include <string>

#ifdef _WIN32
inline constexpr char PathDelimiter = '\\';
#else
inline constexpr char PathDelimiter = '/';
#endif
// '/' (on Windows also '\' and the drive's ':') ends a folder part.
bool IsPathDelimiter(char C);

// Where the file name part of Path begins (after its last delimiter).
size_t NameStart(const std::string &Path);
std::string ExtractFileName(const std::string &Path);
// From the last '.' of the file name part, or empty.
std::string ExtractFileExt(const std::string &Path);
// Ext in place of the extension, or appended where there is none.
std::string ChangeFileExt(const std::string &Path, const std::string &Ext);
