#include "base/errorreport.h"
#include "base/messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// Captures every message sent to its sink.
class TCapture {
public:
    struct Item {
        TMessageKind Kind;
        std::string Text;
    };
    std::vector<Item> Shown;
    TMessageSink Sink() {
        return [this](TMessageKind Kind, const std::string &Text) {
            Shown.push_back({Kind, Text});
        };
    }
};

TEST(GetLineColumn, CountsLinesAndByteColumns) {
    struct Case {
        const char *Name;
        std::string Text;
        int32_t Position, Line, Column;
    } cases[] = {
        {"first byte", "<ckx/>", 0, 1, 1},
        {"third byte", "<ckx/>", 2, 1, 3},
        {"second line after CR LF", "ab\r\ncd", 4, 2, 1},
        {"second line after LF", "ab\ncd", 3, 2, 1},
        {"second line after CR", "ab\rcd", 3, 2, 1},
        {"LF after CR belongs to the line CR opened", "ab\r\ncd", 3, 2, 0},
        {"the CR itself", "ab\r\ncd", 2, 2, 0},
        {"LF then CR are two line ends", "a\n\rb", 3, 3, 1},
        {"empty lines", "\n\n\nx", 3, 4, 1},
        {"negative position", "abc", -1, 1, 0},
        {"beyond the end counts what is there", "a\nbc", 100, 2, 2},
        {"empty stream", "", 0, 1, 0},
        {"8-bit bytes count once", "\xE4\xF6\xFC", 2, 1, 3},
    };
    for (const Case &c : cases) {
        std::istringstream in(c.Text);
        int32_t line = -7, column = -7;
        GetLineColumn(in, c.Position, line, column);
        EXPECT_EQ(line, c.Line) << c.Name;
        EXPECT_EQ(column, c.Column) << c.Name;
    }
}

TEST(GetLineColumn, CrLfSplitAcrossReadBlocks) {
    // The reader works in 64 KiB blocks; the CR ends one block and the LF starts the next.
    std::string text(65535, 'x');
    text += "\r\ny";
    std::istringstream in(text);
    int32_t line = 0, column = 0;
    GetLineColumn(in, 65537, line, column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 1);
    std::istringstream again(text);
    GetLineColumn(again, 65536, line, column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 0);
}

TEST(GetLineColumn, CountsFromTheCurrentPosition) {
    std::istringstream in("a\nb\nc");
    in.seekg(2);
    int32_t line = 0, column = 0;
    GetLineColumn(in, 2, line, column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 1);
}

std::string TwelveLines() {
    std::string text;
    for (int i = 1; i < 12; ++i)
        text += "<zeile/>\r\n";
    return text + "<a b=\"1\" b=\"2\"/>";
}

TEST(StreamError, ComposesFileLineColumnAndMessage) {
    const std::string text = TwelveLines();
    const int32_t position = int32_t(text.size() - 16 + 6); // the 7th byte of line 12
    std::istringstream in(text);
    EXPECT_EQ(ComposeStreamError("Doppeltes Attribut", "C:\\Daten\\Projekt.ckx", in, position, 1),
              "Fehler in \"C:\\Daten\\Projekt.ckx\":\r\n\r\n12:7 - Doppeltes Attribut");
}

TEST(StreamError, LengthZeroLeavesOutThePosition) {
    std::istringstream in("abc\r\ndef");
    EXPECT_EQ(ComposeStreamError("Document mu\xDF ein Rootelement enthalten", "x.ckx", in, 6, 0),
              "Fehler in \"x.ckx\":\r\n\r\nDocument mu\xDF ein Rootelement enthalten");
}

