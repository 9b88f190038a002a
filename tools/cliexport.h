#pragma once
// chronark-cli export: the program's export with the choices given on the command line.

#include "model/ckm.h"
#include "tools/cliargs.h"

#include <iosfwd>
#include <string>

// Exports args.FileName as Args.Export says; messages (UTF-8) go to Err. DefaultExportDir is
// the export folder beside the program, used without --export-dir. Answers the exit code.
int RunExport(const TCliArgs &Args, const std::string &DefaultExportDir, std::ostream &Err);

// Loads FileName as the program does; its messages (UTF-8) go to Err.
bool LoadCliDocument(const std::string &FileName, TChronarkMan &Document, std::ostream &Err);

// The projects --project names, in the export dialog's tree order; every project without
// --project. False with a German sentence when a path names no project or several.
bool ChooseReportProjects(const TCliExport &Export, const TChronarkMan &Document,
                          TCKProjectList &Projects, std::string &Error);
