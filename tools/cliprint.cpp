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

// The report into Args.Pdf; the reason of a failure names the file.
TResult PrintDocument(const TCliArgs &Args, const TChronarkMan &Document) {
    const TResultWith<TCKProjectList> projects = ChooseReportProjects(Args.Export, Document);
    if (!projects.Result)
        return projects.Result;
    namespace fs = std::filesystem;
    std::error_code fsError;
    fs::path absolute = fs::absolute(fs::path(Args.Pdf), fsError);
    const std::string shown = EscapeControls(fsError ? Args.Pdf : absolute.string());
    const auto fail = [&](const TResult &Cause) {
        std::string text = "Die PDF-Datei \"" + shown + "\" kann nicht geschrieben werden.";
        if (!Cause.Message().empty())
            text.append(" ").append(Cp1252ToUtf8(Cause.Message()));
        return TResult::Failure(Cause.Status(), text);
    };
    const TResult unexplained = TResult::Failure(TStatus::SystemError, {});
    // The name goes on as given, in whatever encoding; the document itself is never the target.
    TWriteOptions options;
    options.Protected = Document.DiskFile;
    if (const TResult target = CheckOutputTarget(Args.Pdf, options); !target)
        return fail(target);
    const auto app = StartApplication();
    TPdfScratch scratch;
    TPrintResult result;
    {
        QPrinter printer(QPrinter::HighResolution);
        UseReportPaper(printer);
        if (!scratch.Attach(printer))
            return fail(unexplained);
        TQtPrintCanvas canvas(printer);
        // The report's header shows the document's file name as the program would.
        result = PrintReport(canvas, Document, Utf8ToCp1252(Args.FileName), projects.Value);
    }
    if (result == TPrintResult::NothingChosen)
        return TResult::Failure(TStatus::BadRequest,
                                "Es gibt kein Projekt, das gedruckt werden kann.");
    std::string data;
    if (result != TPrintResult::Printed || !scratch.Take(data))
        return fail(unexplained);
    if (const TResult written = WriteFileAtomic(Args.Pdf, data, options).Result; !written)
        return fail(written);
    return {};
}

} // namespace

int RunPrint(const TCliArgs &Args, std::ostream &Err) {
    TChronarkMan document;
    // Its messages are out already.
    if (const TResult loaded = LoadCliDocument(Args.FileName, document, Err); !loaded)
        return ExitCode(loaded);
    const TResult printed = PrintDocument(Args, document);
    if (!printed)
        Err << "Fehler: " << printed.Message() << '\n';
    return ExitCode(printed);
}
