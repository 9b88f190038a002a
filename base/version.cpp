#include "base/version.h"

#include "base/numbers.h"

int32_t StrToInt(const std::string &S) {
    int32_t value = 0;
    if (!TryStrToInt32(S, value))
        throw EConvertError("'" + S + "' ist kein g\xFCltiger Integerwert");
    return value;
}

namespace {

// Part N (1-based) of a dotted version; empty when the version has fewer parts.
std::string VersionPart(const std::string &Version, int N) {
    size_t start = 0;
    for (int i = 1; i < N; ++i) {
        const size_t dot = Version.find('.', start);
        if (dot == std::string::npos)
            return std::string();
        start = dot + 1;
    }
    return Version.substr(start, Version.find('.', start) - start);
}

} // namespace

int CompareVersions(const std::string &A, const std::string &B, int PartCount) {
    for (int i = 1; i <= PartCount; ++i) {
        const int32_t a = StrToInt(VersionPart(A, i));
        const int32_t b = StrToInt(VersionPart(B, i));
        if (a != b)
            return a > b ? 1 : -1;
    }
    return 0;
}