TEST(StreamError, IsShownAsOneError) {
    TCapture capture;
    std::istringstream in("<a>\n<b>");
    ShowStreamError(capture.Sink(), "Fehler", "f.ckx", in, 5, 3);
    ASSERT_EQ(capture.Shown.size(), 1u);
    EXPECT_EQ(capture.Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(capture.Shown[0].Text, "Fehler in \"f.ckx\":\r\n\r\n2:2 - Fehler");
}

class FileError : public ::testing::Test {
protected:
    void SetUp() override {
        Path = std::filesystem::temp_directory_path() /
               ("errorreport_test_" + std::to_string(::getpid()) + ".ckx");
    }
    void TearDown() override { std::filesystem::remove(Path); }
    std::filesystem::path Path;
};

TEST_F(FileError, ReadsTheFileForLineAndColumn) {
    std::ofstream(Path, std::ios::binary) << "<?xml?>\r\n<falsch>\r\n</falsch>";
    TCapture capture;
    ShowFileError(capture.Sink(), "Falsches Rootelement", Path.string(), 10, 8);
    ASSERT_EQ(capture.Shown.size(), 1u);
    EXPECT_EQ(capture.Shown[0].Text,
              "Fehler in \"" + Path.string() + "\":\r\n\r\n2:2 - Falsches Rootelement");
}

TEST_F(FileError, EmptyFile) {
    std::ofstream(Path, std::ios::binary).flush();
    TCapture capture;
    ShowFileError(capture.Sink(), "Leer", Path.string(), 0, 1);
    ASSERT_EQ(capture.Shown.size(), 1u);
    EXPECT_EQ(capture.Shown[0].Text, "Fehler in \"" + Path.string() + "\":\r\n\r\n1:0 - Leer");
}

TEST_F(FileError, UnreadableFileStillShowsTheMessage) {
    TCapture capture;
    ShowFileError(capture.Sink(), "Falsches Rootelement", Path.string(), 10, 8);
    ASSERT_EQ(capture.Shown.size(), 1u);
    EXPECT_EQ(capture.Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(capture.Shown[0].Text, "Fehler in \"" + Path.string() +
                                         "\":\r\n\r\nFalsches Rootelement\r\n\r\n"
                                         "(Die Datei kann nicht ge\xF6"
                                         "ffnet werden.)");
}

TEST(XMLErrorHandler, CountsFromTheStartAndRestoresThePosition) {
    TCapture capture;
    std::istringstream in("<a>\r\n<b x='1' x='2'/>");
    in.seekg(9);
    XMLErrorHandler(capture.Sink(), "Doppeltes Attribut", "d.ckx", in, 13, 5);
    ASSERT_EQ(capture.Shown.size(), 1u);
    EXPECT_EQ(capture.Shown[0].Text, "Fehler in \"d.ckx\":\r\n\r\n2:9 - Doppeltes Attribut");
    EXPECT_TRUE(in.good());
    EXPECT_EQ(in.tellg(), std::streampos(9));
}

TEST(XMLErrorHandler, KeepsTheStateOfAStreamReadToTheEnd) {
    TCapture capture;
    std::istringstream in("<a>\n</b>");
    std::string all;
    std::getline(in, all, '\0');
    ASSERT_TRUE(in.eof());
    XMLErrorHandler(capture.Sink(), "Ende", "e.ckx", in, 5, 1);
    ASSERT_EQ(capture.Shown.size(), 1u);
    EXPECT_EQ(capture.Shown[0].Text, "Fehler in \"e.ckx\":\r\n\r\n2:2 - Ende");
    EXPECT_TRUE(in.eof());
    in.clear();
    EXPECT_EQ(in.tellg(), std::streampos(8));
}

TEST(XMLErrorHandler, FitsTheParsersCallbackType) {
    // The parser stores its callback as a std::function of exactly this shape; the reader binds
    // its document's sink.
    TCapture capture;
    std::function<void(const std::string &, const std::string &, std::istream &, int32_t, int32_t)>
        proc = [Sink = capture.Sink()](const std::string &Message, const std::string &FileName,
                                       std::istream &Stream, int32_t Position, int32_t Length) {
            XMLErrorHandler(Sink, Message, FileName, Stream, Position, Length);
        };
    std::istringstream in("x");
    proc("m", "f", in, 0, 0);
    EXPECT_EQ(capture.Shown.size(), 1u);
}

TEST(Messages, EmptySinkGoesToStderrAsUtf8) {
    ::testing::internal::CaptureStderr();
    DeliverMessage({}, TMessageKind::Error, "Fehler in \"a\":\r\n\r\nDocument mu\xDF");
    WriteMessageToStderr(TMessageKind::Warning, "\x80 5");
    const std::string out = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "Fehler: Fehler in \"a\":\n\nDocument mu\xC3\x9F\nWarnung: \xE2\x82\xAC 5\n");
}

TEST(Messages, AGivenSinkGetsEverythingAndStderrNothing) {
    std::vector<std::string> first;
    const TMessageSink mine = [&](TMessageKind Kind, const std::string &Text) {
        first.push_back((Kind == TMessageKind::Warning ? "W:" : "E:") + Text);
    };
    std::istringstream empty;
    ::testing::internal::CaptureStderr();
    DeliverMessage(mine, TMessageKind::Warning, "w");
    ShowStreamError(mine, "e", "f", empty, 0, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(first, (std::vector<std::string>{"W:w", "E:Fehler in \"f\":\r\n\r\ne"}));
    mine(TMessageKind::Error, "direct");
    EXPECT_EQ(first.back(), "E:direct");
}

} // namespace
