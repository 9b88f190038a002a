#pragma once
// The version feed and its verdict. A feed is plain text (UTF-8), one entry a line:
//   chronark=1.4.0
//   chronark.download=https://...
// Keys are compared without regard to A-Z case; blank lines and lines starting with "#" are
// skipped. Standard C++ only.

#include <string>

struct TFeedEntry {
    std::string Version;
    std::string Download; // may be empty
};

// False when the feed names no version for Product.
bool FindProductInFeed(const std::string &FeedText, const std::string &Product, TFeedEntry &Entry);

// The dotted numbers at the start of a version text ("1.3 Beta 2" -> "1.3"); empty if none.
std::string NumericVersion(const std::string &Text);
// Compares numerically over as many parts as the longer version has, missing parts being 0;
// at equal numbers a text with a suffix ("1.3 Beta 2") is older than one without ("1.3").
// Throws EConvertError (base/version.h) when either text has no numeric start.
int CompareVersionTexts(const std::string &A, const std::string &B);

enum class TVersionVerdict {
    NoFeed,           // nothing configured: not checked
    FeedUnreadable,   // offline, missing file, server error: not checked
    ProductMissing,   // the feed does not know the product: not checked
    InvalidVersion,   // a version text is not a version number: not checked
    InstalledUnknown, // the newest version is known, the installed one is not
    NewerAvailable,
    UpToDate,
};

struct TVersionCheck {
    TVersionVerdict Verdict = TVersionVerdict::NoFeed;
    std::string Installed;
    std::string Newest;
    std::string Download;
};

TVersionCheck EvaluateFeed(const std::string &Installed, const std::string &Product,
                           const std::string &FeedText);

// The verdict as the dialog shows it (German, UTF-8). Detail says why a feed was unreadable.
std::string VerdictText(const TVersionCheck &Check, const std::string &Product,
                        const std::string &Detail = std::string());

// The product as people read it: "chronark" -> "Chronark" (first letter A-Z upper case).
std::string ProductDisplayName(const std::string &Product);
// One line saying what the check reads: the address below and the form of its lines.
std::string FeedFormatHint(const std::string &Product);
