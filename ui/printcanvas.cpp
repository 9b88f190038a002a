#include "ui/printcanvas.h"

#include "app/qtext.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPageSize>
#include <QPrinter>

QFont PrintFont(const QString &Face, int Points, bool Bold) {
    QFont F;
    QStringList Families{Face};
    if (Face.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0)
        Families << QStringLiteral("Liberation Sans");
    F.setFamilies(Families);
    F.setPointSize(Points > 0 ? Points : 1);
    F.setBold(Bold);
    // The layout measures in printer pixels; hinting for the screen would skew the widths.
    F.setHintingPreference(QFont::PreferNoHinting);
    return F;
}

void UseReportPaper(QPrinter &Printer) {
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setResolution(600);
    Printer.setPageSize(QPageSize(QPageSize::A4));
}

void SetPdfOutput(QPrinter &Printer, const QString &FileName) {
    UseReportPaper(Printer);
    Printer.setOutputFileName(FileName);
}

bool TQtPrintCanvas::BeginDoc(const std::string &Title) {
    Printer.setDocName(ToQ(Title));
    if (!Painter.begin(&Printer))
        return false;
    Painter.setPen(Qt::black);
    return true;
}

void TQtPrintCanvas::NewPage() {
    Printer.newPage();
    if (!Clip.isNull())
        Painter.setClipRect(Clip);
}

bool TQtPrintCanvas::EndDoc() {
    return Painter.end() && Printer.printerState() != QPrinter::Error;
}

int TQtPrintCanvas::DpiX() const {
    return Printer.logicalDpiX();
}

int TQtPrintCanvas::DpiY() const {
    return Printer.logicalDpiY();
}

int TQtPrintCanvas::PrintableWidth() const {
    return Printer.width();
}

int TQtPrintCanvas::PrintableHeight() const {
    return Printer.height();
}

void TQtPrintCanvas::SetFont(const std::string &Face, int Points, bool Bold) {
    Font = PrintFont(ToQ(Face), Points, Bold);
    Painter.setFont(Font);
    FMetrics.reset();
}

double TQtPrintCanvas::TextWidth(const std::string &Text) {
    return Metrics().horizontalAdvance(ToQ(Text));
}

int TQtPrintCanvas::TextHeight(const std::string &Text) {
    // The line height of the font, whatever the letters: "Ag" spans ascent and descent.
    (void)Text;
    return Metrics().height();
}

const QFontMetrics &TQtPrintCanvas::Metrics() {
    if (!FMetrics)
        FMetrics.emplace(Font, &Printer);
    return *FMetrics;
}

void TQtPrintCanvas::TextOut(int X, int Y, const std::string &Text) {
    Painter.drawText(X, Y + Metrics().ascent(), ToQ(Text));
}

void TQtPrintCanvas::FillRect(int Left, int Top, int Right, int Bottom, TPrintColor Color) {
    if (Right <= Left || Bottom <= Top)
        return;
    Painter.fillRect(QRect(Left, Top, Right - Left, Bottom - Top),
                     QColor(Color.Red, Color.Green, Color.Blue));
}

void TQtPrintCanvas::SetClip(int Left, int Top, int Right, int Bottom) {
    Clip = QRect(Left, Top, Right - Left, Bottom - Top);
    Painter.setClipRect(Clip);
}

bool TPdfScratch::Attach(QPrinter &Printer) {
    File.setFileTemplate(QDir::tempPath() + QStringLiteral("/chronark-XXXXXX.pdf"));
    if (!File.open())
        return false;
    // The printer opens the file by its name.
    File.close();
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(File.fileName());
    return true;
}

bool TPdfScratch::Take(std::string &Data) {
    QFile Written(File.fileName());
    if (File.fileName().isEmpty() || !Written.open(QIODevice::ReadOnly))
        return false;
    const QByteArray Bytes = Written.readAll();
    if (!Bytes.startsWith("%PDF-") || !Bytes.right(1024).contains("%%EOF"))
        return false;
    Data.assign(Bytes.constData(), size_t(Bytes.size()));
    return true;
}
