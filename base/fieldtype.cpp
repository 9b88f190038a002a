#include "base/fieldtype.h"

#include "base/cstring.h"
#include "base/dates.h"
#include "base/numbers.h"

bool IsValidFieldValue(const std::string &Value, int FieldType) {
    if (Value.empty())
        return true;
    switch (FieldType) {
    case ftBoolean: {
        const std::string v = LowerCase(Value);
        return v == "true" || v == "1" || v == "false" || v == "0";
    }
    case ftInteger: {
        int32_t i;
        return TryStrToInt32(Value, i);
    }
    case ftFloat: {
        double d;
        return TryStrToFloat(Value, d);
    }
    case ftDateTime: {
        TDateTime t;
        return TryTextToDateTime(Value, t);
    }
    default:
        return true;
    }
}
