#pragma once
// The document settings as their dialog edits them: the default project and a working copy of
// the field definitions with, per field, whether entries used it when editing began and its id
// then. Nothing reaches the document before Apply.

#include "model/ckmanager.h"

#include <string>
#include <utility>
#include <vector>

struct tFieldUseItem {
    // Some entry held a value under InitialId (exact comparison) when editing began.
    bool InUse = false;
    // Empty for a field added while editing.
    std::string InitialId;
};
using tFieldUseList = std::vector<tFieldUseItem>;

// "String", "Boolean", "Integer", "Float", "Date" by type number.
std::string FieldTypeName(int FieldType);
// Accepts those names in any letter case (A to Z); false for anything else.
bool FieldTypeFromText(const std::string &Text, int &FieldType);

class TFieldSettings {
public:
    // What the grid itself says about a name while it is being typed.
    enum class TNameCheck { Ok, HasEquals, Exists };
    // The checks of an edited row, in the order they run.
    enum class TRowCheck { Ok, EmptyName, BadTypeName, WrongType };

    explicit TFieldSettings(const TChronarkMan &ADoc);

    TCKProjectItem *DefaultProject = nullptr;
    const tFieldDefList &FieldDefs() const { return Defs; }
    const tFieldUseList &UseInfo() const { return Use; }
    int Count() const { return static_cast<int>(Defs.size()); }

    // Appends "Feld" + the smallest free number (ids compared exactly) as a string field and
    // answers its row.
    int Add();
    // False, with nothing removed, when entries use the field.
    bool Delete(int Row);
    TNameCheck CheckName(int Row, const std::string &Name) const;
    // Row's name or type text as edited, the other part as the row holds it; stored only Ok.
    TRowCheck SetName(int Row, const std::string &Name);
    TRowCheck SetTypeText(int Row, const std::string &TypeText);
    // The id the entries carry this field's values under until Apply: the id the field had
    // when editing began. A renamed field is therefore still checked against its own values.
    const std::string &StoredId(int Row) const;

    // Writes the default project and the definitions into the document (through its commands)
    // and carries renames beyond letter case into the entries' values; answers whether
    // anything changed.
    bool Apply(TChronarkMan &Target) const;

private:
    TRowCheck CheckRow(int Row, const std::string &Name, const std::string &TypeText,
                       int &FieldType) const;
    bool ValidRow(int Row) const { return Row >= 0 && Row < Count(); }

    const TChronarkMan &Doc;
    tFieldDefList Defs;
    tFieldUseList Use;
};
