#pragma once
// Plain records and arrays shared by the document model and its users.

#include "base/dates.h"
#include "base/fieldtype.h"
#include "model/cksmallvector.h"
#include "base/cstring.h"
#include "base/imageroles.h"

#include <string>
#include <vector>

class TCKItem;
class TCKProjectItem;
class TCKTimeItem;
class TCKReducedTimeItem;
class TChronarkMan;

enum TItemKind : int {
    ikTime = 1,
    ikProject = 2,
};

struct tFieldItem {
    std::string Id;
    std::string Value;
    bool operator==(const tFieldItem &) const = default;
};
using tFieldList = std::vector<tFieldItem>;

struct tFieldDefItem {
    std::string Id;
    int FieldType = ftString;
    bool operator==(const tFieldDefItem &) const = default;
};
using tFieldDefList = std::vector<tFieldDefItem>;

// An entry's data as a value: the stopwatch and the dialogs pass entries around in this form.
struct tCKEditItem {
    TDateTime StartTime = 0;
    TDateTime EndTime = 0;
    std::string Comment;
    tFieldList Fields;
    bool operator==(const tCKEditItem &) const = default;
};

// Criteria of the filter panel and of the search window.
struct tFilterItem {
    TStringArray Keywords;
    TDateTime FromDate = 0;
    TDateTime ToDate = 0;
    bool UseFromDate = false;
    bool UseToDate = false;
};

using TCKList = std::vector<TCKItem *>;
using TCKTimeItemList = std::vector<TCKTimeItem *>;
using TCKConstTimeItems = std::vector<const TCKTimeItem *>;
using TCKProjectList = std::vector<TCKProjectItem *>;
using TTimeBlockList = TSmallPtrVector<TCKReducedTimeItem *>;
using TUsedByList = TSmallPtrVector<TCKTimeItem *>;
