#pragma once
// chronark-cli export: the program's export with the choices given on the command line.

#include "tools/cliargs.h"

#include <iosfwd>
#include <string>

// Exports args.FileName as Args.Export says; messages (UTF-8) go to Err. DefaultExportDir is
// the export folder beside the program, used without --export-dir. Answers the exit code.
int RunExport(const TCliArgs &Args, const std::string &DefaultExportDir, std::ostream &Err);
