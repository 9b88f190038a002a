#pragma once
// Shows the program's error and warning messages (app/messages.h) in modal message boxes.

#include <QString>

class QWidget;

// Makes every ShowErrorMessage / ShowWarningMessage a message box over the active window.
void InstallQtMessageDisplay();

// The boxes themselves: one OK button, the error or warning symbol. Text is UTF-16 here.
void ShowErrorBox(QWidget *Owner, const QString &Text);
void ShowWarningBox(QWidget *Owner, const QString &Text);
