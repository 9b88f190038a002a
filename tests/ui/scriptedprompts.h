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
    // Answers of Choose (button indexes, -1 closes the box) and the buttons each offered.
    std::deque<int> Choices;
    QList<QStringList> ChoiceButtons;

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
    int Choose(const QString &Text, const QStringList &Buttons) override {
        Questions << Text;
        ChoiceButtons << Buttons;
        if (Choices.empty()) {
            ADD_FAILURE() << "unexpected choice: " << Text.toStdString();
            return -1;
        }
        const int C = Choices.front();
        Choices.pop_front();
        return C;
    }
};
