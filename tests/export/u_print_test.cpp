// The printed report's layout on a recording canvas: positions in printer pixels, page breaks,
// texts and the print command's choices.
#include "base/dates.h"
#include "base/formatsettings.h"
#include "export/u_print.h"
#include "tests/export/recordingcanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TDateTime At(int Day, int H, int M, int S) {
    return EncodeDateTime(2002, 8, Day, H, M, S);
}

class Print : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(GermanFormatSettings()); }

    TPrintResult Run(const TCKProjectList &Projects,
                     const std::string &FileName = "/home/u/Zeiten 2002.ckx") {
        return PrintReport(Canvas, Doc, FileName, Projects);
    }
    // Starts a job by hand, for calling the handlers one at a time.
    void Begin() {
        ASSERT_TRUE(Pm.BeginReport("/x/Doc.ckx"));
        Handlers.Header(Pm, "/x/Doc.ckx", {}, Doc);
    }
    std::vector<std::string> TextsOnPage(int Page) const {
        std::vector<std::string> out;
        for (const TDrawn *d : Canvas.Texts())
            if (d->Page == Page)
                out.push_back(d->Text);
        return out;
    }

    TChronarkMan Doc;
    TRecordingCanvas Canvas;
    tprintman Pm{Canvas};
    TPrintHandlers Handlers;
};

struct ResolutionRow {
    const char *Name;
    int Dpi;
    int Point;
};

class PrintResolution : public ::testing::TestWithParam<ResolutionRow> {};

TEST_P(PrintResolution, PointsAndPageAreaInPrinterPixels) {
    const ResolutionRow &row = GetParam();
    TRecordingCanvas canvas(row.Dpi, 8 * row.Dpi, 11 * row.Dpi);
    tprintman pm(canvas);
    ASSERT_TRUE(pm.BeginReport("Doc.ckx"));
    EXPECT_EQ(pm.PtX(), row.Point);
    EXPECT_EQ(pm.PtY(), row.Point);
    EXPECT_EQ(pm.GetLeft(), row.Dpi);
    EXPECT_EQ(pm.GetTop(), row.Dpi);
    EXPECT_EQ(pm.GetRight(), 7 * row.Dpi);
    EXPECT_EQ(pm.GetBottom(), 10 * row.Dpi);
    EXPECT_EQ(pm.GetY(), row.Dpi);
    pm.Skip(3);
    EXPECT_EQ(pm.GetY(), row.Dpi + 3 * row.Point);
    // 3 points above, the rule, 1 point below.
    pm.DrawRule(0, PrintBlack, 2);
    EXPECT_EQ(pm.GetY(), row.Dpi + 3 * row.Point + 6 * row.Point);
    const TDrawn &rule = canvas.Drawn.back();
    EXPECT_EQ(rule.Bottom - rule.Y, 2 * row.Point);
    EXPECT_EQ(rule.X, row.Dpi);
    EXPECT_EQ(rule.Right, 7 * row.Dpi);
    EXPECT_EQ(pm.RuleHeight(1), 5 * row.Point);
    pm.DrawRule(2, PrintGrey, 1);
    EXPECT_EQ(canvas.Drawn.back().X, row.Dpi + 2 * row.Point);
    EXPECT_EQ(canvas.Drawn.back().Right, 7 * row.Dpi - 2 * row.Point);
    EXPECT_EQ(canvas.Drawn.back().Color, PrintGrey);
}

INSTANTIATE_TEST_SUITE_P(Dpi, PrintResolution,
                         ::testing::Values(ResolutionRow{"dpi300_point4", 300, 4},
                                           ResolutionRow{"dpi600_point8", 600, 8},
                                           // 8.33 pixels per point count as 8
                                           ResolutionRow{"dpi601_point8", 601, 8},
                                           ResolutionRow{"dpi72_point1", 72, 1}),
                         [](const auto &Info) { return std::string(Info.param.Name); });

