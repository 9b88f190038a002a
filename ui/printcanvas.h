#pragma once
// The printed report's canvas on a QPrinter: a real printer, or a PDF file where none is
// installed.

#include "base/printcanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QTemporaryFile>

#include <optional>

class QPrinter;

class TQtPrintCanvas : public TPrintCanvas {
public:
    // Printer must outlive the canvas; its settings at BeginDoc apply to the job.
    explicit TQtPrintCanvas(QPrinter &APrinter) : Printer(APrinter) {}

    bool BeginDoc(const std::string &Title) override;
    void NewPage() override;
    bool EndDoc() override;
    int DpiX() const override;
    int DpiY() const override;
    int PrintableWidth() const override;
    int PrintableHeight() const override;
    void SetFont(const std::string &Face, int Points, bool Bold) override;
    double TextWidth(const std::string &Text) override;
    int TextHeight(const std::string &Text) override;
    void TextOut(int X, int Y, const std::string &Text) override;
    void FillRect(int Left, int Top, int Right, int Bottom, TPrintColor Color) override;
    void SetClip(int Left, int Top, int Right, int Bottom) override;

private:
    const QFontMetrics &Metrics();

    QPrinter &Printer;
    QPainter Painter;
    QFont Font;
    QRect Clip;
    std::optional<QFontMetrics> FMetrics;
};

// The font for a face name: where the face is missing, a font with the same metrics
// ("Arial" -> "Liberation Sans") stands in before the system's own choice.
QFont PrintFont(const QString &Face, int Points, bool Bold);

// The report's designed paper: A4 at a fixed resolution, until the user chooses another.
void UseReportPaper(QPrinter &Printer);
// A printer that writes Pdf at a fixed resolution on A4 paper.
void SetPdfOutput(QPrinter &Printer, const QString &FileName);

// A PDF drawn into a temporary file of its own, then handed over whole: the caller writes the
// bytes to the chosen file through the program's one write service, which checks the target
// and replaces it only when everything was written.
class TPdfScratch {
public:
    // Points Printer's PDF output at a new temporary file, its paper as chosen; false when
    // none can be made.
    bool Attach(QPrinter &Printer);
    // The finished file; false unless it is a whole PDF (a full temporary folder cuts it
    // short without the printer noticing).
    bool Take(std::string &Data);

private:
    QTemporaryFile File;
};
