#include "base/dates.h"
#include "base/fieldtype.h"
#include "dialogs/f_settings.h"

#include "app/qtext.h"
#include "dialogs_testing.h"
#include "tests/ui/scriptedprompts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

namespace {

enum { RowKunde, RowMenge, RowFrei };

class FileSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Doc.AddFieldDef("Kunde", ftString);
        Doc.AddFieldDef("Menge", ftString);
        Doc.AddFieldDef("Frei", ftDateTime);
        Alpha = Doc.Root->AddProject("alpha");
        Beta = Doc.NewProject(Alpha, "Beta");
        Doc.DefaultProject = Beta;
        const TDateTime Start = EncodeDateTime(2024, 3, 4, 9, 0, 0);
        A = Alpha->AddTime({Start, AddSeconds(Start, 60), "a", {{"Kunde", "Acme"}}});
        B = Beta->AddTime({Start, AddSeconds(Start, 90), "b", {{"Menge", "abc"}}});
        Doc.SetSaved(true);
    }

    void Open() {
        Form = std::make_unique<TFileSettingsForm>(Prompts, Doc);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        Grid = Control<QTableWidget>(*Form, "ValueListEditor1");
        Control<QTabWidget>(*Form, "PageControl1")->setCurrentIndex(1);
    }
    QLineEdit *OpenLine() const {
        for (QWidget *Editor : Grid->viewport()->findChildren<QWidget *>("FieldEditor")) {
            if (!Editor->isVisible())
                continue;
            if (auto *Combo = qobject_cast<QComboBox *>(Editor))
                return Combo->lineEdit();
            return qobject_cast<QLineEdit *>(Editor);
        }
        return nullptr;
    }
    // Types Text into a cell and leaves it with Return.
    void Type(int Row, int Column, const QString &Text) {
        Grid->setCurrentCell(Row, Column);
        Grid->editItem(Grid->item(Row, Column));
        QLineEdit *Line = OpenLine();
        ASSERT_NE(Line, nullptr);
        Line->setText(Text);
        QTest::keyClick(Line, Qt::Key_Return);
    }
    QStringList Column(int Col) const {
        QStringList Texts;
        for (int Row = 0; Row < Grid->rowCount(); ++Row)
            Texts << Grid->item(Row, Col)->text();
        return Texts;
    }
    void SelectRow(int Row) {
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {},
                          Grid->visualItemRect(Grid->item(Row, 0)).center());
        ASSERT_EQ(Grid->currentRow(), Row);
    }

    TScriptedPrompts Prompts;
    TChronarkMan Doc;
    TCKProjectItem *Alpha = nullptr, *Beta = nullptr;
    TCKTimeItem *A = nullptr, *B = nullptr;
    std::unique_ptr<TFileSettingsForm> Form;
    QTableWidget *Grid = nullptr;
};

TEST_F(FileSettingsTest, OpensOnTheDefaultProjectWithEveryFieldAndItsTypeName) {
    Form = std::make_unique<TFileSettingsForm>(Prompts, Doc);
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Dokumenteinstellungen"));
    const auto *Tabs = Control<QTabWidget>(*Form, "PageControl1");
    EXPECT_EQ(Tabs->currentIndex(), 0);
    EXPECT_EQ(Tabs->tabText(0), QStringLiteral("Standardprojekt"));
    EXPECT_EQ(Tabs->tabText(1), QStringLiteral("Felder"));
    const auto *Tree = Control<QTreeWidget>(*Form, "TreeView1");
    ASSERT_EQ(Tree->topLevelItemCount(), 1);
    EXPECT_EQ(Tree->topLevelItem(0)->text(0), QStringLiteral("Projekte"));
    ASSERT_NE(Tree->currentItem(), nullptr);
    EXPECT_EQ(Tree->currentItem()->text(0), QStringLiteral("Beta"));
    EXPECT_TRUE(Tree->currentItem()->parent()->isExpanded());
    EXPECT_EQ(Form->Settings().DefaultProject, Beta);

    Grid = Control<QTableWidget>(*Form, "ValueListEditor1");
    EXPECT_TRUE(Grid->isEnabled());
    EXPECT_EQ(Grid->horizontalHeaderItem(0)->text(), QStringLiteral("Schlüssel"));
    EXPECT_EQ(Grid->horizontalHeaderItem(1)->text(), QStringLiteral("Wert"));
    EXPECT_EQ(Column(0), (QStringList{"Kunde", "Menge", "Frei"}));
    EXPECT_EQ(Column(1), (QStringList{"String", "String", "Date"}));
    EXPECT_FALSE(Control<QPushButton>(*Form, "DeleteButton")->isEnabled());
    EXPECT_TRUE(Form->Settings().UseInfo()[RowKunde].InUse);
    EXPECT_FALSE(Form->Settings().UseInfo()[RowFrei].InUse);

    TChronarkMan Empty;
    TFileSettingsForm Bare(Prompts, Empty);
    EXPECT_FALSE(Control<QTableWidget>(Bare, "ValueListEditor1")->isEnabled());
    // The root is the default project of a new document: the top node stands for it.
    EXPECT_EQ(Control<QTreeWidget>(Bare, "TreeView1")->currentItem()->text(0),
              QStringLiteral("Projekte"));
}

