// The placeholder table of the template handlers: every name it lists for a template file is
// replaced there, in any letter case and at each place it stands.
#include "base/dates.h"
#include "base/formatsettings.h"
#include "export/placeholders.h"
#include "export/templates.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string UpperCase(std::string S) {
    for (char &c : S)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - ('a' - 'A'));
    return S;
}

// Every name a template file replaces, the escaping variants of text placeholders included.
std::vector<std::string> NamesOf(TTemplateKind Kind) {
    std::vector<std::string> names;
    for (const TPlaceholderName &p : TemplatePlaceholders(Kind)) {
        names.push_back(p.Name);
        if (p.Text)
            for (const TEscapeSuffix &suffix : EscapeSuffixes)
                names.push_back(p.Name.substr(0, p.Name.size() - 1) + suffix.Suffix + "$");
    }
    return names;
}

TEST(TemplatePlaceholders, NamesArePlainLowerCaseAndOncePerFile) {
    for (size_t k = 0; k < TemplateKinds; ++k) {
        SCOPED_TRACE(TemplateNames[k]);
        const auto placeholders = TemplatePlaceholders(static_cast<TTemplateKind>(k));
        EXPECT_FALSE(placeholders.empty());
        std::set<std::string> seen;
        for (const TPlaceholderName &p : placeholders) {
            EXPECT_TRUE(seen.insert(p.Name).second) << p.Name << " twice";
            ASSERT_GE(p.Name.size(), 3u);
            EXPECT_EQ(p.Name.front(), '$');
            EXPECT_EQ(p.Name.back(), '$');
            EXPECT_EQ(p.Name.find('$', 1), p.Name.size() - 1) << p.Name;
            for (char c : p.Name)
                EXPECT_FALSE(c >= 'A' && c <= 'Z') << p.Name;
        }
    }
}

TEST(TemplatePlaceholders, EveryListedNameIsReplacedWhereverItStands) {
    SetFormatSettings(GermanFormatSettings());
    const fs::path dir =
        fs::temp_directory_path() / ("chronark_table_" + std::to_string(::getpid()));
    TChronarkMan doc;
    TCKProjectItem *project = doc.Root->AddProject("Projekt");
    project->AddTime(
        {EncodeDateTime(2002, 8, 7, 9, 0, 0), EncodeDateTime(2002, 8, 7, 10, 30, 5), "Notiz", {}});
    project->AddTime(
        {EncodeDateTime(2002, 8, 8, 9, 0, 0), EncodeDateTime(2002, 8, 8, 9, 1, 0), "Zweite", {}});
    for (size_t k = 0; k < TemplateKinds; ++k) {
        const auto kind = static_cast<TTemplateKind>(k);
        SCOPED_TRACE(TemplateNames[k]);
        fs::remove_all(dir);
        fs::create_directories(dir);
        // Per name a line with it alone (upper case) and one with it twice (lower case).
        const std::vector<std::string> names = NamesOf(kind);
        std::string text;
        for (const std::string &name : names)
            text += "<" + UpperCase(name) + ">\r\n<" + name + "|" + name + ">\r\n";
        std::ofstream(dir / TemplateNames[k], std::ios::binary) << text;

        TLineOutput out;
        std::string reason;
        ASSERT_TRUE(WalkTemplates(dir.string() + "/", {"/out/Bericht.csv", ';'}, 1 << 20, doc,
                                  {project}, out, reason))
            << reason;
        ASSERT_GE(out.Lines.size(), 2 * names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            SCOPED_TRACE(names[i]);
            const std::string &alone = out.Lines[2 * i];
            const std::string &twice = out.Lines[2 * i + 1];
            EXPECT_EQ(alone.find('$'), std::string::npos) << alone;
            ASSERT_GE(alone.size(), 3u) << "a value in place of the name";
            ASSERT_EQ(alone.front(), '<');
            ASSERT_EQ(alone.back(), '>');
            const std::string value = alone.substr(1, alone.size() - 2);
            EXPECT_EQ(twice, "<" + value + "|" + value + ">");
        }
    }
    fs::remove_all(dir);
}

} // namespace
