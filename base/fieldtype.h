#pragma once
// The types of the user-defined fields of an entry, and which texts each accepts.

#include <string>

enum TFieldType : int {
    ftString = 0,
    ftBoolean = 1,
    ftInteger = 2,
    ftFloat = 3,
    ftDateTime = 4,
};

// An empty value fits every type.
bool IsValidFieldValue(const std::string &Value, int FieldType);
