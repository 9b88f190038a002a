// export.ini as the Windows profile functions read it.
#include "export/inifile.h"

#include <gtest/gtest.h>

TEST(IniFile, SectionsKeysAndValuesAsWindowsReadsThem) {
    const TIniFile ini("; a comment\r\n"
                       "[CSV]\r\n"
                       "  Filter =  csv;txt \t\r\n"
                       "SepChars=Semikolon,;|Komma,,|Raute,#\n"
                       "filter=second wins not\r"
                       "Quoted=\"  a b  \"\n"
                       "Half=\"open\n"
                       "# not a comment=x\n"
                       "no equals sign\n"
                       "[ html ]\n"
                       "Path=Web\n"
                       "[csv]\n"
                       "Extra=ignored: the first CSV section counts\n");
    EXPECT_EQ(ini.Sections(), (TStringArray{"CSV", "html"}));
    struct TRow {
        const char *Name, *Section, *Key, *Value;
    } rows[] = {
        {"blanks around key and value go", "CSV", "FILTER", "csv;txt"},
        {"first of two keys counts", "csv", "Filter", "csv;txt"},
        {"commas and # stay", "CSV", "sepchars", "Semikolon,;|Komma,,|Raute,#"},
        {"matching quotes go", "CSV", "Quoted", "  a b  "},
        {"a lone quote stays", "CSV", "Half", "\"open"},
        {"# starts no comment", "CSV", "# not a comment", "x"},
        {"section name trimmed", "HTML", "path", "Web"},
        {"second section of a name unread", "CSV", "Extra", "<none>"},
        {"missing section", "XML", "Path", "<none>"},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(ini.ReadString(r.Section, r.Key, "<none>"), r.Value);
    }
}

TEST(IniFile, IntegersAreNumbersOnly) {
    const TIniFile ini("[P]\nOne=1\nZero=0\nWord=true\nHex=$1F\nHex2=0x10\nNeg=-3\n"
                       "Big=99999999999\nEmpty=\nSpace=1 2\n");
    struct TRow {
        const char *Key;
        int32_t Value;
    } rows[] = {{"One", 1},  {"Zero", 0}, {"Word", 7},  {"Hex", 31},  {"Hex2", 16},
                {"Neg", -3}, {"Big", 7},  {"Empty", 7}, {"Space", 7}, {"Missing", 7}};
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Key);
        EXPECT_EQ(ini.ReadInteger("P", r.Key, 7), r.Value);
    }
}