TEST_F(Print, TitleBlockOnTheFirstPage) {
    Doc.Root->AddProject("A")->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "", {}});
    ASSERT_EQ(Run({Doc.Root->FirstChild->AsProject()}), TPrintResult::Printed);
    EXPECT_EQ(Canvas.Title, "Chronark - Zeiten 2002.ckx");
    EXPECT_EQ(Canvas.Face, "Arial");
    const TDrawn *name = Canvas.Find("Zeiten 2002.ckx");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->Right, Canvas.Width - 300);
    EXPECT_EQ(name->Y, 300);
    EXPECT_EQ(name->Points, 10);
    EXPECT_FALSE(name->Bold);
    const TDrawn *title = Canvas.Find("Zeiten");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Y, 300 + 50);
    EXPECT_EQ(title->Points, 14);
    EXPECT_TRUE(title->Bold);
    EXPECT_EQ(title->X - 300, (Canvas.Width - 300) - title->Right);
    EXPECT_TRUE(Canvas.Ended);
}

TEST_F(Print, EntryWithoutCommentOrFieldsTakesOneLine) {
    Begin();
    const int64_t y = Pm.GetY();
    TCKProjectItem *p = Doc.Root->AddProject("A");
    Handlers.Item(Pm, "", *p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "", {}}), Doc);
    EXPECT_EQ(Pm.GetY(), y + 50);
    const TDrawn *line = Canvas.Find("Von 01.08.2002 08:00:00 bis 01.08.2002 09:00:00");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->X, 300);
    EXPECT_EQ(line->Y, y);
    const TDrawn *hours = Canvas.Find("1:00:00 Std.");
    ASSERT_NE(hours, nullptr);
    EXPECT_EQ(hours->Right, Pm.GetRight());
}

struct BreakRow {
    const char *Name;
    int SkipPoints;
    int Page;
};

class PrintBreak : public ::testing::TestWithParam<BreakRow> {};

// Bottom 3202, one line 50 pixels, 4 pixels a point: from Y 3152 the line just fits.
TEST_P(PrintBreak, OneLineBlockMovesOnlyWhenItDoesNotFit) {
    TRecordingCanvas canvas(300, 2480, 3502);
    tprintman pm(canvas);
    TChronarkMan doc;
    TPrintHandlers handlers;
    ASSERT_TRUE(pm.BeginReport("D.ckx"));
    pm.Skip(GetParam().SkipPoints);
    TCKProjectItem *p = doc.Root->AddProject("A");
    handlers.Item(pm, "", *p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "", {}}), doc);
    EXPECT_EQ(pm.Page(), GetParam().Page);
    EXPECT_EQ(canvas.Drawn.back().Page, GetParam().Page);
    if (GetParam().Page == 2) {
        // The first page got its number at Bottom, the line went to the top of the next.
        EXPECT_EQ(canvas.Find("1")->Y, 3202);
        EXPECT_EQ(canvas.Drawn.back().Y, 300);
    }
}

INSTANTIATE_TEST_SUITE_P(Room, PrintBreak,
                         ::testing::Values(BreakRow{"roomToSpare", 712, 1},
                                           BreakRow{"exactlyFits", 713, 1},
                                           BreakRow{"onePointShort", 714, 2}),
                         [](const auto &Info) { return std::string(Info.param.Name); });

struct DurationRow {
    const char *Name;
    int Seconds;
    const char *Text;
};

class PrintDuration : public ::testing::TestWithParam<DurationRow> {};

TEST_P(PrintDuration, HoursUnwrappedWithStd) {
    SetFormatSettings(GermanFormatSettings());
    TChronarkMan doc;
    TRecordingCanvas canvas;
    TCKProjectItem *p = doc.Root->AddProject("A");
    const TDateTime start = At(1, 8, 0, 0);
    p->AddTime({start, AddSeconds(start, GetParam().Seconds), "", {}});
    ASSERT_EQ(PrintReport(canvas, doc, "D.ckx", {p}), TPrintResult::Printed);
    const TDrawn *d = canvas.Find(GetParam().Text);
    ASSERT_NE(d, nullptr) << GetParam().Text;
    EXPECT_EQ(d->Right, canvas.Width - 300);
}

INSTANTIATE_TEST_SUITE_P(Times, PrintDuration,
                         ::testing::Values(DurationRow{"fortyHours", 40 * 3600, "40:00:00 Std."},
                                           DurationRow{"fiveSeconds", 5, "0:00:05 Std."},
                                           DurationRow{"mixed", 3909, "1:05:09 Std."}),
                         [](const auto &Info) { return std::string(Info.param.Name); });

