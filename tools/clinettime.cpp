#include "tools/clinettime.h"

#include "model/ckm.h"

#include <algorithm>
#include <vector>

TDirectNetTimes::TDirectNetTimes(const TChronarkMan &Man) {
    std::vector<const TCKProjectItem *> parents;
    for (const TCKReducedTimeItem *seg = Man.ReducedTime->First; seg; seg = seg->Next) {
        if (seg->Items.empty())
            continue;
        if (Man.FilterActive &&
            std::none_of(seg->Items.begin(), seg->Items.end(), [&](const TCKTimeItem *e) {
                return e->MatchesFilter(Man.Filter, Man.FilterActive);
            }))
            continue;
        // A segment counts once for each project that has an entry in it.
        parents.clear();
        for (const TCKTimeItem *e : seg->Items)
            if (std::find(parents.begin(), parents.end(), e->Parent) == parents.end())
                parents.push_back(e->Parent);
        int32_t h, m, s;
        DurationHMS(seg->EndTime, seg->StartTime, h, m, s);
        for (const TCKProjectItem *p : parents) {
            THms &sum = Sums[p];
            sum.H += h;
            sum.M += m;
            sum.S += s;
        }
    }
}

std::string TDirectNetTimes::Text(const TCKProjectItem *Project) const {
    const auto found = Sums.find(Project);
    THms t = found == Sums.end() ? THms() : found->second;
    // The carry of the manager's sums: seconds into minutes, then minutes into hours.
    if (t.S > 59) {
        t.M += t.S / 60;
        t.S %= 60;
    }
    if (t.M > 59) {
        t.H += t.M / 60;
        t.M %= 60;
    }
    return std::to_string(t.H) + " Std, " + std::to_string(t.M) + " Min, " + std::to_string(t.S) +
           " Sek";
}
