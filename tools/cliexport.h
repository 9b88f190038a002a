#pragma once
// chronark-cli export: the program's export with the choices given on the command line. The
// results of these functions carry UTF-8 text for the terminal.

#include "base/result.h"
#include "model/ckm.h"
#include "tools/cliargs.h"

#include <iosfwd>
#include <string>

// Exports args.FileName as Args.Export says; messages (UTF-8) go to Err. DefaultExportDir is
// the export folder beside the program, used without --export-dir. Answers the exit code.
int RunExport(const TCliArgs &Args, const std::string &DefaultExportDir, std::ostream &Err);

// Loads FileName into Man, reporting to Man.OnMessage: a missing file gets a plain message of
// its own (the model reads it as empty input, which the parser reports as a document without
// a root element), worded like the model's message for a file it cannot read.
TResult LoadCliFile(TChronarkMan &Man, const std::string &FileName);
// LoadCliFile with the messages (UTF-8) on Err.
TResult LoadCliDocument(const std::string &FileName, TChronarkMan &Document, std::ostream &Err);

// The projects --project names, in the export dialog's tree order; every project without
// --project. Fails with a German sentence when a path names no project or several.
TResultWith<TCKProjectList> ChooseReportProjects(const TCliExport &Export,
                                                 const TChronarkMan &Document);