TEST_F(FileSettingsTest, NewFieldsAreNumberedAndAFreedNumberIsTakenAgain) {
    Doc.FieldDefs.clear();
    Doc.ReindexFieldDefs();
    Open();
    EXPECT_FALSE(Grid->isEnabled());
    for (int i = 0; i < 3; ++i)
        Press(*Form, "AddButton");
    EXPECT_TRUE(Grid->isEnabled());
    EXPECT_EQ(Column(0), (QStringList{"Feld1", "Feld2", "Feld3"}));
    EXPECT_EQ(Column(1), (QStringList{"String", "String", "String"}));
    auto *Delete = Control<QPushButton>(*Form, "DeleteButton");
    SelectRow(1);
    EXPECT_TRUE(Delete->isEnabled());
    Press(*Form, "DeleteButton");
    EXPECT_FALSE(Delete->isEnabled());
    Press(*Form, "AddButton");
    EXPECT_EQ(Column(0), (QStringList{"Feld1", "Feld3", "Feld2"}));
    for (int Row : {2, 1, 0}) {
        SelectRow(Row);
        Press(*Form, "DeleteButton");
    }
    EXPECT_FALSE(Grid->isEnabled());
    EXPECT_TRUE(Prompts.Messages.isEmpty());
}

TEST_F(FileSettingsTest, AFieldInUseIsNotDeleted) {
    Open();
    SelectRow(RowKunde);
    Press(*Form, "DeleteButton");
    EXPECT_EQ(Prompts.Messages,
              QStringList{"Feld ist in Benutzung und kann daher nicht gelöscht werden."});
    EXPECT_EQ(Column(0), (QStringList{"Kunde", "Menge", "Frei"}));
    SelectRow(RowFrei);
    Press(*Form, "DeleteButton");
    EXPECT_EQ(Column(0), (QStringList{"Kunde", "Menge"}));
}

struct TCellCase {
    const char *Name;
    int Row;
    int Column;
    QString Typed;
    QString Message; // empty when the text is taken
    QString Shown;   // what the cell shows afterwards
};

class FileSettingsCellTest : public FileSettingsTest,
                             public ::testing::WithParamInterface<TCellCase> {};

TEST_P(FileSettingsCellTest, RefusesWithTheMessageAndKeepsTheTypedText) {
    const TCellCase &Case = GetParam();
    Open();
    const QStringList Before = Column(Case.Column);
    Type(Case.Row, Case.Column, Case.Typed);
    EXPECT_TRUE(Form->isVisible());
    if (Case.Message.isEmpty()) {
        EXPECT_TRUE(Prompts.Messages.isEmpty()) << Prompts.Messages.join('|').toStdString();
        EXPECT_EQ(Grid->item(Case.Row, Case.Column)->text(), Case.Shown);
        return;
    }
    EXPECT_EQ(Prompts.Messages, QStringList{Case.Message});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const QLineEdit *Line = OpenLine();
        return Line && Line->hasFocus() && Line->text() == Case.Typed;
    }));
    EXPECT_EQ(Column(Case.Column), Before);
    // OK checks the open cell again and stays.
    Press(*Form, "OkButton");
    EXPECT_EQ(Prompts.Messages.size(), 2);
    EXPECT_TRUE(Form->isVisible());
    Press(*Form, "CancelButton");
    EXPECT_EQ(Form->result(), QDialog::Rejected);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, FileSettingsCellTest,
    ::testing::Values(TCellCase{"EqualsSign", RowFrei, 0, "a=b",
                                "Schlüssel darf keine Gleichheitszeichen (\"=\") enthalten", ""},
                      TCellCase{"TakenInOtherCase", RowFrei, 0, "kunde",
                                "Schlüssel mit der Bezeichnung \"kunde\" existiert bereits", ""},
                      TCellCase{"OwnNameInOtherCase", RowKunde, 0, "KUNDE", "", "KUNDE"},
                      TCellCase{"EmptyName", RowFrei, 0, "", "Feldname darf nicht leer sein", ""},
                      TCellCase{"Unstorable", RowFrei, 0, "Feld\u4E00",
                                "Diese Zeichen können im Dokument nicht gespeichert werden: \u4E00",
                                ""},
                      TCellCase{"UnknownType", RowFrei, 1, "text", "falscher Wert", ""},
                      TCellCase{"DateTyped", RowFrei, 1, "date", "", "Date"},
                      TCellCase{"TypeNameInCapitals", RowKunde, 1, "STRING", "", "String"},
                      TCellCase{"ValuesDoNotFit", RowMenge, 1, "Integer", "falscher Typ", ""},
                      TCellCase{"UnusedTakesAnyType", RowFrei, 1, "boolean", "", "Boolean"}),
    [](const ::testing::TestParamInfo<TCellCase> &Info) { return Info.param.Name; });

