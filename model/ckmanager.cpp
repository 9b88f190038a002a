#include "model/ckmanager.h"

#include "base/dates.h"
#include "base/durations.h"
#include "base/fieldtype.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

int64_t WholeMilliSeconds(TDateTime T) {
    return std::llround(T * 86400000.0);
}

} // namespace

bool Overlaps(const TCKTimeItem *A, const TCKTimeItem *B, bool TouchCounts) {
    // Whole milliseconds: entries hold whole seconds, so touching stays exact.
    const int64_t as = WholeMilliSeconds(A->StartTime), ae = WholeMilliSeconds(A->EndTime);
    const int64_t bs = WholeMilliSeconds(B->StartTime), be = WholeMilliSeconds(B->EndTime);
    const int64_t lo = std::min(as, bs), hi = std::max(ae, be);
    const int64_t lengths = (ae - as) + (be - bs);
    return TouchCounts ? lengths >= hi - lo : lengths > hi - lo;
}

// --- Lifetime and state --------------------------------------------------------------------

TChronarkMan::TChronarkMan(TChangeEvent AOnChange)
    : ReducedTime(std::make_unique<TCKReducedTime>()), OnChange(std::move(AOnChange)),
      Root(std::make_unique<TCKProjectItem>()) {
    Root->Manager = this;
    DefaultProject = Root.get();
}

TChronarkMan::~TChronarkMan() {
    // The owner may be half torn down already: no change reports from here on.
    OnChange = nullptr;
    ReleaseSegments();
    Root->DeleteChildren();
}

void TChronarkMan::ReleaseSegments() {
    ForEachEntry(Root.get(), [](TCKTimeItem *e) { e->FirstSegment = e->LastSegment = nullptr; });
    ReducedTime->Reset();
}

void TChronarkMan::Clear() {
    FieldDefs.clear();
    DiskFile.clear();
    DiskStamp = {};
    LoadedNewerVersion = false;
    FieldIndex.clear();
    FieldIdCounters.clear();
    FieldsIndexed = 0;
    ReleaseSegments();
    Root->Detach();
    DefaultProject = Root.get();
}

void TChronarkMan::SwapDocument(TChronarkMan &Other) noexcept {
    std::swap(Root->FirstChild, Other.Root->FirstChild);
    std::swap(Root->LastChild, Other.Root->LastChild);
    std::swap(Root->Caption, Other.Root->Caption);
    std::swap(ReducedTime, Other.ReducedTime);
    std::swap(FieldDefs, Other.FieldDefs);
    std::swap(DefaultProject, Other.DefaultProject);
    std::swap(LastAdded, Other.LastAdded);
    std::swap(FieldIndex, Other.FieldIndex);
    std::swap(FieldsIndexed, Other.FieldsIndexed);
    std::swap(FieldIdCounters, Other.FieldIdCounters);
    std::swap(LoadedNewerVersion, Other.LoadedNewerVersion);
    // What named the other root names this one now, and the other way round.
    for (TChronarkMan *man : {this, &Other}) {
        TCKProjectItem *away = (man == this ? Other : *this).Root.get();
        if (man->DefaultProject == away)
            man->DefaultProject = man->Root.get();
        if (man->LastAdded == away)
            man->LastAdded = man->Root.get();
        for (TCKItem *child = man->Root->FirstChild; child; child = child->Next)
            child->Parent = man->Root.get();
        WalkSubtree(
            man->Root.get(), [man](TCKProjectItem *p) { p->Manager = man; },
            [man](TCKTimeItem *e) { e->Manager = man; }, [](TCKProjectItem *) {});
    }
}

void TChronarkMan::DropPartialImport(TCKProjectItem *Project) {
    ReleaseSegments();
    if (Project && Project->Parent == Root.get())
        Project->Delete();
    std::vector<std::pair<TDateTime, TCKTimeItem *>> entries;
    ForEachEntry(Root.get(), [&](TCKTimeItem *e) { entries.emplace_back(e->StartTime, e); });
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[start, e] : entries)
        ReducedTime->AddToSegments(e);
}

