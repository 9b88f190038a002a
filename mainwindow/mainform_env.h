#pragma once
// What the main window works with besides its document: the prompts and dialogs (its own or
// the caller's), the settings registry, the export profiles' folder and the screen area.

#include "app/registry.h"
#include "dialogs/entrydialogs.h"
#include "mainwindow/mainform.h"
#include "ui/filedialogs.h"
#include "ui/prompts.h"

#include <memory>
#include <string>

struct TMainFormEnv {
    TMainFormEnv(const TMainForm::TOptions &Options, QWidget *Owner);

    std::unique_ptr<TPromptService> OwnPrompts;
    std::unique_ptr<TFileDialogService> OwnFileDialogs;
    std::unique_ptr<TEntryDialogService> OwnEntryDialogs;
    TPromptService &Prompts;
    TFileDialogService &FileDialogs;
    TEntryDialogService &EntryDialogs;
    std::unique_ptr<TRegistry> Registry;
    // Ends with a separator.
    QString ExportDir;
    // Invalid: the screen the window is on.
    QRect ScreenArea;
    // The file type the export's save dialog used last in this session.
    std::string LastExportFileType;
};
