#pragma once
// The document manager: owns one open document and fills the views from it.

#include "base/dates.h"
#include "base/messages.h"
#include "model/ckevents.h"
#include "model/ckfileio.h"
#include "model/ckitems.h"
#include "model/ckreducedtime.h"
#include "model/ckundo.h"
#include "model/ckviews.h"

#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

// Net time of every project's direct entries and of the whole document, in whole seconds.
class TNetTimes {
public:
    // Null: the whole document. A project without entries counted has none.
    int64_t Seconds(const TCKProjectItem *Project) const;
    int64_t Total() const { return TotalSeconds; }

private:
    friend class TChronarkMan;
    struct TSum {
        int64_t Seconds = 0;
        // The segment last added, so a project with several entries in one counts it once.
        const TCKReducedTimeItem *Counted = nullptr;
    };
    std::unordered_map<const TCKProjectItem *, TSum> ByProject;
    int64_t TotalSeconds = 0;
};

class TChronarkMan {
public:
    using TChangeEvent = std::function<void(bool Modified)>;

    explicit TChronarkMan(TChangeEvent AOnChange = {});
    ~TChronarkMan();
    TChronarkMan(const TChronarkMan &) = delete;
    TChronarkMan &operator=(const TChronarkMan &) = delete;

    std::unique_ptr<TCKReducedTime> ReducedTime;
    TCKItem *LastAdded = nullptr;
    TChangeEvent OnChange;
    // Where this document's load and save errors and warnings go, in the order they arise;
    // empty writes them to stderr.
    TMessageSink OnMessage;
    TCKProjectItem *DefaultProject = nullptr;
    // The invisible root keeps its identity for the manager's whole life (a load or New only
    // changes what lies below it), so a view may hold it across any change of document.
    const std::unique_ptr<TCKProjectItem> Root;
    tFieldDefList FieldDefs;
    tFilterItem Filter;
    bool FilterActive = false;
    bool Modified = false;
    // The file last loaded or saved and its stamp then; none for a new document.
    std::string DiskFile;
    TFileStamp DiskStamp;
    // The last load read a file of a newer version (and warned): saving over it drops what this
    // version did not read. A successful save ends it.
    bool LoadedNewerVersion = false;
    // Loading reports every entry with unreadable times; otherwise the first ten and a count
    // of the rest (a window shows each message by itself).
    bool ReportAllTimeFaults = false;

    void Clear();
    // Takes Other's whole document (tree, segment list, field definitions, default project) in
    // place of this one, which Other gets instead; allocates nothing, so a document built aside
    // replaces the open one without the risk of leaving it half done. Each root stays where it
    // is and trades its children.
    void SwapDocument(TChronarkMan &Other) noexcept;
    // Drops Project (a child of the root, just imported) and builds the segment list afresh
    // for the rest; what is left after an import ran out of memory half way.
    void DropPartialImport(TCKProjectItem *Project);
    void SetSaved(bool Saved);
    bool Contains(const TCKTimeItem *Entry) const;
    // Whether Item is a node of this document (the root counts); Item must be a live node.
    bool Holds(const TCKItem *Item) const;
    // The items below the root, in the order given, that are still nodes of this document;
    // the others (the root, items deleted since) are compared by address only, never read.
    // One walk over the document, whatever the number of items.
    TCKList StillContained(const TCKList &Items) const;

    // The .ckx file; both report through OnMessage, and a failure answers the error it sent
    // there. LoadFromFile leaves the open document untouched when it fails (NotFound for a
    // missing file); its remarks on a load that succeeded are in OnMessage alone. SaveToFile
    // replaces the file atomically; on failure the old file stays, the document stays
    // modified, and one error naming file and reason goes to OnMessage; a success carries the
    // warnings it sent.
    TResult LoadFromFile(const std::string &FileName, bool Import);
    TResult SaveToFile(const std::string &FileName);
    // Whether FileName is the file last loaded or saved and it has changed since (another
    // program, or a second window, saved it). A file gone since is not counted.
    bool ChangedOnDisk(const std::string &FileName) const;

    // Field definitions; ids compare without regard to case (A to Z). Lookups go through an
    // index that follows AddFieldDef, appends and clearing; whoever changes an id in FieldDefs
    // in place calls ReindexFieldDefs.
    void ReindexFieldDefs() const;
    bool FieldDefExists(const std::string &Id) const;
    int FieldDefType(const std::string &Id) const;
    void AddFieldDef(const std::string &Id, int FieldType);
    std::string UniqueFieldId(const std::string &Base) const;
    bool FieldUsed(const std::string &Id) const;
    bool CheckFieldValues(const std::string &Id, int FieldType) const;
    void RenameField(const std::string &OldId, const std::string &NewId);

    // The most entries the segment list may hold summed over its segments (Coverage): about
    // 600 MB. Ordinary documents stay far below it, as an entry that overlaps a few others adds
    // a few; only many thousands of entries that all overlap one another reach it.
    static constexpr uint64_t MaxCoverage = uint64_t{1} << 26;
    uint64_t CoverageLimit = MaxCoverage; // tests lower it