void TChronarkMan::SetSaved(bool Saved) {
    Modified = !Saved;
    if (Saved)
        History.MarkSaved();
    if (OnChange)
        OnChange(Modified);
}

bool TChronarkMan::Contains(const TCKTimeItem *Entry) const {
    bool found = false;
    ForEachEntry(Root.get(), [&](TCKTimeItem *e) { found = found || e == Entry; });
    return found;
}

TCKList TChronarkMan::StillContained(const TCKList &Items) const {
    std::unordered_set<const TCKItem *> wanted(Items.begin(), Items.end()), found;
    WalkSubtree(
        Root.get(),
        [&](TCKProjectItem *p) {
            if (wanted.count(p))
                found.insert(p);
        },
        [&](TCKTimeItem *e) {
            if (wanted.count(e))
                found.insert(e);
        },
        [](TCKProjectItem *) {});
    TCKList kept;
    for (TCKItem *item : Items)
        if (found.count(item))
            kept.push_back(item);
    return kept;
}

TCKTimeItemList TChronarkMan::AllEntries() const {
    TCKTimeItemList entries;
    ForEachEntry(Root.get(), [&](TCKTimeItem *e) { entries.push_back(e); });
    return entries;
}

// --- Field definitions ---------------------------------------------------------------------

void TChronarkMan::SyncFieldIndex() const {
    if (FieldsIndexed > FieldDefs.size()) {
        FieldIndex.clear();
        FieldIdCounters.clear();
        FieldsIndexed = 0;
    }
    for (; FieldsIndexed < FieldDefs.size(); ++FieldsIndexed)
        FieldIndex.emplace(LowerCase(FieldDefs[FieldsIndexed].Id), FieldsIndexed);
}

void TChronarkMan::ReindexFieldDefs() const {
    FieldsIndexed = FieldDefs.size() + 1;
    SyncFieldIndex();
}

const tFieldDefItem *TChronarkMan::FindFieldDef(const std::string &Id) const {
    SyncFieldIndex();
    const auto found = FieldIndex.find(LowerCase(Id));
    if (found == FieldIndex.end())
        return nullptr;
    if (found->second < FieldDefs.size() && SameText(FieldDefs[found->second].Id, Id))
        return &FieldDefs[found->second];
    // A definition was changed in place: index afresh.
    ReindexFieldDefs();
    const auto again = FieldIndex.find(LowerCase(Id));
    return again == FieldIndex.end() ? nullptr : &FieldDefs[again->second];
}

bool TChronarkMan::FieldDefExists(const std::string &Id) const {
    return FindFieldDef(Id) != nullptr;
}

int TChronarkMan::FieldDefType(const std::string &Id) const {
    const tFieldDefItem *def = FindFieldDef(Id);
    return def ? def->FieldType : ftString;
}

void TChronarkMan::AddFieldDef(const std::string &Id, int FieldType) {
    SyncFieldIndex();
    FieldDefs.push_back({Id, FieldType});
}

std::string TChronarkMan::UniqueFieldId(const std::string &Base) const {
    SyncFieldIndex();
    int &last = FieldIdCounters[LowerCase(Base)];
    for (int n = std::max(last, 1);; ++n) {
        std::string id = Base + std::to_string(n);
        if (!FieldDefExists(id)) {
            last = n;
            return id;
        }
    }
}

bool TChronarkMan::FieldUsed(const std::string &Id) const {
    bool used = false;
    ForEachEntry(Root.get(), [&](TCKTimeItem *e) { used = used || e->FieldIndex(Id) >= 0; });
    return used;
}

bool TChronarkMan::CheckFieldValues(const std::string &Id, int FieldType) const {
    bool ok = true;
    ForEachEntry(Root.get(), [&](TCKTimeItem *e) {
        const int i = ok ? e->FieldIndex(Id) : -1;
        if (i >= 0 && !IsValidFieldValue(e->Fields[i].Value, FieldType))
            ok = false;
    });
    return ok;
}

