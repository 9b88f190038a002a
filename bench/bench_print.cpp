// The printed report against its limits: a 10,000-entry report laid out on a recording canvas
// (limit 0.3 s) and written as a PDF through QPrinter (limit 5 s), and one comment of 100 KB,
// 1 MB and 10 MB wrapped (linear: ten times the text, about ten times the time). Prints the
// medians and exits 1 when a limit is passed.
#include "base/formatsettings.h"
#include "bench/docgen.h"
#include "export/u_print.h"
#include "tests/export/recordingcanvas.h"
#include "ui/printcanvas.h"

#include <QGuiApplication>
#include <QPrinter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

template <typename Fn> double Median(int Rounds, Fn Work) {
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Work();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::string Comment(size_t Bytes) {
    static const std::string words[] = {"Besprechung ", "mit ",        "dem ", "Kunden ",  "über ",
                                        "die\r\n",      "Änderungen ", "am ",  "Entwurf; "};
    std::string text;
    for (size_t i = 0; text.size() < Bytes; ++i)
        text += words[i % 9];
    text.resize(Bytes);
    return text;
}

} // namespace

int main(int argc, char **argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    SetFormatSettings(GermanFormatSettings());
    const fs::path dir = fs::temp_directory_path() / "chronark-bench-print";
    fs::create_directories(dir);
    const std::string docFile = (dir / "doc.ckx").string();
    tDocGenOptions options;
    options.Entries = 10000;
    options.Projects = 60;
    std::ofstream(docFile, std::ios::binary) << GenerateCkx(options);
    TChronarkMan doc;
    if (!doc.LoadFromFile(docFile, false))
        return 2;
    const TCKProjectList all = ProjectsInTreeOrder(doc);
    int status = 0;

    int pages = 0;
    const double layout = Median(5, [&] {
        TRecordingCanvas canvas(600, 4960, 7016);
        PrintReport(canvas, doc, docFile, all);
        pages = canvas.Pages;
    });
    std::printf("layout, 10000 entries, %d pages, recording canvas: %.3f s (limit 0.3 s)\n", pages,
                layout);
    status |= layout > 0.3;

    const std::string pdf = (dir / "doc.pdf").string();
    const double toPdf = Median(3, [&] {
        QPrinter printer(QPrinter::HighResolution);
        SetPdfOutput(printer, QString::fromStdString(pdf));
        TQtPrintCanvas canvas(printer);
        PrintReport(canvas, doc, docFile, all);
    });
    std::printf("PDF through QPrinter, 10000 entries: %.3f s, %.1f MB (limit 5 s)\n", toPdf,
                double(fs::file_size(pdf)) / 1e6);
    status |= toPdf > 5;

    // 100 KB still sits in the processor's cache, so linearity is judged from 1 MB to 10 MB.
    double wrap[3] = {0, 0, 0};
    const size_t sizes[3] = {100 * 1000, 1000 * 1000, 10000 * 1000};
    for (int i = 0; i < 3; ++i) {
        const std::string text = Comment(sizes[i]);
        wrap[i] = Median(5, [&] {
            TRecordingCanvas canvas(600, 4960, 7016);
            tprintman pm(canvas);
            pm.BeginReport("D.ckx");
            TStringList lines;
            WrapText(text, pm.PageWidth() / 2, pm, lines);
        });
        std::printf("wrap one comment of %zu KB: %.4f s\n", sizes[i] / 1000, wrap[i]);
    }
    std::printf("10 MB / 1 MB: %.1f (linear: about 10, limit 15)\n", wrap[2] / wrap[1]);
    status |= wrap[2] / wrap[1] > 15;
    fs::remove_all(dir);
    return status;
}