TEST_F(Print, CommentAndFieldsAlignedAfterTheWidestLabel) {
    Begin();
    TCKProjectItem *p = Doc.Root->AddProject("A");
    const int64_t y = Pm.GetY();
    Handlers.Item(Pm, "",
                  *p->AddTime({At(1, 8, 0, 0),
                               At(1, 9, 0, 0),
                               "eins\r\nzwei\tdrei",
                               {{"Kundennummer", "K-17"}, {"Ort", ""}, {"Tag", "Mo"}}}),
                  Doc);
    const int cw = Canvas.CharWidth();
    const int label = 12 * cw; // "Kundennummer" is wider than "Bemerkung"
    const int colon = 2 * cw;
    // Line breaks and tabs are blanks between words.
    const TDrawn *comment = Canvas.Find("eins zwei drei");
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->X, 300 + label + colon);
    EXPECT_EQ(comment->Y, y + 50);
    EXPECT_EQ(Canvas.Find("Bemerkung")->Y, y + 50);
    EXPECT_EQ(Canvas.Find(":")->X, 300 + label);
    EXPECT_EQ(Canvas.Find("K-17")->Y, y + 100);
    // An empty value keeps its label on a line of its own.
    EXPECT_EQ(Canvas.Find("Ort")->Y, y + 150);
    EXPECT_EQ(Canvas.Find("Mo")->Y, y + 200);
    EXPECT_EQ(Pm.GetY(), y + 250);
}

TEST_F(Print, LongCommentWrapsWithinTheTextColumn) {
    Begin();
    TCKProjectItem *p = Doc.Root->AddProject("A");
    std::string comment;
    for (int i = 0; i < 200; ++i)
        comment += "Wort" + std::to_string(i) + " ";
    Handlers.Item(Pm, "", *p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), comment, {}}), Doc);
    const int cw = Canvas.CharWidth();
    const int textX = 300 + 9 * cw + 2 * cw;
    const int limit = Pm.PageWidth() - 9 * cw - 2 * cw - 14 * cw;
    int lines = 0;
    std::string joined;
    for (const TDrawn *d : Canvas.Texts())
        if (d->X == textX) {
            ++lines;
            EXPECT_LE(d->Right - d->X, limit) << d->Text;
            joined += (joined.empty() ? "" : " ") + d->Text;
        }
    EXPECT_GT(lines, 5);
    EXPECT_EQ(joined + " ", comment);
}

TEST_F(Print, HeadingsSeparatorsAndSums) {
    TCKProjectItem *outer = Doc.Root->AddProject("Outer"); // entries only in its sub-project
    TCKProjectItem *one = outer->AddProject("One");
    one->AddTime({At(2, 8, 0, 0), At(2, 9, 0, 0), "", {}});
    one->AddTime({At(1, 8, 0, 0), At(1, 8, 30, 0), "", {}});
    Doc.Root->AddTime({At(3, 8, 0, 0), At(3, 8, 0, 5), "", {}});
    ASSERT_EQ(Run({Doc.Root.get(), outer, one}), TPrintResult::Printed);
    const std::vector<std::string> expected = {"Zeiten 2002.ckx",
                                               "Zeiten",
                                               "Projekt:",
                                               "Von 03.08.2002 08:00:00 bis 03.08.2002 08:00:05",
                                               "0:00:05 Std.",
                                               "Projektsumme:",
                                               "0:00:05 Std.",
                                               "Projekt: Outer\\One",
                                               "Von 01.08.2002 08:00:00 bis 01.08.2002 08:30:00",
                                               "0:30:00 Std.",
                                               "Von 02.08.2002 08:00:00 bis 02.08.2002 09:00:00",
                                               "1:00:00 Std.",
                                               "Projektsumme:",
                                               "1:30:00 Std.",
                                               "Summe:",
                                               "1:30:05 Std.",
                                               "1"};
    EXPECT_EQ(TextsOnPage(1), expected);
    int grey = 0;
    for (const TDrawn &d : Canvas.Drawn)
        grey += d.Kind == TDrawn::Rule && d.Color == PrintGrey;
    EXPECT_EQ(grey, 1); // between the two entries of One only
    EXPECT_TRUE(Canvas.Find("Summe:")->Bold);
    EXPECT_TRUE(Canvas.Find("Projekt: Outer\\One")->Bold);
}