void TChronarkMan::RenameField(const std::string &OldId, const std::string &NewId) {
    ForEachEntry(Root.get(), [&](TCKTimeItem *e) {
        const int i = e->FieldIndex(OldId);
        if (i >= 0)
            e->Fields[i].Id = NewId;
    });
}

// --- Overlap bound -------------------------------------------------------------------------

bool TChronarkMan::AdmitEntries(const std::vector<std::pair<TDateTime, TDateTime>> &Spans,
                                bool Alone, const std::string &Prefix, const std::string &Suffix) {
    const uint64_t total = Alone ? TCKReducedTime().CoverageGain(Spans)
                                 : ReducedTime->Coverage() + ReducedTime->CoverageGain(Spans);
    if (total <= CoverageLimit)
        return true;
    DeliverMessage(OnMessage, TMessageKind::Error,
                   Prefix +
                       "Zu viele einander \xFC"
                       "berlappende Zeiten: Die Zeitabschnitte "
                       "des Dokuments k\xE4men zusammen auf " +
                       std::to_string(total) +
                       " Eintr\xE4ge, h\xF6"
                       "chstens " +
                       std::to_string(CoverageLimit) + " sind m\xF6glich." + Suffix);
    return false;
}

// --- Melt ----------------------------------------------------------------------------------

namespace {

std::string MeltRefusedText(const std::string &FieldId) {
    return "Die Eintr\xE4ge k\xF6nnen nicht verschmolzen werden: Das Feld \x84" + FieldId +
           "\x93 hat verschiedene Werte.";
}

} // namespace

std::string TChronarkMan::TypedFieldConflict(const TCKTimeItem *A, const TCKTimeItem *B) const {
    for (const tFieldItem &f : B->Fields) {
        const int i = A->FieldIndex(f.Id);
        if (i < 0 || FieldDefType(f.Id) == ftString)
            continue;
        const std::string &mine = A->Fields[size_t(i)].Value;
        if (mine != f.Value && !mine.empty() && !f.Value.empty())
            return f.Id;
    }
    return {};
}

bool TChronarkMan::MeltPair(TCKTimeItem *A, TCKTimeItem *B, TMeltRecord *Record,
                            std::string &Conflict) {
    if (!A || !B || A == B || !Overlaps(A, B, true))
        return false;
    Conflict = TypedFieldConflict(A, B);
    if (!Conflict.empty())
        return false;
    const TDateTime start = std::min(A->StartTime, B->StartTime);
    const TDateTime end = std::max(A->EndTime, B->EndTime);
    for (const tFieldItem &f : B->Fields) {
        const int i = A->FieldIndex(f.Id);
        if (i < 0)
            A->Fields.push_back(f);
        else if (FieldDefType(f.Id) == ftString)
            A->Fields[size_t(i)].Value += " & " + f.Value;
        else if (A->Fields[size_t(i)].Value.empty())
            A->Fields[size_t(i)].Value = f.Value; // a typed value is never joined
    }
    if (A->Comment != B->Comment && !A->Comment.empty() && !B->Comment.empty())
        A->Comment += " & " + B->Comment;
    else if (A->Comment.empty() && !B->Comment.empty())
        A->Comment = B->Comment;
    A->LeaveSegments();
    if (Record) {
        // Out of the document, freed by the command once the views have let go of it.
        B->MoveTo(Record->Absorbed);
        Record->Grown.push_back(A);
    } else {
        B->Delete();
    }
    A->StartTime = start;
    A->EndTime = end;
    if (A->Manager)
        A->Manager->ReducedTime->AddToSegments(A);
    return true;
}

bool TChronarkMan::Melt(TCKTimeItem *A, TCKTimeItem *B) {
    std::string conflict;
    const bool merged = MeltPair(A, B, nullptr, conflict);
    if (!conflict.empty())
        DeliverMessage(OnMessage, TMessageKind::Error, MeltRefusedText(conflict));
    return merged;
}

void TChronarkMan::MeltAll(TCKTimeItemList Entries) {
    MeltInto(std::move(Entries), nullptr);
}