    // Whether entries with these spans may join the document (Alone: in place of its entries)
    // without passing CoverageLimit. When not, the refusal goes to OnMessage, between Prefix and
    // Suffix.
    bool AdmitEntries(const std::vector<std::pair<TDateTime, TDateTime>> &Spans, bool Alone,
                      const std::string &Prefix, const std::string &Suffix);

    // Merging entries: A absorbs B when they overlap or touch; B is freed. Comments and text
    // fields join ("a & b"); a typed field (Boolean, number, date) keeps a value both share or
    // only one has, and two different values refuse the merge, which is reported to OnMessage
    // naming the field (MeltAll reports once). Tools of MeltEntries, which tells the views.
    bool Melt(TCKTimeItem *A, TCKTimeItem *B);
    void MeltAll(TCKTimeItemList Entries);

    // --- Commands ------------------------------------------------------------------------
    // Every change the windows make goes through these. Each tells the listeners its events
    // once (ckevents.h), after the document is consistent again; a refused command (false or
    // null) changes nothing and tells nothing. The item methods they use (Delete, MoveTo,
    // SplitAt, SetData, ...) change the document without telling anyone.

    // Listening changes nothing in the document, so a read-only holder may listen. A listener
    // may unsubscribe (or be destroyed after unsubscribing) at any time, also while it is told.
    void Subscribe(TCKDocumentListener &Listener) const;
    void Unsubscribe(TCKDocumentListener &Listener) const;

    // Refused for a project outside the document and for entries the segment list cannot take
    // (AdmitEntries reports it).
    TCKTimeItem *AddEntry(TCKProjectItem *Project, const tCKEditItem &Data);
    // The default project takes Start..End: the stopwatch, a recovered measurement.
    TCKTimeItem *RecordInterval(TDateTime Start, TDateTime End);
    // Refused for an entry outside the document and for data equal to the entry's own.
    bool SetEntryData(TCKTimeItem *Entry, const tCKEditItem &Data);
    // The entry keeps the part before At, a new entry of its project takes the rest.
    bool SplitEntry(TCKTimeItem *Entry, TDateTime At);
    // Merges what MeltAll merges of the entries among Items that are still in the document.
    bool MeltEntries(const TCKList &Items);
    // Deletes Items, each once: items no longer in the document (the root, items deleted
    // since) are only compared by address, items below another of Items go with it.
    bool DeleteItems(const TCKList &Items);
    // Appends Items still in the document to Target, as MoveTo does (which may refuse some);
    // refused when none moved.
    bool MoveItems(const TCKList &Items, TCKProjectItem *Target);
    // A new last sub-project of Parent; null, with an error to OnMessage, where it would lie
    // deeper than MaxProjectDepth.
    TCKProjectItem *NewProject(TCKProjectItem *Parent, const std::string &Caption);
    // Refused for the root and for the caption the project has.
    bool RenameProject(TCKProjectItem *Project, const std::string &Caption);
    // The project measurements go to; the file keeps it, so the document is modified.
    bool SetDefaultProject(TCKProjectItem *Project);
    // Replaces the field definitions; Renames (old id, new id) carry the values of renamed
    // fields along (RenameFieldsAtOnce). Refused when nothing changes.
    bool SetFieldDefs(const tFieldDefList &Defs,
                      const std::vector<std::pair<std::string, std::string>> &Renames);
    // An empty document in place of this one, unmodified.
    void NewDocument();

    // Takes back the last change still done, or brings the last one taken back again, telling
    // the listeners as the change itself did; false when there is none (or while listeners are
    // being told). Every command above that changes the document records its step; New and a
    // load that is no import forget them all, a save marks the state saved.
    bool Undo();
    bool Redo();
    const TCKUndoHistory &UndoHistory() const { return History; }

    // The filter of the entry list; not part of the document, so nobody is told. With both
    // bounds in use and From not before To, the bound just set gives way to the other (From a
    // second before To, To a second after From); answers whether it had to.
    enum class TFilterBound { None, From, To };
    bool SetFilter(const tFilterItem &Criteria, bool Active, TFilterBound Changed);

    // Past this many, the entries whose overlap marks a change touched are not named.
    static constexpr size_t MaxTouched = 64;

    // Net time, summed over the segment list in whole seconds per segment, so overlaps count
    // once. A segment counts for every project with a direct entry in it; with the filter on,
    // only when one of its entries (of any project) meets the filter. Project null = whole
    // document. NetTimesByProject gives every project's in one pass over the segments.
    TNetTimes NetTimesByProject() const;
    int64_t NetSeconds(const TCKProjectItem *Project) const;
    void NetTimeHMS(const TCKProjectItem *Project, int32_t &Hours, int32_t &Minutes,
                    int32_t &Seconds) const;
    std::string NetTimeText(const TCKProjectItem *Project) const;
    // The segments with a direct entry of any of Projects, the filter not applied.
    void NetTimeOfProjects(const TCKProjectList &Projects, int32_t &Hours, int32_t &Minutes,
                           int32_t &Seconds) const;

