#include "model/ckfieldsettings.h"

#include "base/fieldtype.h"
#include "model/ckitems.h"

#include <unordered_set>

namespace {

constexpr const char *TypeNames[] = {"String", "Boolean", "Integer", "Float", "Date"};
constexpr int TypeCount = sizeof(TypeNames) / sizeof(TypeNames[0]);

} // namespace

std::string FieldTypeName(int FieldType) {
    return FieldType >= 0 && FieldType < TypeCount ? TypeNames[FieldType] : TypeNames[ftString];
}

bool FieldTypeFromText(const std::string &Text, int &FieldType) {
    const std::string Lower = LowerCase(Text);
    for (int i = 0; i < TypeCount; ++i) {
        if (Lower == LowerCase(TypeNames[i])) {
            FieldType = i;
            return true;
        }
    }
    return false;
}

TFieldSettings::TFieldSettings(const TChronarkMan &ADoc)
    : DefaultProject(ADoc.DefaultProject), Doc(ADoc), Defs(ADoc.FieldDefs) {
    // One walk over the entries instead of one per field.
    std::unordered_set<std::string> Used;
    for (const TCKTimeItem *Entry : Doc.AllEntries())
        for (const tFieldItem &Field : Entry->Fields)
            Used.insert(Field.Id);
    Use.reserve(Defs.size());
    for (const tFieldDefItem &Def : Defs)
        Use.push_back({Used.count(Def.Id) > 0, Def.Id});
}

int TFieldSettings::Add() {
    std::unordered_set<std::string> Taken;
    for (const tFieldDefItem &Def : Defs)
        Taken.insert(Def.Id);
    int n = 1;
    while (Taken.count("Feld" + std::to_string(n)))
        ++n;
    Defs.push_back({"Feld" + std::to_string(n), ftString});
    Use.push_back({});
    return Count() - 1;
}

bool TFieldSettings::Delete(int Row) {
    if (!ValidRow(Row) || Use[Row].InUse)
        return false;
    Defs.erase(Defs.begin() + Row);
    Use.erase(Use.begin() + Row);
    return true;
}

TFieldSettings::TNameCheck TFieldSettings::CheckName(int Row, const std::string &Name) const {
    if (Name.find('=') != std::string::npos)
        return TNameCheck::HasEquals;
    for (int i = 0; i < Count(); ++i)
        if (i != Row && SameText(Defs[i].Id, Name))
            return TNameCheck::Exists;
    return TNameCheck::Ok;
}

const std::string &TFieldSettings::StoredId(int Row) const {
    return Use[Row].InitialId;
}

TFieldSettings::TRowCheck TFieldSettings::CheckRow(int Row, const std::string &Name,
                                                   const std::string &TypeText,
                                                   int &FieldType) const {
    if (Name.empty())
        return TRowCheck::EmptyName;
    if (!FieldTypeFromText(TypeText, FieldType))
        return TRowCheck::BadTypeName;
    if (Use[Row].InUse && !Doc.CheckFieldValues(StoredId(Row), FieldType))
        return TRowCheck::WrongType;
    return TRowCheck::Ok;
}

TFieldSettings::TRowCheck TFieldSettings::SetName(int Row, const std::string &Name) {
    if (!ValidRow(Row))
        return TRowCheck::EmptyName;
    int FieldType = ftString;
    const TRowCheck Result = CheckRow(Row, Name, FieldTypeName(Defs[Row].FieldType), FieldType);
    if (Result == TRowCheck::Ok)
        Defs[Row] = {Name, FieldType};
    return Result;
}

TFieldSettings::TRowCheck TFieldSettings::SetTypeText(int Row, const std::string &TypeText) {
    if (!ValidRow(Row))
        return TRowCheck::BadTypeName;
    int FieldType = ftString;
    const TRowCheck Result = CheckRow(Row, Defs[Row].Id, TypeText, FieldType);
    if (Result == TRowCheck::Ok)
        Defs[Row].FieldType = FieldType;
    return Result;
}

bool TFieldSettings::Apply(TChronarkMan &Target) const {
    std::vector<std::pair<std::string, std::string>> Renames;
    for (int i = 0; i < Count(); ++i)
        if (Use[i].InUse && LowerCase(Use[i].InitialId) != LowerCase(Defs[i].Id))
            Renames.emplace_back(Use[i].InitialId, Defs[i].Id);
    const bool NewDefault = Target.SetDefaultProject(DefaultProject);
    const bool NewFields = Target.SetFieldDefs(Defs, Renames);
    return NewDefault || NewFields;
}
