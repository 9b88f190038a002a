#pragma once
// What a typed caption or comment may hold, shared by the entry and the project commands.

#include <QString>

class TPromptService;

// Typed text the document cannot store as it is: the user is told why, true.
bool RefuseUnstorable(TPromptService &Prompts, const QString &Text);
// A project caption also refuses quotes and angle brackets.
bool RefuseCaption(TPromptService &Prompts, const QString &Text);
// Asked before a project goes with its entries, from the tree or from a row.
extern const QString ProjectDeleteQuestion;
