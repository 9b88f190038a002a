#include "base/version.h"
#include "plugins/revwatch/versionfeed.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionFeed, FindsTheProductsLines) {
    const std::string feed = "# Versionen\r\n"
                             "andere=9.9\r\n"
                             "  Chronark = 1.4.2 \r\n"
                             "chronark.download=https://example.org/chronark\r\n"
                             "kaputt\r\n";
    TFeedEntry entry;
    ASSERT_TRUE(FindProductInFeed(feed, "chronark", entry));
    EXPECT_EQ(entry.Version, "1.4.2");
    EXPECT_EQ(entry.Download, "https://example.org/chronark");

    TFeedEntry none;
    EXPECT_FALSE(FindProductInFeed(feed, "fehlt", none));
    EXPECT_FALSE(FindProductInFeed("chronark=\n", "chronark", none));
    EXPECT_FALSE(FindProductInFeed("#chronark=1.0\n", "chronark", none));
    EXPECT_FALSE(FindProductInFeed("", "chronark", none));
}

TEST(VersionFeed, NumericVersion) {
    const std::pair<const char *, const char *> cases[] = {
        {"1.3 Beta 2", "1.3"}, {" 2.0.1 ", "2.0.1"}, {"1.", "1"},  {"1..2", "1"},
        {"Beta", ""},          {".5", ""},           {"10", "10"},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(NumericVersion(text), expected) << text;
}

TEST(VersionFeed, CompareVersionTexts) {
    struct Case {
        const char *A, *B;
        int Expected;
    } cases[] = {
        {"1.3", "1.4", -1},        {"1.3", "1.3.0", 0},        {"1.3.1", "1.3", 1},
        {"1.3 Beta 2", "1.3", -1}, {"1.3", "1.3 Beta 2", 1},   {"1.3 Beta 2", "1.3 Beta 3", 0},
        {"1.10", "1.9", 1},        {"1.3 Beta 2", "1.2.9", 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CompareVersionTexts(c.A, c.B), c.Expected) << c.A << " vs " << c.B;
    EXPECT_THROW(CompareVersionTexts("Beta", "1.0"), EConvertError);
}

TEST(VersionFeed, Verdicts) {
    struct Case {
        const char *Name;
        const char *Installed;
        const char *Feed;
        TVersionVerdict Expected;
    } cases[] = {
        {"newer", "1.3 Beta 2", "chronark=1.3", TVersionVerdict::NewerAvailable},
        {"same", "1.3", "chronark=1.3", TVersionVerdict::UpToDate},
        {"installed is newer", "1.5", "chronark=1.4.9", TVersionVerdict::UpToDate},
        {"feed knows other programs only", "1.3", "andere=2.0", TVersionVerdict::ProductMissing},
        {"empty feed", "1.3", "", TVersionVerdict::ProductMissing},
        {"feed version is text", "1.3", "chronark=neu", TVersionVerdict::InvalidVersion},
        {"installed version is text", "unbekannt", "chronark=1.3", TVersionVerdict::InvalidVersion},
        {"installed unknown", "", "chronark=1.3", TVersionVerdict::InstalledUnknown},
    };
    for (const Case &c : cases) {
        const TVersionCheck check = EvaluateFeed(c.Installed, "chronark", c.Feed);
        EXPECT_EQ(check.Verdict, c.Expected) << c.Name;
    }
}

TEST(VersionFeed, ASystemsErrorTextDoesNotDoubleThePunctuation) {
    TVersionCheck check;
    check.Verdict = TVersionVerdict::FeedUnreadable;
    const std::string text = VerdictText(
        check, "chronark", "Netzwerkfehler aufgetreten.: Der Name wurde nicht gefunden.");
    EXPECT_EQ(text.find(".:"), std::string::npos) << text;
    EXPECT_EQ(text.find(".)"), std::string::npos) << text;
    EXPECT_NE(text.find("(Netzwerkfehler aufgetreten: Der Name wurde nicht gefunden)."),
              std::string::npos)
        << text;
}

TEST(VersionFeed, OnlyACheckedVersionIsCalledNewest) {
    const std::string upToDate = "Sie verwenden die neueste Version.";
    for (TVersionVerdict v : {TVersionVerdict::NoFeed, TVersionVerdict::FeedUnreadable,
                              TVersionVerdict::ProductMissing, TVersionVerdict::InvalidVersion,
                              TVersionVerdict::InstalledUnknown, TVersionVerdict::NewerAvailable}) {
        TVersionCheck check;
        check.Verdict = v;
        check.Newest = "1.4";
        const std::string text = VerdictText(check, "chronark", "keine Verbindung");
        EXPECT_NE(text, upToDate) << text;
        EXPECT_EQ(text.find("neueste Version."), std::string::npos) << text;
    }
    TVersionCheck checked;
    checked.Verdict = TVersionVerdict::UpToDate;
    EXPECT_EQ(VerdictText(checked, "chronark"), upToDate);
}

TEST(VersionFeed, UncheckedTextsSaySo) {
    TVersionCheck check;
    check.Verdict = TVersionVerdict::FeedUnreadable;
    EXPECT_EQ(VerdictText(check, "chronark", "Verbindung abgelehnt"),
              "Die Versionsquelle konnte nicht gelesen werden (Verbindung abgelehnt). Ob es "
              "eine neuere Version gibt, wurde nicht gepr\u00fcft.");
    check.Verdict = TVersionVerdict::NoFeed;
    EXPECT_EQ(VerdictText(check, "chronark"),
              "Es ist keine Versionsquelle eingestellt. Ob es eine neuere Version gibt, wurde "
              "nicht gepr\u00fcft.");
}

} // namespace

TEST(VersionFeed, ProductNameAndFeedHint) {
    EXPECT_EQ(ProductDisplayName("chronark"), "Chronark");
    EXPECT_EQ(ProductDisplayName("Chronark"), "Chronark");
    EXPECT_EQ(ProductDisplayName("1tool"), "1tool");
    EXPECT_EQ(ProductDisplayName(""), "");
    // The hint shows a line of the feed for this very product.
    EXPECT_NE(FeedFormatHint("chronark").find("chronark=1.4"), std::string::npos);
    EXPECT_NE(FeedFormatHint("andere").find("andere=1.4"), std::string::npos);
}
