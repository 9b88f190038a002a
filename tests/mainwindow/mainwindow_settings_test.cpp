// The settings command of the main window: the real dialog, answered as soon as it is up.

#include "base/fieldtype.h"
#include "mainwindow_testing.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

// Answers the settings dialog once the command shows it.
void AnswerSettings(std::function<void(QDialog &)> Act) {
    QTimer::singleShot(0, [Act] {
        auto *Dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!Dialog) {
            ADD_FAILURE() << "no settings dialog";
            return;
        }
        Act(*Dialog);
        if (Dialog->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            Dialog->reject();
        }
    });
}

void Click(const QDialog &Dialog, const char *Name) {
    auto *Button = Dialog.findChild<QPushButton *>(QString::fromLatin1(Name));
    ASSERT_NE(Button, nullptr) << Name;
    Button->click();
}

void ChooseProject(const QDialog &Dialog, const QString &Caption) {
    auto *Tree = Dialog.findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
    ASSERT_NE(Tree, nullptr);
    const QList<QTreeWidgetItem *> Found = Tree->findItems(Caption, Qt::MatchRecursive);
    ASSERT_EQ(Found.size(), 1);
    Tree->setCurrentItem(Found.front());
}

TEST_F(MainFormTest, SettingsChosenOnOkReachTheDocumentAndTheSaveCommand) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *Target = F.Doc().NewProject(F.Doc().Root.get(), "Messungen");
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    ASSERT_TRUE(F.Action("acSettings")->isEnabled());
    ASSERT_FALSE(F.Action("acSave")->isEnabled());

    AnswerSettings([](QDialog &Dialog) {
        ChooseProject(Dialog, QStringLiteral("Messungen"));
        Click(Dialog, "AddButton");
        Click(Dialog, "OkButton");
    });
    F.Action("acSettings")->trigger();
    EXPECT_EQ(F.Doc().DefaultProject, Target);
    EXPECT_EQ(F.Doc().FieldDefs, (tFieldDefList{{"Feld1", ftString}}));
    EXPECT_TRUE(F.Action("acSave")->isEnabled());
    EXPECT_EQ(F.Action("acSave")->property("imageIndex").toInt(), int(imgSave));
    // Closing now asks about the change instead of dropping it.
    EXPECT_TRUE(F.Doc().Modified);

    // The next measurement lands in the chosen project.
    F.Action("TBSubmenuItem2")->trigger();
    Clock.Advance(60);
    F.Action("TBSubmenuItem12")->trigger();
    EXPECT_EQ(Target->TimeItems().size(), 1u);
    EXPECT_TRUE(Prompts.Messages.isEmpty());
}

TEST_F(MainFormTest, SettingsOkWithoutChangesEnablesSaveOnly) {
    TMainFormTestPeer &F = MakeStarted();
    AnswerSettings([](QDialog &Dialog) { Click(Dialog, "OkButton"); });
    F.Action("acSettings")->trigger();
    EXPECT_TRUE(F.Action("acSave")->isEnabled());
    EXPECT_EQ(F.Action("acSave")->property("imageIndex").toInt(), int(imgSave));
    EXPECT_FALSE(F.Doc().Modified);
}

TEST_F(MainFormTest, SettingsCancelledLeaveDocumentAndSaveCommandAlone) {
    TMainFormTestPeer &F = MakeStarted();
    F.Doc().NewProject(F.Doc().Root.get(), "Messungen");
    F.Doc().AddFieldDef("Kunde", ftString);
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    AnswerSettings([](QDialog &Dialog) {
        ChooseProject(Dialog, QStringLiteral("Messungen"));
        Click(Dialog, "AddButton");
        Click(Dialog, "CancelButton");
    });
    F.Action("acSettings")->trigger();
    EXPECT_EQ(F.Doc().DefaultProject, F.Doc().Root.get());
    EXPECT_EQ(F.Doc().FieldDefs, (tFieldDefList{{"Kunde", ftString}}));
    EXPECT_FALSE(F.Action("acSave")->isEnabled());
    EXPECT_FALSE(F.Doc().Modified);
}

} // namespace