void TChronarkMan::MeltInto(TCKTimeItemList Entries, TMeltRecord *Record) {
    // The first pair in array order merges, then the search starts again. An entry found
    // without a partner keeps none until an entry grows into it, so it is looked at again only
    // then: each merge costs a pass over the entries, not one over all pairs.
    std::vector<char> settled(Entries.size(), 0);
    // A pair refused for its field values is met again and again; it is reported once.
    std::string refused;
    for (;;) {
        size_t i = 0;
        while (i < Entries.size() && settled[i])
            ++i;
        if (i == Entries.size())
            break;
        bool merged = false;
        for (size_t j = 0; j < Entries.size() && !merged; ++j) {
            std::string conflict;
            if (j != i && MeltPair(Entries[i], Entries[j], Record, conflict)) {
                Entries.erase(Entries.begin() + static_cast<std::ptrdiff_t>(j));
                settled.erase(settled.begin() + static_cast<std::ptrdiff_t>(j));
                if (j < i)
                    --i;
                merged = true;
            } else if (refused.empty()) {
                refused = conflict;
            }
        }
        if (!merged) {
            settled[i] = 1;
            continue;
        }
        // The grown span is the union of two that met, and the kept field values are values
        // the absorbed entry had: a settled entry meets it only if it met one of the two
        // before. Looked at anyway, so that a change of those rules cannot skip a pair.
        for (size_t m = 0; m < Entries.size(); ++m)
            if (settled[m] && Overlaps(Entries[m], Entries[i], true) &&
                TypedFieldConflict(Entries[m], Entries[i]).empty())
                settled[m] = 0;
    }
    if (!refused.empty())
        DeliverMessage(OnMessage, TMessageKind::Error, MeltRefusedText(refused));
}

// --- Net time ------------------------------------------------------------------------------

namespace {

// The one walk every net time takes: each segment with entries, with its length in whole
// seconds. With a filter, only the segments where at least one entry meets it.
template <typename VisitFn>
void ForEachNetSegment(const TCKReducedTime &List, const tFilterItem *Filter, VisitFn Visit) {
    for (const TCKReducedTimeItem *seg = List.First; seg; seg = seg->Next) {
        if (seg->Items.empty())
            continue;
        if (Filter && std::none_of(seg->Items.begin(), seg->Items.end(), [&](const TCKTimeItem *e) {
                return e->MatchesFilter(*Filter, true);
            }))
            continue;
        Visit(*seg, DurationSeconds(seg->EndTime, seg->StartTime));
    }
}

void SplitSeconds(int64_t Total, int32_t &Hours, int32_t &Minutes, int32_t &Seconds) {
    Hours = static_cast<int32_t>(Total / 3600);
    Minutes = static_cast<int32_t>(Total / 60 % 60);
    Seconds = static_cast<int32_t>(Total % 60);
}

} // namespace

int64_t TNetTimes::Seconds(const TCKProjectItem *Project) const {
    if (!Project)
        return TotalSeconds;
    const auto found = ByProject.find(Project);
    return found == ByProject.end() ? 0 : found->second.Seconds;
}

TNetTimes TChronarkMan::NetTimesByProject() const {
    TNetTimes times;
    // Neighbouring segments mostly belong to the same project: remember its sum.
    const TCKProjectItem *lastProject = nullptr;
    TNetTimes::TSum *lastSum = nullptr;
    ForEachNetSegment(*ReducedTime, FilterActive ? &Filter : nullptr,
                      [&](const TCKReducedTimeItem &seg, int64_t secs) {
                          times.TotalSeconds += secs;
                          for (const TCKTimeItem *e : seg.Items) {
                              if (e->Parent != lastProject) {
                                  lastProject = e->Parent;
                                  lastSum = &times.ByProject[lastProject];
                              }
                              if (lastSum->Counted != &seg) {
                                  lastSum->Counted = &seg;
                                  lastSum->Seconds += secs;
                              }
                          }
                      });
    return times;
}

