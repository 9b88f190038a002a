#include "tools/cliprint.h"

#include "app/qtext.h"
#include "export/u_print.h"
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
#include <unistd.h>

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
    fs::path target = fs::absolute(fs::path(Args.Pdf), fsError);
    if (fsError)
        target = Args.Pdf;
    const std::string shown = EscapeControls(target.string());
    if (fs::is_directory(target, fsError)) {
        Err << "Fehler: \"" << shown << "\" ist ein Ordner.\n";
        return ExitFailed;
    }
    // Written beside the target and renamed when complete: a failed run leaves an existing
    // file as it was, and never a half-written one under its name.
    const fs::path partial = target.parent_path() / ("." + target.filename().string() + "." +
                                                     std::to_string(::getpid()) + ".tmp");
    const auto app = StartApplication();
    TPrintResult result;
    {
        QPrinter printer(QPrinter::HighResolution);
        SetPdfOutput(printer, QString::fromStdString(partial.string()));
        TQtPrintCanvas canvas(printer);
        // The report's header shows the document's file name as the program would.
        result = PrintReport(canvas, document, Utf8ToCp1252(Args.FileName), projects);
    }
    if (result == TPrintResult::Printed) {
        fs::rename(partial, target, fsError);
        if (!fsError)
            return ExitOk;
    }
    fs::remove(partial, fsError);
    if (result == TPrintResult::NothingChosen) {
        Err << "Fehler: Es gibt kein Projekt, das gedruckt werden kann.\n";
        return ExitFailed;
    }
    Err << "Fehler: Die PDF-Datei \"" << shown << "\" kann nicht geschrieben werden.\n";
    return ExitFailed;
}
