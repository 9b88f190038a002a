#include "export/u_print.h"

#include "base/dates.h"
#include "base/durations.h"
#include "base/numbers.h"

#include <algorithm>

namespace {

const char Face[] = "Arial";

std::string FileNamePart(const std::string &Path) {
    const size_t slash = Path.find_last_of("/\\");
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

tprintman &Man(TReportOutput &Output) {
    return static_cast<tprintman &>(Output);
}

// WrapText leaves a word wider than the line alone on a line of its own; here such a line is
// broken where the line ends, as many characters to a piece as fit and at least one. Lines that
// fit stay as they are. A column without any width is left to the clip: no piece could fit, and
// a line per character would only multiply the pages.
void BreakLongWords(double MaxWidth, tprintman &Pm, TStringList &Lines) {
    if (MaxWidth <= 0)
        return;
    TStringList out;
    bool broken = false;
    for (size_t i = 0; i < Lines.size(); ++i) {
        const std::string &line = Lines[i];
        // Only a line of one word can be too wide: WrapText fills lines word by word.
        double width = 0;
        if (line.find(' ') == std::string::npos)
            for (char c : line)
                width += Pm.TextWidth(std::string(1, c));
        if (width <= MaxWidth) {
            if (broken)
                out.push_back(line);
            continue;
        }
        if (!broken) {
            out.assign(Lines.begin(), Lines.begin() + i);
            broken = true;
        }
        std::string piece;
        double pieceWidth = 0;
        for (char c : line) {
            const double w = Pm.TextWidth(std::string(1, c));
            if (!piece.empty() && pieceWidth + w > MaxWidth) {
                out.push_back(std::move(piece));
                piece.clear();
                pieceWidth = 0;
            }
            piece += c;
            pieceWidth += w;
        }
        out.push_back(std::move(piece));
    }
    if (broken)
        Lines = std::move(out);
}

void WrapForPrint(const std::string &Text, double MaxWidth, tprintman &Pm, TStringList &Lines) {
    WrapText(Text, MaxWidth, Pm, Lines);
    BreakLongWords(MaxWidth, Pm, Lines);
}

} // namespace

std::string PrintJobTitle(const std::string &DocFileName) {
    return "Chronark - " + FileNamePart(DocFileName);
}

std::string PrintDurationText(int64_t Seconds) {
    return std::to_string(Seconds / 3600) + ":" + PadNum(Seconds / 60 % 60, 2, '0') + ":" +
           PadNum(Seconds % 60, 2, '0') + " Std.";
}

// --- tprintman ---------------------------------------------------------------------------

bool tprintman::BeginReport(const std::string &DocFileName) {
    if (!Canvas.BeginDoc(PrintJobTitle(DocFileName)))
        return false;
    FPage = 1;
    DpiX = Canvas.DpiX();
    DpiY = Canvas.DpiY();
    const int width = Canvas.PrintableWidth();
    PrintableHeight = Canvas.PrintableHeight();
    Left = DpiX;
    Top = DpiY;
    // Paper narrower than the two margins still gets a page area, if an empty one.
    Right = std::max(Left, width - DpiX);
    Bottom = std::max(Top, PrintableHeight - DpiY);
    X = Left;
    Y = Top;
    // Whatever still does not fit (a text column pushed off the page by a wide label) is cut
    // at the margin, not drawn beyond.
    Canvas.SetClip(Left, 0, Right, PrintableHeight);
    FontSize = 10;
    Bold = false;
    ApplyFont();
    return true;
}

bool tprintman::EndReport() {
    return Canvas.EndDoc();
}

void tprintman::ApplyFont() {
    Canvas.SetFont(Face, FontSize, Bold);
    FTextHeight.reset();
    FCharWidths.fill(-1);
}

void tprintman::SetFontSize(int Points) {
    if (Points == FontSize)
        return;
    FontSize = Points;
    ApplyFont();
}

void tprintman::SetBold(bool On) {
    if (On == Bold)
        return;
    Bold = On;
    ApplyFont();
}

double tprintman::TextWidth(const std::string &Text) {
    // Wrapping measures one character at a time; a megabyte of comment must not mean a
    // megabyte of calls into the printer's font engine.
    if (Text.size() == 1) {
        int &w = FCharWidths[static_cast<unsigned char>(Text[0])];
        if (w < 0)
            w = static_cast<int>(Canvas.TextWidth(Text));
        return w;
    }
    return Canvas.TextWidth(Text);
}

int tprintman::TextHeight() {
    if (!FTextHeight)
        FTextHeight = Canvas.TextHeight("Ag");
    return *FTextHeight;
}

void tprintman::Out(int64_t AtX, const std::string &Text) {
    if (Y >= PrintableHeight || Text.empty())
        return;
    Canvas.TextOut(static_cast<int>(AtX), static_cast<int>(Y), Text);
}

void tprintman::PrintCentered(const std::string &Text) {
    Out(Left + (PageWidth() - static_cast<int64_t>(TextWidth(Text))) / 2, Text);
    Y += TextHeight();
}

void tprintman::PrintRight(const std::string &Text) {
    Out(Right - static_cast<int64_t>(TextWidth(Text)), Text);
    Y += TextHeight();
}

void tprintman::PrintLeftRight(const std::string &LeftText, const std::string &RightText) {
    Out(X, LeftText);
    Out(Right - static_cast<int64_t>(TextWidth(RightText)), RightText);
    Y += TextHeight();
}

void tprintman::PrintBlock(const std::string &Label, const std::string &Colon,
                           const TStringList &Lines, int ColonWidth, int LabelWidth) {
    const int64_t textX = int64_t{X} + LabelWidth + ColonWidth;
    const int height = TextHeight();
    // Callers move a block that fits to a fresh page first; only one taller than a page is
    // carried over, a line at a time. An empty page takes its line anyway, so paper smaller
    // than one line still makes progress.
    auto breakIfFull = [&] {
        if (!Fits(height) && Y > Top)
            NewPage();
    };
    if (!Lines.empty())
        breakIfFull(); // the label goes with the first line
    if (!Label.empty())
        Out(X, Label);
    if (!Colon.empty())
        Out(int64_t{X} + LabelWidth, Colon);
    for (size_t i = 0; i < Lines.size(); ++i) {
        if (i > 0)
            breakIfFull();
        Out(textX, Lines[i]);
        Y += height;
    }
}

void tprintman::DrawRule(int Indent, TPrintColor Color, int Width) {
    Y += 3 * PtY();
    const int line = PtY() * Width;
    if (Y < PrintableHeight)
        Canvas.FillRect(X + Indent * PtX(), static_cast<int>(Y), Right - Indent * PtX(),
                        static_cast<int>(std::min<int64_t>(Y + line, PrintableHeight)), Color);
    Y += line + PtY();
}

void tprintman::Skip(int Points) {
    Y += int64_t{Points} * PtY();
}

void tprintman::NewPage() {
    PrintPageNumber();
    Canvas.NewPage();
    ++FPage;
    Y = Top;
}

void tprintman::PrintPageNumber() {
    const std::string text = std::to_string(FPage);
    Canvas.TextOut(Left + (PageWidth() - static_cast<int>(TextWidth(text))) / 2, Bottom, text);
}

// --- The report's handlers -----------------------------------------------------------------

void TPrintHandlers::Header(TReportOutput &Output, const std::string &Folder,
                            const TCKProjectList &, const TChronarkMan &) {
    tprintman &pm = Man(Output);
    pm.SetFontSize(10);
    pm.SetBold(false);
    pm.PrintRight(FileNamePart(Folder));
    pm.SetFontSize(14);
    pm.SetBold(true);
    pm.PrintCentered("Zeiten");
    pm.SetFontSize(10);
    pm.SetBold(false);
    pm.DrawRule(0, PrintBlack, 2);
}

void TPrintHandlers::ProjectHeader(TReportOutput &Output, const std::string &,
                                   const TCKProjectItem &Project, const TChronarkMan &) {
    tprintman &pm = Man(Output);
    pm.SetBold(true);
    TStringList lines;
    WrapForPrint("Projekt: " + Project.GetPath(), pm.PageWidth(), pm, lines);
    if (!pm.Fits(pm.RuleHeight(1) + int64_t{pm.TextHeight()} * int64_t(lines.size())))
        pm.NewPage();
    pm.PrintBlock({}, {}, lines, 0, 0);
    pm.SetBold(false);
    pm.DrawRule(0, PrintBlack, 1);
}

void TPrintHandlers::Item(TReportOutput &Output, const std::string &, const TCKTimeItem &Entry,
                          const TChronarkMan &) {
    tprintman &pm = Man(Output);
    const std::string commentLabel = "Bemerkung";
    int labelWidth = Entry.Comment.empty() ? 0 : static_cast<int>(pm.TextWidth(commentLabel));
    for (const tFieldItem &field : Entry.Fields)
        labelWidth = std::max(labelWidth, static_cast<int>(pm.TextWidth(field.Id)));
    const int colonWidth = static_cast<int>(pm.TextWidth(": "));
    const int reserve = static_cast<int>(pm.TextWidth("88:88:88 St.  "));
    const double textWidth = double(pm.PageWidth()) - labelWidth - colonWidth - reserve;

    TStringList comment;
    WrapForPrint(Entry.Comment, textWidth, pm, comment);
    std::vector<TStringList> values(Entry.Fields.size());
    int64_t lineCount = int64_t(comment.size()) + 1;
    for (size_t i = 0; i < values.size(); ++i) {
        WrapForPrint(Entry.Fields[i].Value, textWidth, pm, values[i]);
        // An empty value still shows its label on a line of its own, so that the next block
        // does not write over it.
        if (values[i].empty())
            values[i].push_back({});
        lineCount += int64_t(values[i].size());
    }
    // A block that does not fit starts on a fresh page. One taller than a page does not wait
    // for a page it cannot fit: standing at the top already, it stays; PrintBlock carries it
    // over the page breaks.
    if (!pm.Fits(lineCount * pm.TextHeight()) && pm.GetY() > pm.GetTop())
        pm.NewPage();

    pm.PrintLeftRight("Von " + DateTimeText(Entry.StartTime) + " bis " +
                          DateTimeText(Entry.EndTime),
                      PrintDurationText(DurationSeconds(Entry.EndTime, Entry.StartTime)));
    if (!comment.empty())
        pm.PrintBlock(commentLabel, ":", comment, colonWidth, labelWidth);
    for (size_t i = 0; i < values.size(); ++i)
        pm.PrintBlock(Entry.Fields[i].Id, ":", values[i], colonWidth, labelWidth);
}

void TPrintHandlers::Separator(TReportOutput &Output, const std::string &) {
    tprintman &pm = Man(Output);
    if (!pm.Fits(pm.RuleHeight(1) + 6 * pm.PtY())) {
        pm.NewPage();
        return;
    }
    pm.Skip(3);
    pm.DrawRule(0, PrintGrey, 1);
    pm.Skip(3);
}

void TPrintHandlers::ProjectFooter(TReportOutput &Output, const std::string &,
                                   const TCKProjectItem &Project, const TChronarkMan &Document) {
    tprintman &pm = Man(Output);
    pm.SetBold(true);
    if (!pm.Fits(2 * pm.RuleHeight(1) + pm.TextHeight()))
        pm.NewPage();
    else
        pm.DrawRule(0, PrintBlack, 1);
    // The project's net time as the main window shows it, entry filter included.
    if (!FNetTimes)
        FNetTimes = Document.NetTimesByProject();
    pm.PrintLeftRight("Projektsumme:", PrintDurationText(FNetTimes->Seconds(&Project)));
    pm.SetBold(false);
    pm.DrawRule(0, PrintBlack, 1);
}

void TPrintHandlers::Footer(TReportOutput &Output, const std::string &,
                            const TCKProjectList &Projects, const TChronarkMan &Document) {
    tprintman &pm = Man(Output);
    pm.SetBold(true);
    if (!pm.Fits(pm.TextHeight()))
        pm.NewPage();
    int32_t h, m, s;
    Document.NetTimeOfProjects(Projects, h, m, s);
    pm.PrintLeftRight("Summe:", PrintDurationText(int64_t{h} * 3600 + m * 60 + s));
}

void TPrintHandlers::Finish(TReportOutput &, const tSubstRec &) {}

// --- The print command ---------------------------------------------------------------------

TPrintResult PrintReport(TPrintCanvas &Canvas, const TChronarkMan &Document,
                         const std::string &DocFileName, const TCKProjectList &Projects) {
    if (Projects.empty())
        return TPrintResult::NothingChosen;
    tprintman pm(Canvas);
    if (!pm.BeginReport(DocFileName))
        return TPrintResult::Failed;
    TPrintHandlers handlers;
    WalkReport(pm, Projects, Document, DocFileName, handlers, {});
    pm.SetFontSize(10);
    pm.SetBold(false);
    pm.PrintPageNumber();
    return pm.EndReport() ? TPrintResult::Printed : TPrintResult::Failed;
}

TPrintResult ExecutePrint(TPrintUi &Ui, const TChronarkMan &Document,
                          const std::string &DocFileName) {
    TCKProjectList projects;
    if (!Ui.AskProjects(Document, projects) || projects.empty())
        return TPrintResult::NothingChosen;
    TPrintCanvas *canvas = Ui.Canvas();
    if (!canvas)
        return TPrintResult::NothingChosen;
    return PrintReport(*canvas, Document, DocFileName, projects);
}
