// Saving over the document's own file: what a newer version wrote and what another program
// saved since are not lost without the user's word; projects stay within a file's nesting.

#include "mainwindow_testing.h"

#include <QFile>

namespace {

std::string Native(const QString &Path) {
    return QFile::encodeName(Path).toStdString();
}

QByteArray Contents(const QString &Path) {
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

void Overwrite(const QString &Path, const QByteArray &Bytes) {
    QFile F(Path);
    ASSERT_TRUE(F.open(QIODevice::WriteOnly | QIODevice::Truncate));
    F.write(Bytes);
}

const QByteArray NewerFile = "<ckx version=\"2.0\"><data><project caption=\"Neu\">"
                             "<future><item starttime=\"20070305090000\" "
                             "endtime=\"20070305100000\"/></future></project></data></ckx>";

} // namespace

TEST_F(MainFormTest, AFileOfANewerVersionIsOverwrittenOnlyWhenTheUserSaysSo) {
    struct Case {
        const char *name;
        bool silent;
        std::vector<TPromptAnswer> answers;
        QString saveAs; // the Save As dialog's answer; empty: not shown or cancelled
        bool overwritten;
    } cases[] = {
        {"overwrite", false, {TPromptAnswer::Yes}, {}, true},
        {"cancel", false, {TPromptAnswer::Cancel}, {}, false},
        {"save as, cancelled", false, {TPromptAnswer::No}, QStringLiteral("-"), false},
        {"save as", false, {TPromptAnswer::No}, QStringLiteral("kopie.ckx"), false},
        {"silent", true, {}, {}, false},
    };
    for (const Case &c : cases) {
        const QString Path = FilePath(QStringLiteral("neuer.ckx"));
        Overwrite(Path, NewerFile);
        QFile::remove(FilePath(QStringLiteral("kopie.ckx")));
        Prompts = {};
        Dialogs.Requests.clear();
        TMainFormTestPeer &F = MakeStarted({Native(Path)});
        ASSERT_EQ(Prompts.Warnings.size(), 1) << c.name;
        F.Session().SetSilent(c.silent);
        Prompts.Answers.assign(c.answers.begin(), c.answers.end());
        if (!c.saveAs.isEmpty())
            Dialogs.Answers = {c.saveAs == QStringLiteral("-") ? QString() : FilePath(c.saveAs)};
        F.Doc().Root->AddProject("geändert");
        F.Action("acSave")->trigger();
        EXPECT_EQ(Prompts.Questions.size(), c.silent ? 0 : 1) << c.name;
        // Without questions the user still learns why the window stays modified.
        EXPECT_EQ(Prompts.Warnings.size(), c.silent ? 2 : 1) << c.name;
        if (c.silent) {
            EXPECT_TRUE(Prompts.Warnings.value(1).contains(QStringLiteral("neueren Version")))
                << c.name;
        }
        if (!c.silent) {
            EXPECT_TRUE(Prompts.Questions.value(0).startsWith(
                QStringLiteral("Die Datei wurde mit einer neueren Version erstellt.")))
                << c.name;
        }
        EXPECT_EQ(Contents(Path) == NewerFile, !c.overwritten) << c.name;
        EXPECT_EQ(Dialogs.Requests.size(), c.saveAs.isEmpty() ? 0u : 1u) << c.name;
        const bool savedAs = c.saveAs == QStringLiteral("kopie.ckx");
        EXPECT_EQ(QFile::exists(FilePath(QStringLiteral("kopie.ckx"))), savedAs) << c.name;
        EXPECT_EQ(F.Doc().Modified, !c.overwritten && !savedAs) << c.name;
        if (c.overwritten) {
            // Once saved, the file holds what this version wrote: no more questions.
            F.Doc().Root->AddProject("noch einmal");
            F.Action("acSave")->trigger();
            EXPECT_EQ(Prompts.Questions.size(), 1) << c.name;
            EXPECT_FALSE(F.Doc().Modified) << c.name;
        }
    }
}

TEST_F(MainFormTest, AFileChangedByAnotherProgramIsOverwrittenOnlyWhenTheUserSaysSo) {
    const QString Path =
        WriteDocument("geteilt.ckx", [&](TChronarkMan &D) { D.Root->AddProject("Alt"); });
    TMainFormTestPeer &F = MakeStarted({Native(Path)});
    const QByteArray Theirs = "<ckx><data><project caption=\"Von woanders\"/></data></ckx>";
    Overwrite(Path, Theirs);
    F.Doc().Root->AddProject("Meins");

    F.Session().SetSilent(true);
    F.Action("acSave")->trigger();
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    EXPECT_EQ(Contents(Path), Theirs) << "without questions the other version stays";
    ASSERT_EQ(Prompts.Warnings.size(), 1);
    EXPECT_TRUE(Prompts.Warnings[0].contains(QStringLiteral("nicht überschrieben")));

    F.Session().SetSilent(false);
    Prompts.Answers = {TPromptAnswer::No};
    F.Action("acSave")->trigger();
    ASSERT_EQ(Prompts.Questions.size(), 1);
    EXPECT_TRUE(Prompts.Questions[0].contains(QStringLiteral("anderen Programm geändert")));
    EXPECT_EQ(Contents(Path), Theirs);
    EXPECT_TRUE(F.Doc().Modified);

    Prompts.Answers = {TPromptAnswer::Yes};
    F.Action("acSave")->trigger();
    EXPECT_TRUE(Contents(Path).contains("Meins"));
    EXPECT_FALSE(F.Doc().Modified);
    // The window's own save is no change by another program.
    F.Doc().Root->AddProject("Mehr");
    F.Action("acSave")->trigger();
    EXPECT_EQ(Prompts.Questions.size(), 2);
}

TEST_F(MainFormTest, NoNewProjectBelowTheDeepestAFileCanHold) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *Deepest = F.Doc().Root.get();
    for (int Depth = 1; Depth <= MaxProjectDepth; ++Depth)
        Deepest = Deepest->AddProject("p");
    F.Views().RebuildViews(true);
    ShowProject(Deepest);
    F.Action("acNewProject")->trigger();
    EXPECT_EQ(Deepest->FirstChild, nullptr);
    ASSERT_EQ(Prompts.Errors.size(), 1);
    EXPECT_TRUE(Prompts.Errors[0].contains(QStringLiteral("höchstens 994 Ebenen")))
        << Prompts.Errors[0].toStdString();
}
