#pragma once
// Net time of every project's direct entries, as TChronarkMan::NetTimeText gives it for one
// project, in one pass over the segment list: asking project by project walks the whole list
// once per project, which makes a large document's summary take seconds.

#include <cstdint>
#include <string>
#include <unordered_map>

class TChronarkMan;
class TCKProjectItem;

class TDirectNetTimes {
public:
    explicit TDirectNetTimes(const TChronarkMan &Man);
    // "H Std, M Min, S Sek" (Windows-1252, as the manager writes it).
    std::string Text(const TCKProjectItem *Project) const;

private:
    struct THms {
        int64_t H = 0;
        int64_t M = 0;
        int64_t S = 0;
    };
    std::unordered_map<const TCKProjectItem *, THms> Sums;
};