TEST_F(Print, PageNumbersCentredAtBottomOfEveryPage) {
    TCKProjectItem *p = Doc.Root->AddProject("A");
    for (int i = 0; i < 150; ++i)
        p->AddTime({At(1 + i / 20, 8, i % 20, 0), At(1 + i / 20, 8, i % 20, 30), "", {}});
    ASSERT_EQ(Run({p}), TPrintResult::Printed);
    ASSERT_GT(Canvas.Pages, 2);
    for (int page = 1; page <= Canvas.Pages; ++page) {
        const std::vector<std::string> texts = TextsOnPage(page);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.back(), std::to_string(page));
    }
    for (const TDrawn *d : Canvas.Texts()) {
        if (d->Y == Canvas.Height - 300) {
            EXPECT_EQ(d->X - 300, (Canvas.Width - 300) - d->Right) << d->Text;
        } else {
            EXPECT_LE(d->Bottom, Canvas.Height - 300) << d->Text << " page " << d->Page;
        }
    }
    // Only the first page has the title block.
    const std::vector<const TDrawn *> texts = Canvas.Texts();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const TDrawn *d) { return d->Text == "Zeiten"; }),
              1);
}

// One entry taller than many pages: 3,000 words of comment and 5,000 fields.
TEST_F(Print, BlockTallerThanAPageContinuesOnTheNextPages) {
    std::string comment, expected;
    for (int i = 0; i < 3000; ++i) {
        comment += "Satz" + std::to_string(i) + (i % 25 == 24 ? "\r\n" : " ");
        expected += (i ? " " : "") + ("Satz" + std::to_string(i));
    }
    tFieldList fields;
    for (int i = 0; i < 5000; ++i) {
        fields.push_back({"F" + std::to_string(i), "V" + std::to_string(i)});
        expected += " V" + std::to_string(i);
    }
    TCKProjectItem *p = Doc.Root->AddProject("A");
    p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), comment, fields});
    ASSERT_EQ(Run({p}), TPrintResult::Printed);

    const int cw = Canvas.CharWidth();
    const int textX = 300 + 9 * cw + 2 * cw; // after "Bemerkung: "
    const int bottom = Canvas.Height - 300;
    const std::vector<const TDrawn *> texts = Canvas.Texts();
    std::string joined;
    std::vector<int> numbered;
    int lastPage = 0, lastY = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        const TDrawn &d = *texts[i];
        if (d.Y == bottom) {
            EXPECT_EQ(d.Text, std::to_string(d.Page));
            numbered.push_back(d.Page);
            continue;
        }
        EXPECT_LE(d.Bottom, bottom) << d.Text << " page " << d.Page;
        if (d.X != textX)
            continue;
        // Each line below the one before it, or at the top of a later page.
        EXPECT_TRUE(d.Page > lastPage || d.Y > lastY) << d.Text;
        lastPage = d.Page;
        lastY = d.Y;
        joined += (joined.empty() ? "" : " ") + d.Text;
        if (d.Text[0] == 'V') { // a field's label stays beside its value
            ASSERT_GE(i, 2u);
            EXPECT_EQ(texts[i - 2]->Text, "F" + d.Text.substr(1));
            EXPECT_EQ(texts[i - 2]->Page, d.Page);
            EXPECT_EQ(texts[i - 2]->Y, d.Y);
        }
    }
    const size_t same =
        std::mismatch(joined.begin(), joined.end(), expected.begin(), expected.end()).first -
        joined.begin();
    EXPECT_EQ(joined.size(), expected.size());
    EXPECT_EQ(same, expected.size()) << "lost from: " << expected.substr(same, 40);
    ASSERT_GT(Canvas.Pages, 90);
    std::vector<int> pages(Canvas.Pages);
    for (int i = 0; i < Canvas.Pages; ++i)
        pages[i] = i + 1;
    EXPECT_EQ(numbered, pages);
}

struct LongWordRow {
    const char *Name;
    enum TWhere { InComment, InField, InProjectName } Where;
    std::string Word;
    size_t FirstPiece; // characters on its first line: as many as the column holds
};

class PrintLongWord : public ::testing::TestWithParam<LongWordRow> {};