// One project's share of NetTimesByProject, without summing every other project's.
int64_t TChronarkMan::NetSeconds(const TCKProjectItem *Project) const {
    int64_t total = 0;
    ForEachNetSegment(
        *ReducedTime, FilterActive ? &Filter : nullptr,
        [&](const TCKReducedTimeItem &seg, int64_t secs) {
            if (!Project || std::any_of(seg.Items.begin(), seg.Items.end(),
                                        [&](const TCKTimeItem *e) { return e->Parent == Project; }))
                total += secs;
        });
    return total;
}

void TChronarkMan::NetTimeHMS(const TCKProjectItem *Project, int32_t &Hours, int32_t &Minutes,
                              int32_t &Seconds) const {
    SplitSeconds(NetSeconds(Project), Hours, Minutes, Seconds);
}

std::string TChronarkMan::NetTimeText(const TCKProjectItem *Project) const {
    return SecondsText(NetSeconds(Project));
}

void TChronarkMan::NetTimeOfProjects(const TCKProjectList &Projects, int32_t &Hours,
                                     int32_t &Minutes, int32_t &Seconds) const {
    const std::unordered_set<const TCKProjectItem *> chosen(Projects.begin(), Projects.end());
    int64_t total = 0;
    ForEachNetSegment(*ReducedTime, nullptr, [&](const TCKReducedTimeItem &seg, int64_t secs) {
        if (std::any_of(seg.Items.begin(), seg.Items.end(),
                        [&](const TCKTimeItem *e) { return chosen.count(e->Parent) > 0; }))
            total += secs;
    });
    SplitSeconds(total, Hours, Minutes, Seconds);
}

// --- Debug check ---------------------------------------------------------------------------

bool TChronarkMan::CheckInvariants(std::string *Why) const {
    auto fail = [&](const std::string &what) {
        if (Why)
            *Why = what;
        return false;
    };
    if (Root->Parent || Root->Manager != this)
        return fail("root is linked or has another manager");
    std::unordered_set<const TCKItem *> nodes;
    std::unordered_set<const TCKTimeItem *> entries;
    std::vector<const TCKProjectItem *> pending{Root.get()};
    while (!pending.empty()) {
        const TCKProjectItem *p = pending.back();
        pending.pop_back();
        nodes.insert(p);
        if ((p->FirstChild == nullptr) != (p->LastChild == nullptr))
            return fail("child list: FirstChild/LastChild disagree");
        if (p->FirstChild && p->FirstChild->Prev)
            return fail("child list: FirstChild has a predecessor");
        if (p->LastChild && p->LastChild->Next)
            return fail("child list: LastChild has a successor");
        const TCKItem *prev = nullptr;
        for (const TCKItem *c = p->FirstChild; c; c = c->Next) {
            if (c->Prev != prev || c->Parent != p || c->Manager != this)
                return fail("child list: broken Prev, Parent or Manager link");
            if (!c->Next && c != p->LastChild)
                return fail("child list: chain does not end at LastChild");
            if (nodes.count(c))
                return fail("child list: node reachable twice");
            prev = c;
            if (const TCKTimeItem *e = const_cast<TCKItem *>(c)->AsTime()) {
                nodes.insert(e);
                entries.insert(e);
                if (!(e->StartTime < e->EndTime))
                    return fail("entry without positive length");
                if (!e->InSegments())
                    return fail("entry of the document is not in the segment list");
            } else {
                pending.push_back(static_cast<const TCKProjectItem *>(c));
            }
        }
    }
    if (LastAdded && !nodes.count(LastAdded))
        return fail("LastAdded names a node outside the document");
    if (!DefaultProject || !nodes.count(DefaultProject))
        return fail("DefaultProject names a project outside the document");
    for (const TCKReducedTimeItem *s = ReducedTime->First; s; s = s->Next)
        for (const TCKTimeItem *e : s->Items)
            if (!entries.count(e))
                return fail("segment list names an entry outside the document");
    return ReducedTime->CheckInvariants(Why);
}
