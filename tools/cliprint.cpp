#include "tools/cliprint.h"

#include "app/qtext.h"
#include "base/cp1252.h"
#include "export/u_print.h"
#include "model/ckfileio.h"
#include "tools/cliexport.h"
#include "tools/climessages.h"
#include "ui/printcanvas.h"

#include <QGuiApplication>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>

namespace {

// Fonts and the PDF writer need an application; without a display it draws offscreen.
std::unique_ptr<QGuiApplication> StartApplication() {
    if (QCoreApplication::instance())
        return nullptr;
    const auto unset = [](const char *Name) {
        const char *value = std::getenv(Name);
        return !value || !*value;
    };
    if (unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt's notes about the environment (no runtime folder and the like) are not the user's.
    qInstallMessageHandler([](QtMsgType Type, const QMessageLogContext &, const QString &Text) {
        if (Type == QtCriticalMsg || Type == QtFatalMsg)
            fprintf(stderr, "%s\n", Text.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "chronark-cli";
    static char *argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int RunPrint(const TCliArgs &Args, std::ostream &Err) {
    TChronarkMan document;
    if (!LoadCliDocument(Args.FileName, document, Err))
        return ExitFailed;
    TCKProjectList projects;
    std::string error;
    if (!ChooseReportProjects(Args.Export, document, projects, error)) {
        Err << "Fehler: " << error << '\n';
        return ExitFailed;
    }
    namespace fs = std::filesystem;
    std::error_code fsError;
    fs::path absolute = fs::absolute(fs::path(Args.Pdf), fsError);
    const std::string shown = EscapeControls(fsError ? Args.Pdf : absolute.string());
    const auto fail = [&](const std::string &Reason) {
        Err << "Fehler: Die PDF-Datei \"" << shown << "\" kann nicht geschrieben werden."
            << (Reason.empty() ? "" : " " + Cp1252ToUtf8(Reason)) << '\n';
        return ExitFailed;
    };
    // The name goes on as given, in whatever encoding; the document itself is never the target.
    TWriteOptions options;
    options.Protected = document.DiskFile;
    std::string reason;
    if (!CheckOutputTarget(Args.Pdf, options, reason))
        return fail(reason);
    const auto app = StartApplication();
    TPdfScratch scratch;
    TPrintResult result;
    {
        QPrinter printer(QPrinter::HighResolution);
        UseReportPaper(printer);
        if (!scratch.Attach(printer))
            return fail({});
        TQtPrintCanvas canvas(printer);
        // The report's header shows the document's file name as the program would.
        result = PrintReport(canvas, document, Utf8ToCp1252(Args.FileName), projects);
    }
    if (result == TPrintResult::NothingChosen) {
        Err << "Fehler: Es gibt kein Projekt, das gedruckt werden kann.\n";
        return ExitFailed;
    }
    std::string data;
    TSaveReport report;
    if (result != TPrintResult::Printed || !scratch.Take(data))
        return fail({});
    if (!WriteFileAtomic(Args.Pdf, data, report, options))
        return fail(report.Reason);
    return ExitOk;
}
