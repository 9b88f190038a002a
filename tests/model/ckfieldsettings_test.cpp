#include "base/dates.h"
#include "base/fieldtype.h"
#include "base/formatsettings.h"
#include "model/ckfieldsettings.h"
#include "model/ckm.h"

#include <gtest/gtest.h>

namespace {

using TRowCheck = TFieldSettings::TRowCheck;
using TNameCheck = TFieldSettings::TNameCheck;

class FieldSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(GermanFormatSettings()); }

    TCKTimeItem *AddEntry(tFieldList Fields, TCKProjectItem *Project = nullptr) {
        const TDateTime Start = EncodeDateTime(2024, 3, 4, 9, 0, ++Seconds % 60);
        return (Project ? Project : Doc.Root.get())
            ->AddTime({Start, AddSeconds(Start, 60), {}, std::move(Fields)});
    }
    static std::vector<std::string> Ids(const tFieldDefList &Defs) {
        std::vector<std::string> Result;
        for (const tFieldDefItem &Def : Defs)
            Result.push_back(Def.Id);
        return Result;
    }

    int Changes = 0;
    int Seconds = 0;
    TChronarkMan Doc{[this](bool) { ++Changes; }};
};

TEST_F(FieldSettingsTest, NewFieldsTakeTheSmallestFreeNumber) {
    TFieldSettings Settings(Doc);
    EXPECT_EQ(Settings.Add(), 0);
    Settings.Add();
    Settings.Add();
    EXPECT_EQ(Ids(Settings.FieldDefs()), (std::vector<std::string>{"Feld1", "Feld2", "Feld3"}));
    ASSERT_TRUE(Settings.Delete(1));
    EXPECT_EQ(Settings.Add(), 2);
    EXPECT_EQ(Ids(Settings.FieldDefs()), (std::vector<std::string>{"Feld1", "Feld3", "Feld2"}));
    EXPECT_EQ(Settings.FieldDefs()[2].FieldType, ftString);
    EXPECT_FALSE(Settings.UseInfo()[2].InUse);
    EXPECT_EQ(Settings.UseInfo()[2].InitialId, "");

    // Numbers are looked up exactly: a field named feld1 leaves Feld1 free.
    Doc.AddFieldDef("feld1", ftString);
    TFieldSettings Other(Doc);
    Other.Add();
    EXPECT_EQ(Other.FieldDefs()[1].Id, "Feld1");
}

TEST_F(FieldSettingsTest, UseIsTakenWhenEditingBeginsAndBlocksDeleting) {
    Doc.AddFieldDef("Kunde", ftString);
    Doc.AddFieldDef("kunde2", ftString);
    Doc.AddFieldDef("Ort", ftString);
    TCKProjectItem *Sub = Doc.Root->AddProject("Sub");
    AddEntry({{"Kunde", "Acme"}}, Sub);
    AddEntry({{"Kunde2", "x"}}); // another letter case: not a use of kunde2
    TFieldSettings Settings(Doc);
    EXPECT_TRUE(Settings.UseInfo()[0].InUse);
    EXPECT_FALSE(Settings.UseInfo()[1].InUse);
    EXPECT_FALSE(Settings.Delete(0));
    EXPECT_EQ(Settings.Count(), 3);
    EXPECT_TRUE(Settings.Delete(2));
    EXPECT_TRUE(Settings.Delete(1));
    EXPECT_EQ(Ids(Settings.FieldDefs()), (std::vector<std::string>{"Kunde"}));
    EXPECT_EQ(Doc.FieldDefs.size(), 3u); // nothing reaches the document before Apply
}

TEST_F(FieldSettingsTest, NamesWithEqualsOrTakenInAnyCaseAreRefused) {
    Doc.AddFieldDef("Kunde", ftString);
    Doc.AddFieldDef("Ort", ftString);
    const TFieldSettings Settings(Doc);
    const struct {
        const char *Name;
        int Row;
        std::string Typed;
        TNameCheck Expected;
    } Rows[] = {
        {"other row in another case", 1, "kunde", TNameCheck::Exists},
        {"other row exactly", 0, "Ort", TNameCheck::Exists},
        {"own row in another case", 0, "KUNDE", TNameCheck::Ok},
        {"umlauts fold only A to Z", 1, "Kunde\xE4", TNameCheck::Ok},
        {"equals sign", 1, "a=b", TNameCheck::HasEquals},
        {"empty name is the row's concern", 1, "", TNameCheck::Ok},
    };
    for (const auto &Row : Rows)
        EXPECT_EQ(Settings.CheckName(Row.Row, Row.Typed), Row.Expected) << Row.Name;
}