    // Views (ckviews.cpp).
    void FillProjectTree(TCKTreeView &Tree) const;
    void RefreshListItem(TCKListView &View, int Index) const;
    void UpdateOverlapImages(TCKListView &View) const;
    // Only the rows of Touched: after a change whose time sharers are known.
    void UpdateOverlapImages(TCKListView &View, const TCKConstTimeItems &Touched) const;
    void UpdateOverlapImages(TCKListView &View, const TCKTouched &Touched) const;
    void FillAllEntries(TCKListView &View, const tFilterItem &SearchFilter) const;
    // Every row of a search result list checked again: texts and paths anew, rows whose entry
    // no longer matches leave. RefreshSearchRows does it for the rows of Entries only.
    void RefreshSearchList(TCKListView &View, const tFilterItem &SearchFilter) const;
    void RefreshSearchRows(TCKListView &View, const tFilterItem &SearchFilter,
                           const TCKTimeItemList &Entries) const;

    // Every entry of the document, depth-first in child order.
    TCKTimeItemList AllEntries() const;
    // Debug check of child lists, LastAdded, DefaultProject and the segment list.
    bool CheckInvariants(std::string *Why = nullptr) const;

private:
    // The id of a typed field holding different values in A and B; empty when none does.
    std::string TypedFieldConflict(const TCKTimeItem *A, const TCKTimeItem *B) const;
    // Where a merge puts what it absorbed (instead of freeing it) and which entries grew.
    struct TMeltRecord {
        TCKProjectItem *Absorbed = nullptr;
        std::vector<TCKTimeItem *> Grown;
    };
    // Melt without reporting; Conflict names the field that refused the pair.
    bool MeltPair(TCKTimeItem *A, TCKTimeItem *B, TMeltRecord *Record, std::string &Conflict);
    void MeltInto(TCKTimeItemList Entries, TMeltRecord *Record);

    friend struct TCKUndoAccess;
    TCKUndoHistory History;
    TCKTimeItem *AddEntryAs(TCKProjectItem *Project, const tCKEditItem &Data, const char *StepName);
    // A load that is no import forgets the history; an import (which added the project after
    // LastBefore among the root's children and extended the field definitions DefsBefore)
    // records its step.
    void RecordLoad(bool Import, const TCKItem *LastBefore, tFieldDefList DefsBefore);

    // Calls Tell on every listener subscribed when it starts.
    void TellListeners(const std::function<void(TCKDocumentListener &)> &Tell) const;
    // A load or an import has succeeded.
    void TellDocumentReplaced(bool Imported) const;
    // The listeners; a slot emptied while they are told is dropped afterwards.
    mutable std::vector<TCKDocumentListener *> Listeners;
    mutable int Telling = 0;
    // The entries sharing time with Entries (themselves included), as far as they are few.
    void AddSharers(const TCKTimeItem *Entry, TCKTouched &Touched) const;
    // The first definition of a case-folded id, or null.
    const tFieldDefItem *FindFieldDef(const std::string &Id) const;
    // Brings the index up to FieldDefs after appends; rebuilds it after the list shrank.
    void SyncFieldIndex() const;
    // Folded id -> position of its first definition in FieldDefs; the definitions indexed; and
    // per folded base the number UniqueFieldId answered last. Ids are only ever added, so the
    // smallest free number never falls below that one.
    mutable std::unordered_map<std::string, size_t> FieldIndex;
    mutable size_t FieldsIndexed = 0;
    mutable std::unordered_map<std::string, int> FieldIdCounters;

    // Takes every entry out of the segment list at once before the whole tree goes: one by one,
    // each entry would walk its segments and tidy them, which for many overlapping entries
    // costs far more than the document took to build.
    void ReleaseSegments();
};

bool Overlaps(const TCKTimeItem *A, const TCKTimeItem *B, bool TouchCounts);

// In every entry, the first value under each Old id (exact comparison) gets its New id, all
// pairs at once: a value renamed by one pair is not renamed again by another, so that swapped
// or chained names keep every value with its field.
// Done, when given, receives every value renamed.
void RenameFieldsAtOnce(TChronarkMan &Doc,
                        const std::vector<std::pair<std::string, std::string>> &Renames,
                        std::vector<TCKFieldValueRename> *Done = nullptr);

// Caption, sub-items and image of an entry row (ShowPath adds the project path).
void EntryRowTexts(const TCKTimeItem *Entry, bool ShowPath, std::string &Caption,
                   TStringArray &SubItems);
int EntryImage(const TCKTimeItem *Entry);

// The order of the search result list: the project path byte by byte (so upper-case before
// lower-case), then the start time (less than a millisecond apart counts as equal).
int CompareSearchRows(const std::string &PathA, TDateTime StartA, const std::string &PathB,
                      TDateTime StartB);