// A4 at 300 dpi, 20 pixels a character: the comment column holds 69, a field "Pfad" 74, a
// heading 94 characters.
TEST_P(PrintLongWord, BrokenWhereTheLineEnds) {
    const LongWordRow &row = GetParam();
    SetFormatSettings(GermanFormatSettings());
    TChronarkMan doc;
    TRecordingCanvas canvas;
    TCKProjectItem *p =
        doc.Root->AddProject(row.Where == LongWordRow::InProjectName ? row.Word : "A");
    if (row.Where == LongWordRow::InComment)
        p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "siehe " + row.Word + " danach", {}});
    else
        p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "", {{"Pfad", row.Word}}});
    ASSERT_EQ(PrintReport(canvas, doc, "D.ckx", {p}), TPrintResult::Printed);
    std::string joined;
    const TDrawn *first = nullptr;
    for (const TDrawn *d : canvas.Texts()) {
        EXPECT_LE(d->Right, canvas.Width - 300) << d->Text;
        joined += d->Text;
        if (!first && row.Word.compare(0, d->Text.size(), d->Text) == 0)
            first = d;
    }
    EXPECT_NE(joined.find(row.Word), std::string::npos);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text.size(), row.FirstPiece);
}

INSTANTIATE_TEST_SUITE_P(
    Words, PrintLongWord,
    ::testing::Values(
        LongWordRow{"fitsExactly", LongWordRow::InComment, std::string(69, 'x'), 69},
        LongWordRow{"oneCharacterTooLong", LongWordRow::InComment, std::string(70, 'x'), 69},
        LongWordRow{"urlInComment", LongWordRow::InComment,
                    "https://example.org/zeiten/" + std::string(300, 'a') + "?seite=1", 69},
        LongWordRow{"pathInField", LongWordRow::InField,
                    "/home/u/" + std::string(200, 'p') + "/Zeiten.ckx", 74},
        LongWordRow{"projectName", LongWordRow::InProjectName, std::string(150, 'N'), 94}),
    [](const auto &Info) { return std::string(Info.param.Name); });

// The same report on A4 upright and across: the page area follows the paper.
TEST_F(Print, PagesFollowThePaper) {
    TCKProjectItem *p = Doc.Root->AddProject("A");
    for (int i = 0; i < 150; ++i)
        p->AddTime({At(1 + i / 20, 8, i % 20, 0), At(1 + i / 20, 8, i % 20, 30), "", {}});
    TRecordingCanvas across(300, 3508, 2480);
    ASSERT_EQ(Run({p}), TPrintResult::Printed);
    ASSERT_EQ(PrintReport(across, Doc, "D.ckx", {p}), TPrintResult::Printed);
    auto entriesOnPage2 = [](const TRecordingCanvas &C) {
        int n = 0;
        for (const TDrawn *d : C.Texts()) {
            n += d->Page == 2 && d->Text.rfind("Von ", 0) == 0;
            if (d->Y != C.Height - 300) { // all but the page number above the margin
                EXPECT_LE(d->Bottom, C.Height - 300) << d->Text;
            }
            if (d->Text == "0:00:30 Std.") { // the times at the right margin
                EXPECT_EQ(d->Right, C.Width - 300);
            }
        }
        return n;
    };
    // An entry is one line and a separator: entries per page grow with the page's height.
    const int upright = entriesOnPage2(Canvas), wide = entriesOnPage2(across);
    EXPECT_GT(upright, wide);
    EXPECT_NEAR(double(upright) / wide, (3508.0 - 600) / (2480 - 600), 0.1);
    EXPECT_LT(Canvas.Pages, across.Pages);
}