TEST_F(FieldSettingsTest, EditedRowsAreCheckedInOrderAndStoredOnlyWhenAccepted) {
    Doc.AddFieldDef("Menge", ftString);
    Doc.AddFieldDef("Frei", ftString);
    AddEntry({{"Menge", "12"}});
    AddEntry({{"Menge", ""}, {"frei", "abc"}}); // not a value of Frei: ids match exactly
    const struct {
        const char *Name;
        int Row;
        std::string Type;
        TRowCheck Expected;
        int StoredType;
    } Rows[] = {
        {"date can be typed", 1, "date", TRowCheck::Ok, ftDateTime},
        {"any letter case", 1, "bOOLEAN", TRowCheck::Ok, ftBoolean},
        {"unknown type name", 1, "text", TRowCheck::BadTypeName, ftString},
        {"whole numbers and empty values fit", 0, "Integer", TRowCheck::Ok, ftInteger},
        {"whole numbers are floats", 0, "Float", TRowCheck::Ok, ftFloat},
        {"a number is no Boolean", 0, "Boolean", TRowCheck::WrongType, ftString},
        {"unused field takes any type", 1, "Integer", TRowCheck::Ok, ftInteger},
    };
    for (const auto &Row : Rows) {
        TFieldSettings Settings(Doc);
        EXPECT_EQ(Settings.SetTypeText(Row.Row, Row.Type), Row.Expected) << Row.Name;
        EXPECT_EQ(Settings.FieldDefs()[Row.Row].FieldType, Row.StoredType) << Row.Name;
    }

    TFieldSettings Settings(Doc);
    EXPECT_EQ(Settings.SetName(0, ""), TRowCheck::EmptyName);
    EXPECT_EQ(Settings.FieldDefs()[0].Id, "Menge");
    // An abc among the values refuses numbers.
    AddEntry({{"Menge", "abc"}});
    TFieldSettings Later(Doc);
    EXPECT_EQ(Later.SetTypeText(0, "Integer"), TRowCheck::WrongType);
    EXPECT_EQ(Later.FieldDefs()[0].FieldType, ftString);
}

TEST_F(FieldSettingsTest, RenamedFieldIsStillCheckedAgainstItsOwnValues) {
    Doc.AddFieldDef("Menge", ftString);
    AddEntry({{"Menge", "abc"}});
    TFieldSettings Settings(Doc);
    ASSERT_EQ(Settings.SetName(0, "Anzahl"), TRowCheck::Ok);
    EXPECT_EQ(Settings.StoredId(0), "Menge");
    EXPECT_EQ(Settings.SetTypeText(0, "Integer"), TRowCheck::WrongType);
}

TEST_F(FieldSettingsTest, ApplyCarriesRenamesButNotCaseChanges) {
    Doc.AddFieldDef("Kunde", ftString);
    Doc.AddFieldDef("Ort", ftString);
    Doc.AddFieldDef("Neu", ftString);
    TCKProjectItem *Sub = Doc.Root->AddProject("Sub");
    TCKTimeItem *A = AddEntry({{"Kunde", "Acme"}, {"Ort", "Bonn"}}, Sub);
    TCKTimeItem *B = AddEntry({{"Kunde", "X"}, {"Kunde", "Y"}});
    TFieldSettings Settings(Doc);
    ASSERT_EQ(Settings.SetName(0, "Auftraggeber"), TRowCheck::Ok);
    ASSERT_EQ(Settings.SetName(1, "ORT"), TRowCheck::Ok);
    ASSERT_EQ(Settings.SetTypeText(2, "Integer"), TRowCheck::Ok);
    Settings.DefaultProject = Sub;
    Changes = 0;

    EXPECT_TRUE(Settings.Apply(Doc));
    EXPECT_GT(Changes, 0); // the document's commands mark it modified
    EXPECT_TRUE(Doc.Modified);
    EXPECT_EQ(Doc.DefaultProject, Sub);
    EXPECT_EQ(Ids(Doc.FieldDefs), (std::vector<std::string>{"Auftraggeber", "ORT", "Neu"}));
    EXPECT_TRUE(Doc.FieldDefExists("auftraggeber"));
    EXPECT_FALSE(Doc.FieldDefExists("Kunde"));
    EXPECT_EQ(Doc.FieldDefType("neu"), ftInteger);
    EXPECT_EQ(A->Fields, (tFieldList{{"Auftraggeber", "Acme"}, {"Ort", "Bonn"}}));
    EXPECT_EQ(B->Fields, (tFieldList{{"Auftraggeber", "X"}, {"Kunde", "Y"}}));

    TFieldSettings Unchanged(Doc);
    EXPECT_FALSE(Unchanged.Apply(Doc));
}

TEST_F(FieldSettingsTest, SwappedNamesKeepEveryValueWithItsField) {
    Doc.AddFieldDef("A", ftString);
    Doc.AddFieldDef("B", ftString);
    TCKTimeItem *E = AddEntry({{"A", "1"}, {"B", "2"}});
    TFieldSettings Settings(Doc);
    ASSERT_EQ(Settings.SetName(0, "X"), TRowCheck::Ok);
    ASSERT_EQ(Settings.SetName(1, "A"), TRowCheck::Ok);
    ASSERT_EQ(Settings.SetName(0, "B"), TRowCheck::Ok);
    Settings.Apply(Doc);
    EXPECT_EQ(Ids(Doc.FieldDefs), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(E->Fields, (tFieldList{{"B", "1"}, {"A", "2"}}));
}

TEST_F(FieldSettingsTest, RenamingAtOnceMatchesOneByOneWithoutChains) {
    TCKTimeItem *E = AddEntry({{"a", "1"}, {"a", "2"}, {"b", "3"}});
    RenameFieldsAtOnce(Doc, {{"a", "x"}, {"a", "y"}, {"c", "z"}});
    EXPECT_EQ(E->Fields, (tFieldList{{"x", "1"}, {"y", "2"}, {"b", "3"}}));
}

TEST(FieldTypeNames, ShownByNumberAndReadInAnyCase) {
    EXPECT_EQ(FieldTypeName(ftDateTime), "Date");
    EXPECT_EQ(FieldTypeName(ftFloat), "Float");
    EXPECT_EQ(FieldTypeName(9), "String");
    int Type = -1;
    EXPECT_TRUE(FieldTypeFromText("DaTe", Type));
    EXPECT_EQ(Type, ftDateTime);
    EXPECT_FALSE(FieldTypeFromText("Datum", Type));
    EXPECT_FALSE(FieldTypeFromText(" string", Type));
    EXPECT_FALSE(FieldTypeFromText("", Type));
}

} // namespace