TEST_F(FileSettingsTest, ARenamedFieldInUseIsStillCheckedAgainstItsValues) {
    Open();
    Type(RowMenge, 0, "Anzahl");
    EXPECT_EQ(Grid->item(RowMenge, 0)->text(), QStringLiteral("Anzahl"));
    Type(RowMenge, 1, "Integer");
    EXPECT_EQ(Prompts.Messages, QStringList{"falscher Typ"});
}

TEST_F(FileSettingsTest, OkWritesChoicesAndCarriesRenamesIntoTheEntries) {
    WhenModal([&](QDialog &Dialog) {
        auto *Tree = Control<QTreeWidget>(Dialog, "TreeView1");
        Tree->setCurrentItem(Tree->topLevelItem(0)->child(0)); // alpha
        Control<QTabWidget>(Dialog, "PageControl1")->setCurrentIndex(1);
        Grid = Control<QTableWidget>(Dialog, "ValueListEditor1");
        Type(RowKunde, 0, "Auftraggeber");
        Type(RowMenge, 0, "menge"); // letter case only: the values keep theirs
        Type(RowFrei, 1, "Float");
        Press(Dialog, "OkButton");
    });
    ASSERT_EQ(FileSettingsDialog(nullptr, Prompts, nullptr, Doc), TSettingsOutcome::Changed);
    EXPECT_EQ(Doc.DefaultProject, Alpha);
    const tFieldDefList Expected = {
        {"Auftraggeber", ftString}, {"menge", ftString}, {"Frei", ftFloat}};
    EXPECT_EQ(Doc.FieldDefs, Expected);
    EXPECT_EQ(A->Fields, (tFieldList{{"Auftraggeber", "Acme"}}));
    EXPECT_EQ(B->Fields, (tFieldList{{"Menge", "abc"}}));
    EXPECT_TRUE(Prompts.Messages.isEmpty());
    EXPECT_TRUE(Doc.Modified); // the document's commands mark it
}

TEST_F(FileSettingsTest, OkWithoutAChangeSaysSoAndLeavesTheDocumentAsItWas) {
    const tFieldDefList Defs = Doc.FieldDefs;
    WhenModal([&](QDialog &Dialog) { Press(Dialog, "OkButton"); });
    EXPECT_EQ(FileSettingsDialog(nullptr, Prompts, nullptr, Doc), TSettingsOutcome::Unchanged);
    EXPECT_EQ(Doc.DefaultProject, Beta);
    EXPECT_EQ(Doc.FieldDefs, Defs);
}

TEST_F(FileSettingsTest, CancelWritesNothing) {
    const tFieldDefList Defs = Doc.FieldDefs;
    WhenModal([&](QDialog &Dialog) {
        auto *Tree = Control<QTreeWidget>(Dialog, "TreeView1");
        Tree->setCurrentItem(Tree->topLevelItem(0));
        Control<QTabWidget>(Dialog, "PageControl1")->setCurrentIndex(1);
        Grid = Control<QTableWidget>(Dialog, "ValueListEditor1");
        Type(RowKunde, 0, "Auftraggeber");
        Press(Dialog, "AddButton");
        SelectRow(RowFrei);
        Press(Dialog, "DeleteButton");
        Press(Dialog, "CancelButton");
    });
    EXPECT_EQ(FileSettingsDialog(nullptr, Prompts, nullptr, Doc), TSettingsOutcome::Cancelled);
    EXPECT_EQ(Doc.DefaultProject, Beta);
    EXPECT_EQ(Doc.FieldDefs, Defs);
    EXPECT_EQ(A->Fields, (tFieldList{{"Kunde", "Acme"}}));
}

} // namespace