TEST_F(Print, HostileDocumentStaysOnThePage) {
    TCKProjectItem *deep = Doc.Root.get();
    for (int i = 0; i < 100; ++i)
        deep = deep->AddProject("Ebene " + std::to_string(i));
    deep->AddTime({At(1, 8, 0, 0),
                   At(1, 9, 0, 0),
                   std::string(60, 'W') + " kurz",
                   {{std::string(60, 'F'), std::string(60, 'V')}}});
    TCKProjectItem *empty = Doc.Root->AddProject("");
    empty->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "", {}});
    std::string huge;
    for (int i = 0; i < 3000; ++i)
        huge += "Abschnitt ";
    empty->AddTime({At(2, 8, 0, 0), At(2, 9, 0, 0), huge, {}});
    ASSERT_EQ(Run(ProjectsInTreeOrder(Doc)), TPrintResult::Printed);
    EXPECT_EQ(Canvas.ClipLeft, 300);
    EXPECT_EQ(Canvas.ClipRight, Canvas.Width - 300);
    EXPECT_GE(Canvas.ClipTop, 0);
    EXPECT_LE(Canvas.ClipBottom, Canvas.Height);
    for (const TDrawn &d : Canvas.Drawn) {
        EXPECT_GE(d.X, Canvas.ClipLeft) << d.Text;
        EXPECT_GE(d.Y, 0) << d.Text;
        EXPECT_LT(d.Y, Canvas.Height) << d.Text;
        if (d.Kind == TDrawn::Rule) {
            EXPECT_LE(d.Right, Canvas.ClipRight);
            EXPECT_LE(d.Bottom, Canvas.Height);
        }
    }
    EXPECT_NE(Canvas.Find("Projekt:"), nullptr);
    // Words wider than the text column, narrowed by the long label, are broken to fit it.
    std::string joined;
    for (const TDrawn *d : Canvas.Texts())
        joined += d->Text;
    EXPECT_NE(joined.find(std::string(60, 'W')), std::string::npos);
    EXPECT_NE(joined.find(std::string(60, 'V')), std::string::npos);
    EXPECT_EQ(Canvas.Find(std::string(60, 'W')), nullptr);
}

TEST_F(Print, TinyPaperStillPrintsEveryBlock) {
    TRecordingCanvas canvas(300, 500, 500); // smaller than the two margins
    TCKProjectItem *p = Doc.Root->AddProject("A");
    p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "x", {}});
    p->AddTime({At(2, 8, 0, 0), At(2, 9, 0, 0), "y", {}});
    ASSERT_EQ(PrintReport(canvas, Doc, "D.ckx", {p}), TPrintResult::Printed);
    EXPECT_LE(canvas.ClipLeft, canvas.ClipRight);
    EXPECT_GT(canvas.Pages, 1);
    EXPECT_LT(canvas.Pages, 20);
}

TEST_F(Print, NothingChosenNothingStarted) {
    EXPECT_EQ(Run({}), TPrintResult::NothingChosen);
    EXPECT_FALSE(Canvas.Started);
}

TEST_F(Print, PrinterThatCannotStartFails) {
    Canvas.FailBegin = true;
    Doc.Root->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "", {}});
    EXPECT_EQ(Run({Doc.Root.get()}), TPrintResult::Failed);
    EXPECT_TRUE(Canvas.Drawn.empty());
}

// The print command's questions answered from a script.
class ScriptedPrintUi : public TPrintUi {
public:
    bool Confirm = true;
    bool Untick = false;
    bool GiveCanvas = true;
    TRecordingCanvas Recorder;
    bool AskProjects(const TChronarkMan &Document, TCKProjectList &Projects) override {
        Projects = Untick ? TCKProjectList{} : ProjectsInTreeOrder(Document);
        return Confirm;
    }
    TPrintCanvas *Canvas() override { return GiveCanvas ? &Recorder : nullptr; }
};

struct CommandRow {
    const char *Name;
    bool Confirm, Untick, GiveCanvas;
    TPrintResult Result;
};

class PrintCommand : public ::testing::TestWithParam<CommandRow> {};

TEST_P(PrintCommand, PrintsOnlyWhenConfirmedWithProjectsAndAPrinter) {
    TChronarkMan doc;
    doc.Root->AddProject("A")->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "", {}});
    ScriptedPrintUi ui;
    ui.Confirm = GetParam().Confirm;
    ui.Untick = GetParam().Untick;
    ui.GiveCanvas = GetParam().GiveCanvas;
    EXPECT_EQ(ExecutePrint(ui, doc, "/d/A.ckx"), GetParam().Result);
    EXPECT_EQ(ui.Recorder.Started, GetParam().Result == TPrintResult::Printed);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PrintCommand,
    ::testing::Values(CommandRow{"confirmed", true, false, true, TPrintResult::Printed},
                      CommandRow{"cancelled", false, false, true, TPrintResult::NothingChosen},
                      CommandRow{"nothingTicked", true, true, true, TPrintResult::NothingChosen},
                      CommandRow{"noPrinterChosen", true, false, false,
                                 TPrintResult::NothingChosen}),
    [](const auto &Info) { return std::string(Info.param.Name); });

} // namespace
