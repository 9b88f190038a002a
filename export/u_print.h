#pragma once
// The printed report: the page layout (tprintman) over a print canvas, and the handlers that
// lay out the project walk with it.

#include "base/cstring.h"
#include "base/printcanvas.h"
#include "export/walk.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Page layout in printer pixels; one point is the resolution divided by 72, remainder dropped.
// The page area lies one inch inside the printable area; Y is the top of the next line.
class tprintman : public TReportOutput, public TTextMeasurer {
public:
    explicit tprintman(TPrintCanvas &ACanvas) : Canvas(ACanvas) {}

    // False when the job could not start; nothing else may be called then.
    bool BeginReport(const std::string &DocFileName);
    bool EndReport();
    void SetFontSize(int Points);
    void SetBold(bool On);
    void PrintCentered(const std::string &Text);
    void PrintRight(const std::string &Text);
    void PrintLeftRight(const std::string &LeftText, const std::string &RightText);
    // Label and Colon beside the first line; a line that no longer fits above Bottom goes to
    // the next page, unless the page is still empty.
    void PrintBlock(const std::string &Label, const std::string &Colon, const TStringList &Lines,
                    int ColonWidth, int LabelWidth);
    void DrawRule(int Indent, TPrintColor Color, int Width);
    void Skip(int Points);
    void NewPage();
    void PrintPageNumber();

    double TextWidth(const std::string &Text) override;
    int TextHeight();
    int PageWidth() const { return Right - Left; }
    // 4 points and a rule of Width points: the room DrawRule takes.
    int RuleHeight(int Width) const { return 4 * PtY() + PtY() * Width; }

    int PtX() const { return DpiX / 72; }
    int PtY() const { return DpiY / 72; }
    int GetLeft() const { return Left; }
    int GetTop() const { return Top; }
    int GetRight() const { return Right; }
    int GetBottom() const { return Bottom; }
    int64_t GetY() const { return Y; }
    int Page() const { return FPage; }
    // Whether Height pixels from Y still end on or above Bottom.
    bool Fits(int64_t Height) const { return Y + Height <= Bottom; }

private:
    void ApplyFont();
    // Lines starting below the printable area cannot show anything.
    void Out(int64_t AtX, const std::string &Text);

    TPrintCanvas &Canvas;
    int Left = 0, Top = 0, Right = 0, Bottom = 0, X = 0;
    // 64 bits: sums of line heights never overflow, however many lines a block has.
    int64_t Y = 0;
    int DpiX = 72, DpiY = 72;
    int PrintableHeight = 0;
    int FPage = 0;
    int FontSize = 10;
    bool Bold = false;
    std::optional<int> FTextHeight;     // of the current font
    std::array<int, 256> FCharWidths{}; // of the current font, -1 until measured
};

// "Chronark - " + the file name part of DocFileName.
std::string PrintJobTitle(const std::string &DocFileName);
// "h:mm:ss Std.", hours unwrapped.
std::string PrintDurationText(int64_t Seconds);

// The report's handlers; the walk's output is the tprintman.
class TPrintHandlers : public TReportCallbacks {
public:
    void Header(TReportOutput &Output, const std::string &Folder, const TCKProjectList &Projects,
                const TChronarkMan &Document) override;
    void Footer(TReportOutput &Output, const std::string &Folder, const TCKProjectList &Projects,
                const TChronarkMan &Document) override;
    void Separator(TReportOutput &Output, const std::string &Folder) override;
    void Item(TReportOutput &Output, const std::string &Folder, const TCKTimeItem &Entry,
              const TChronarkMan &Document) override;
    void ProjectHeader(TReportOutput &Output, const std::string &Folder,
                       const TCKProjectItem &Project, const TChronarkMan &Document) override;
    void ProjectFooter(TReportOutput &Output, const std::string &Folder,
                       const TCKProjectItem &Project, const TChronarkMan &Document) override;
    void Finish(TReportOutput &Output, const tSubstRec &Subst) override;

private:
    // Every project's net time in one pass over the segments.
    std::optional<TNetTimes> FNetTimes;
};

enum class TPrintResult {
    Printed,
    NothingChosen, // cancelled or nothing ticked: nothing printed, nothing said
    Failed,        // the printer or file could not take the job
};

// Lays out the report of Projects (in tree order) on Canvas as one print job.
TPrintResult PrintReport(TPrintCanvas &Canvas, const TChronarkMan &Document,
                         const std::string &DocFileName, const TCKProjectList &Projects);

// The questions the print command asks; the print dialog answers them, tests script them.
class TPrintUi {
public:
    virtual ~TPrintUi() = default;
    // The print dialog over the document's projects, all ticked. False when cancelled;
    // otherwise the ticked projects in tree order.
    virtual bool AskProjects(const TChronarkMan &Document, TCKProjectList &Projects) = 0;
    // The canvas of the printer chosen (a PDF file where no printer is installed); null when
    // the user gave up choosing one.
    virtual TPrintCanvas *Canvas() = 0;
};

// The print command: the print dialog, then the report of the ticked projects on the canvas
// of the printer chosen.
TPrintResult ExecutePrint(TPrintUi &Ui, const TChronarkMan &Document,
                          const std::string &DocFileName);
