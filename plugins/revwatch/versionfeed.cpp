#include "plugins/revwatch/versionfeed.h"

#include "base/version.h"
#include "base/cstring.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

int PartCount(const std::string &Version) {
    return 1 + static_cast<int>(std::count(Version.begin(), Version.end(), '.'));
}

std::string Padded(std::string Version, int Parts) {
    for (int n = PartCount(Version); n < Parts; ++n)
        Version += ".0";
    return Version;
}

} // namespace

bool FindProductInFeed(const std::string &FeedText, const std::string &Product, TFeedEntry &Entry) {
    const std::string product = LowerCase(Product);
    const std::string downloadKey = product + ".download";
    bool found = false;
    std::istringstream lines(FeedText);
    std::string line;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = LowerCase(Trim(line.substr(0, eq)));
        const std::string value = Trim(line.substr(eq + 1));
        if (key == product && !value.empty()) {
            Entry.Version = value;
            found = true;
        } else if (key == downloadKey) {
            Entry.Download = value;
        }
    }
    return found;
}

std::string NumericVersion(const std::string &Text) {
    const std::string text = Trim(Text);
    size_t end = 0;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) ||
                                 (text[end] == '.' && end > 0 && text[end - 1] != '.')))
        ++end;
    while (end > 0 && text[end - 1] == '.')
        --end;
    return text.substr(0, end);
}

int CompareVersionTexts(const std::string &A, const std::string &B) {
    const std::string a = NumericVersion(A);
    const std::string b = NumericVersion(B);
    if (a.empty() || b.empty())
        throw EConvertError("'" + (a.empty() ? A : B) + "' ist keine Versionsnummer");
    const int parts = std::max(PartCount(a), PartCount(b));
    const int result = CompareVersions(Padded(a, parts), Padded(b, parts), parts);
    if (result != 0)
        return result;
    const bool aSuffix = Trim(A).size() > a.size();
    const bool bSuffix = Trim(B).size() > b.size();
    if (aSuffix == bSuffix)
        return 0;
    return aSuffix ? -1 : 1;
}

TVersionCheck EvaluateFeed(const std::string &Installed, const std::string &Product,
                           const std::string &FeedText) {
    TVersionCheck check;
    check.Installed = Trim(Installed);
    TFeedEntry entry;
    if (!FindProductInFeed(FeedText, Product, entry)) {
        check.Verdict = TVersionVerdict::ProductMissing;
        return check;
    }
    check.Newest = entry.Version;
    check.Download = entry.Download;
    if (NumericVersion(check.Newest).empty()) {
        check.Verdict = TVersionVerdict::InvalidVersion;
        return check;
    }
    if (check.Installed.empty()) {
        check.Verdict = TVersionVerdict::InstalledUnknown;
        return check;
    }
    try {
        check.Verdict = CompareVersionTexts(check.Installed, check.Newest) < 0
                            ? TVersionVerdict::NewerAvailable
                            : TVersionVerdict::UpToDate;
    } catch (const EConvertError &) {
        check.Verdict = TVersionVerdict::InvalidVersion;
    }
    return check;
}

namespace {

// A system's error text can be made of sentences joined with ": " and end with a full stop;
// inside the verdict's brackets both would double the punctuation.
std::string TidyDetail(std::string Detail) {
    for (size_t at; (at = Detail.find(".: ")) != std::string::npos;)
        Detail.erase(at, 1);
    while (!Detail.empty() && (Detail.back() == '.' || Detail.back() == ' '))
        Detail.pop_back();
    return Detail;
}

} // namespace

std::string VerdictText(const TVersionCheck &Check, const std::string &Product,
                        const std::string &RawDetail) {
    const std::string Detail = TidyDetail(RawDetail);
    const std::string notChecked = " Ob es eine neuere Version gibt, wurde nicht gepr\u00fcft.";
    switch (Check.Verdict) {
    case TVersionVerdict::NoFeed:
        return "Es ist keine Versionsquelle eingestellt." + notChecked;
    case TVersionVerdict::FeedUnreadable:
        return "Die Versionsquelle konnte nicht gelesen werden" +
               (Detail.empty() ? std::string() : " (" + Detail + ")") + "." + notChecked;
    case TVersionVerdict::ProductMissing:
        return "Die Versionsquelle enth\u00e4lt keine Angabe zu \"" + Product + "\"." + notChecked;
    case TVersionVerdict::InvalidVersion:
        return "Die Versionsnummern \"" + Check.Installed + "\" und \"" + Check.Newest +
               "\" lassen sich nicht vergleichen." + notChecked;
    case TVersionVerdict::InstalledUnknown:
        return "Die neueste Version ist " + Check.Newest +
               ". Die installierte Version ist nicht bekannt.";
    case TVersionVerdict::NewerAvailable:
        return "Eine neuere Version ist verf\u00fcgbar: " + Check.Newest + ".";
    case TVersionVerdict::UpToDate:
        return "Sie verwenden die neueste Version.";
    }
    return std::string();
}

std::string ProductDisplayName(const std::string &Product) {
    std::string name = Product;
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
        name[0] = char(name[0] - 'a' + 'A');
    return name;
}

std::string FeedFormatHint(const std::string &Product) {
    const std::string key = Product.empty() ? std::string("programm") : Product;
    return "Gelesen wird die Versionsquelle (Internetadresse oder Datei), eine Angabe je Zeile "
           "wie " +
           key + "=1.4.";
}
