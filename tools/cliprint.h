#pragma once
// chronark-cli print: the printed report of "Drucken..." as a PDF file, without a printer.

#include "tools/cliargs.h"

#include <iosfwd>

// Prints Args.FileName into Args.Pdf; messages (UTF-8) go to Err. Answers the exit code.
int RunPrint(const TCliArgs &Args, std::ostream &Err);
