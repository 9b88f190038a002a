#pragma once
// Prompts that record every notice and answer questions from a script, for window tests.

#include "ui/prompts.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <deque>

class TScriptedPrompts : public TPromptService {
public:
    std::deque<TPromptAnswer> Answers;
    QStringList Questions, Messages, Errors, Warnings;
    QList<bool> WithCancel;

    void ShowMessage(const QString &Text) override { Messages << Text; }
    void ShowError(const QString &Text) override { Errors << Text; }
    void ShowWarning(const QString &Text) override { Warnings << Text; }
    TPromptAnswer Confirm(const QString &Text, bool Cancel) override {
        Questions << Text;
        WithCancel << Cancel;
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << Text.toStdString();
            return Cancel ? TPromptAnswer::Cancel : TPromptAnswer::No;
        }
        const TPromptAnswer A = Answers.front();
        Answers.pop_front();
        return A;
    }
};
