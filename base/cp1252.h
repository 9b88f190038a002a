#pragma once
// 8-bit text: the program's texts are Windows-1252 bytes in std::string.

#include <string>

// Windows-1252 <-> UTF-16. 16->8 maps 0..255 to the same byte, the other Windows-1252
// characters to their bytes and anything else to '?'.
std::u16string Cp1252ToUtf16(const std::string &S);
std::string Utf16ToCp1252(const std::u16string &S);
std::string Cp1252ToUtf8(const std::string &S);
std::string Utf8ToCp1252(const std::string &S);
// A file name as the system spells it in bytes (UTF-8 here, the ANSI code page on Windows) as
// the document's Windows-1252 text ('?' for what the code page lacks), and the other way.
std::string FileNameToText(const std::string &FileName);
std::string TextToFileName(const std::string &Text);
char16_t Cp1252CharToUtf16(unsigned char C);
