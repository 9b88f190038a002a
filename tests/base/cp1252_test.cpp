#include "base/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Cp1252Test, Windows1252ConversionsRoundTrip) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);

    EXPECT_EQ(Cp1252ToUtf16("\x80"), u"\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("\xE4\x80"), "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToCp1252(u"\u201Eja\u201C \u4E2D \U0001F600"), "\x84ja\x93 ? ?");
    EXPECT_EQ(Utf16ToCp1252(u"\u0085"), "\x85"); // code units 0-255 map to the same byte
}

} // namespace
