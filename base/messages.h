#pragma once
// The one way the program shows an error or a warning to the user. The windows install a
// message box (InstallQtMessageDisplay); without one the text goes to stderr.

#include <functional>
#include <string>

enum class TMessageKind { Error, Warning };

// Text is 8-bit Windows-1252; line breaks are CR LF.
using TMessageProc = std::function<void(TMessageKind Kind, const std::string &Text)>;

// Replaces the display and returns the previous one; an empty function restores stderr.
TMessageProc SetMessageHandler(TMessageProc Handler);

void ShowErrorMessage(const std::string &Text);
void ShowWarningMessage(const std::string &Text);
