// The .ckx document file: the reader, and loading and saving the file.
#include "model/ckfile.h"

#include "base/clock.h"
#include "base/cp1252.h"
#include "base/dates.h"
#include "base/fieldtype.h"
#include "base/numbers.h"
#include "base/version.h"
#include "base/errorreport.h"
#include "base/messages.h"
#include "model/ckfileio.h"
#include "model/ckmanager.h"
#include "xml/xmlparser.h"

#include <algorithm>
#include <new>
#include <sstream>
#include <streambuf>
#include <unordered_map>
#include <vector>

// Below a project at the deepest depth the writer nests item, fields, fielditem and id.
static_assert(MaxProjectDepth + 2 + 4 == tXMLParser::MaxDepth);

namespace {

int TypeFromName(const std::string &Name) {
    const std::string name = LowerCase(Name);
    if (name == "boolean")
        return ftBoolean;
    if (name == "integer")
        return ftInteger;
    if (name == "float")
        return ftFloat;
    if (name == "datetime")
        return ftDateTime;
    return ftString;
}

// A read-only stream over bytes already in memory, without copying them.
class MemoryBuffer : public std::streambuf {
public:
    explicit MemoryBuffer(const std::string &Data) {
        char *p = const_cast<char *>(Data.data());
        setg(p, p, p + Data.size());
    }

protected:
    pos_type seekoff(off_type Off, std::ios_base::seekdir Dir, std::ios_base::openmode) override {
        char *target = (Dir == std::ios_base::beg   ? eback()
                        : Dir == std::ios_base::cur ? gptr()
                                                    : egptr()) +
                       Off;
        if (target < eback() || target > egptr())
            return pos_type(off_type(-1));
        setg(eback(), target, egptr());
        return pos_type(target - eback());
    }
    pos_type seekpos(pos_type Pos, std::ios_base::openmode Which) override {
        return seekoff(off_type(Pos), std::ios_base::beg, Which);
    }
};

// Lost, when given, counts the characters that became '?' without being one: the text has one
// byte per character, so every '?' beyond the file's own stands for a lost one.
std::string ToText(const std::u16string &S, size_t *Lost = nullptr) {
    std::string text = Utf16ToCp1252(S);
    if (Lost)
        *Lost += static_cast<size_t>(std::count(text.begin(), text.end(), '?') -
                                     std::count(S.begin(), S.end(), u'?'));
    return text;
}

std::string Attribute(const tXMLMarkupItem &E, std::u16string_view Name,
                      std::u16string_view Default = u"", size_t *Lost = nullptr) {
    return ToText(E.GetAttribute(Name, Default), Lost);
}

// The text of an element: character data trimmed, CDATA as it stands, pieces joined by a
// space; an element marked split="1" holds one text cut into pieces, joined as they are.
std::string ElementText(const tXMLMarkupItem &E, size_t *Lost = nullptr) {
    const bool joined = E.GetAttribute(u"split", u"") == u"1";
    std::u16string text;
    for (const auto &child : E.Children) {
        std::u16string piece;
        if (child->ItemType == xiText) {
            const std::u16string &t = static_cast<const TXMLTextItem &>(*child).Text;
            size_t b = 0, e = t.size();
            while (b < e && t[b] < 33)
                ++b;
            while (e > b && t[e - 1] < 33)
                --e;
            piece = t.substr(b, e - b);
        } else if (child->ItemType == xiCData) {
            piece = static_cast<const TXMLTextItem &>(*child).Text;
        } else {
            continue;
        }
        if (!joined && !text.empty())
            text += u' ';
        text += piece;
    }
    return ToText(text, Lost);
}

// An attribute whose exact text may follow as a child element (see AppendAttribute).
std::string ExactAttribute(const tXMLMarkupItem &E, std::u16string_view Name,
                           std::u16string_view Child, size_t *Lost = nullptr) {
    if (const tXMLMarkupItem *exact = E.FindElement(Child))
        return ElementText(*exact, Lost);
    return Attribute(E, Name, u"", Lost);
}

// Reads items and projects while the parser runs: each <item> becomes an entry of a project
// set aside, and its element is freed at once, so a large file never stands in memory as a
// whole tree. The document changes only once the file has parsed and its root element is
// right; the field rules then run over the entries in file order, as if read from the tree.
class TDocumentReader {
public:
    TDocumentReader(TChronarkMan &AMan, const std::string &ABytes, const std::string &AFileName,
                    bool AImport)
        : Man(AMan), Bytes(ABytes), FileName(AFileName), Import(AImport) {}

    // The parser's element-end handler: true frees the element.
    bool ElementEnd(const tXMLMarkupItem &E, const std::vector<tXMLMarkupItem *> &Ancestors);
    // Puts what was read into the document; the file parsed and its root is "ckx". False, with
    // the document untouched, when its entries overlap one another too much to be held.
    bool Finish(const tXMLMarkupItem &Root);
    // Whether a project would lie deeper than MaxProjectDepth in the document.
    bool TooDeep() const { return FTooDeep; }
    // One warning for the characters of the texts read that the document cannot hold.
    void ReportLostCharacters();

private:
    void ReportFaults();
    bool InBody(const std::vector<tXMLMarkupItem *> &Ancestors);
    TCKProjectItem *ProjectOf(const std::vector<tXMLMarkupItem *> &Ancestors);
    TCKProjectItem *StageProject(const tXMLMarkupItem &E, TCKProjectItem *Parent);
    void ReadItem(const tXMLMarkupItem &Item, TCKProjectItem *Target);
    void ReadVersion(const tXMLMarkupItem &Root);
    void ReadFieldDefs(const tXMLMarkupItem &Root);
    void ApplyFieldRules();
    std::string StringFieldFor(const std::string &Id);
    std::string FieldId(const std::string &RawId) {
        return RawId.empty() ? Doc->UniqueFieldId(Prefix + "id") : Prefix + RawId;
    }

    void Build(const tXMLMarkupItem &Root);

    TChronarkMan &Man;
    // The document the file's contents go to: Man when importing, else one built aside.
    TChronarkMan *Doc = nullptr;
    TCKProjectItem *ImportTarget = nullptr;
    const std::string &Bytes;
    const std::string &FileName;
    bool Import;
    std::string Prefix;

    const tXMLMarkupItem *Data = nullptr; // the root's first "data" element, once seen
    TCKProjectItem Staging;               // outside any document: no segment list yet
    std::unordered_map<const tXMLMarkupItem *, TCKProjectItem *> Staged;
    TCKProjectItem *StagedDefault = nullptr;
    struct tFault {
        int32_t Position, Length;
    };
    std::vector<tFault> Faults;
    bool FTooDeep = false;
    // Case-folded field id -> the string field its ill-typed values go to, where the plain
    // ".string" id names a field of another type.
    std::unordered_map<std::string, std::string> StringFields;
    size_t Lost = 0; // characters of the texts kept that became '?'
};

// Whether the enclosing elements are the root, its first "data" and only "project"s.
bool TDocumentReader::InBody(const std::vector<tXMLMarkupItem *> &Ancestors) {
    if (Ancestors.size() < 2)
        return false;
    if (!Data)
        Data = Ancestors[0]->FindElement(u"data");
    if (Ancestors[1] != Data)
        return false;
    for (size_t i = 2; i < Ancestors.size(); ++i)
        if (Ancestors[i]->Name != u"project")
            return false;
    return true;
}

TCKProjectItem *TDocumentReader::StageProject(const tXMLMarkupItem &E, TCKProjectItem *Parent) {
    TCKProjectItem *project = Parent->AddProject(ExactAttribute(E, u"caption", u"caption", &Lost));
    int32_t isDefault = 0;
    if (TryStrToInt32(Attribute(E, u"default", u"0"), isDefault) && isDefault != 0)
        StagedDefault = project;
    return project;
}

// The project for the innermost ancestor; projects are made when first needed, which keeps
// their order among their siblings.
TCKProjectItem *TDocumentReader::ProjectOf(const std::vector<tXMLMarkupItem *> &Ancestors) {
    size_t known = Ancestors.size() - 1;
    while (known > 1 && !Staged.count(Ancestors[known]))
        --known;
    TCKProjectItem *project = known == 1 ? &Staging : Staged[Ancestors[known]];
    for (size_t i = known + 1; i < Ancestors.size(); ++i) {
        project = StageProject(*Ancestors[i], project);
        Staged[Ancestors[i]] = project;
    }
    return project;
}

bool TDocumentReader::ElementEnd(const tXMLMarkupItem &E,
                                 const std::vector<tXMLMarkupItem *> &Ancestors) {
    if (Ancestors.size() == 1) {
        // Beside the head and the data: nothing the document reads, so nothing to keep.
        const tXMLMarkupItem *root = Ancestors[0];
        if (!Data)
            Data = root->FindElement(u"data");
        return &E != Data && &E != root->FindElement(u"head");
    }
    if (!InBody(Ancestors))
        return false;
    // Ancestors are the root, "data" and the enclosing projects; an import goes one deeper.
    const size_t depth = Ancestors.size() - 2 + (E.Name == u"project" ? 1 : 0) + (Import ? 1 : 0);
    if (depth > static_cast<size_t>(MaxProjectDepth)) {
        FTooDeep = true;
        return true;
    }
    if (E.Name == u"item") {
        ReadItem(E, ProjectOf(Ancestors));
        return true;
    }
    if (E.Name == u"project") {
        TCKProjectItem *parent = ProjectOf(Ancestors);
        if (!Staged.erase(&E))
            StageProject(E, parent);
        return true;
    }
    // A project's exact caption is read when the project is staged; any other element among
    // projects and items is ignored and need not stay in memory.
    return E.Name != u"caption";
}

void TDocumentReader::ReadItem(const tXMLMarkupItem &Item, TCKProjectItem *Target) {
    std::string start = Attribute(Item, u"starttime");
    std::string end = Attribute(Item, u"endtime");
    const TDateTime startTime = DecodeStamp(start);
    const TDateTime endTime = DecodeStamp(end);
    // An entry must have a positive length to take part in the segment list.
    if (start.empty() || end.empty() || !(startTime < endTime)) {
        Faults.push_back({Item.Position, Item.TagEnd - Item.Position});
        return;
    }
    auto *entry = new TCKTimeItem;
    entry->StartTime = startTime;
    entry->EndTime = endTime;
    // Field ids stay as written until ApplyFieldRules.
    if (const tXMLMarkupItem *fields = Item.FindElement(u"fields")) {
        for (const auto &child : fields->Children) {
            if (child->ItemType != xiMarkup)
                continue;
            const auto &f = static_cast<const tXMLMarkupItem &>(*child);
            if (f.Name == u"fielditem")
                entry->Fields.push_back(
                    {ExactAttribute(f, u"id", u"id", &Lost), ElementText(f, &Lost)});
        }
    }
    if (const tXMLMarkupItem *comment = Item.FindElement(u"comment"))
        entry->Comment = ElementText(*comment, &Lost);
    Target->Add(entry);
}

// Each entry with unreadable times gets a message with its line and column; a window shows the
// first few and counts the rest, as a file may hold thousands of them.
void TDocumentReader::ReportFaults() {
    constexpr size_t shown = 10;
    TLineCounter lines(Bytes);
    for (size_t i = 0; i < Faults.size(); ++i) {
        if (i == shown && !Man.ReportAllTimeFaults) {
            const size_t rest = Faults.size() - shown;
            DeliverMessage(Man.OnMessage, TMessageKind::Error,
                           "Fehler in \"" + FileName + "\":\r\n\r\n\x85 und " +
                               (rest == 1 ? std::string("ein weiterer Eintrag mit ung\xFCltiger "
                                                        "Zeitangabe wurde \xFC"
                                                        "bergangen.")
                                          : std::to_string(rest) +
                                                " weitere Eintr\xE4ge mit ung\xFCltiger "
                                                "Zeitangabe wurden \xFC"
                                                "bergangen."));
            return;
        }
        const char *message = "Ung\xFCltige Zeitangabe(n)";
        if (Faults[i].Length <= 0) {
            DeliverMessage(Man.OnMessage, TMessageKind::Error,
                           "Fehler in \"" + FileName + "\":\r\n\r\n" + message);
            continue;
        }
        int32_t line = 0, column = 0;
        lines.Get(Faults[i].Position, line, column);
        DeliverMessage(Man.OnMessage, TMessageKind::Error,
                       ComposePositionError(message, FileName, line, column));
    }
}

void TDocumentReader::ReadVersion(const tXMLMarkupItem &Root) {
    const std::string version = Attribute(Root, u"version", u"1.0");
    bool newer;
    try {
        newer = CompareVersions("1.1", version, 2) < 0;
    } catch (const EConvertError &) {
        // A version we cannot read may well be a newer one.
        newer = true;
    }
    if (!Import)
        Doc->LoadedNewerVersion = newer;
    if (newer)
        DeliverMessage(Man.OnMessage, TMessageKind::Warning,
                       "Die Datei wurde mit einer aktuelleren Version von Chronark "
                       "erstellt.\r\nEinige Informationen k\xF6nnen m\xF6glicherweise "
                       "nicht verarbeitet werden.");
}

void TDocumentReader::ReadFieldDefs(const tXMLMarkupItem &Root) {
    const tXMLMarkupItem *head = Root.FindElement(u"head");
    const tXMLMarkupItem *defs = head ? head->FindElement(u"fielddef") : nullptr;
    if (!defs)
        return;
    for (const auto &child : defs->Children) {
        if (child->ItemType != xiMarkup)
            continue;
        const auto &item = static_cast<const tXMLMarkupItem &>(*child);
        if (item.Name != u"fielditem")
            continue;
        const std::string id = FieldId(ExactAttribute(item, u"id", u"id", &Lost));
        Doc->AddFieldDef(id, TypeFromName(Attribute(item, u"type", u"string")));
    }
}

// Id + ".string", unless that names a field of another type, where the value would not fit
// again on the next load: then the first of Id + ".string2", ".string3", ... that is free or a
// string field.
std::string TDocumentReader::StringFieldFor(const std::string &Id) {
    std::string id = Id + ".string";
    if (!Doc->FieldDefExists(id) || Doc->FieldDefType(id) == ftString)
        return id;
    std::string &known = StringFields[LowerCase(Id)];
    if (!known.empty())
        return known;
    for (int n = 2; Doc->FieldDefExists(id) && Doc->FieldDefType(id) != ftString; ++n)
        id = Id + ".string" + std::to_string(n);
    known = id;
    return id;
}

// Ids get the import prefix (or a free idN), values that do not fit their field's type go to
// a string field (see StringFieldFor), and undefined fields get a string definition: entry by
// entry in file order, as each value may define a field for the next.
void TDocumentReader::ApplyFieldRules() {
    ForEachEntry(&Staging, [&](TCKTimeItem *entry) {
        for (tFieldItem &f : entry->Fields) {
            f.Id = FieldId(f.Id);
            if (!IsValidFieldValue(f.Value, Doc->FieldDefType(f.Id)))
                f.Id = StringFieldFor(f.Id);
            if (!Doc->FieldDefExists(f.Id))
                Doc->AddFieldDef(f.Id, ftString);
        }
    });
}

// A loaded document is built aside and then takes the open one's place, so running out of
// memory half way leaves the open document as it was; an import that does is taken out again.
bool TDocumentReader::Finish(const tXMLMarkupItem &Root) {
    std::vector<std::pair<TDateTime, TDateTime>> spans;
    ForEachEntry(&Staging, [&](TCKTimeItem *e) { spans.emplace_back(e->StartTime, e->EndTime); });
    if (!Man.AdmitEntries(spans, !Import, "Fehler in \"" + FileName + "\":\r\n\r\n",
                          Import ? "\r\nDie Datei wurde nicht importiert."
                                 : "\r\nDie Datei wurde nicht geladen."))
        return false;
    if (Import) {
        Doc = &Man;
        try {
            Build(Root);
        } catch (const std::bad_alloc &) {
            Man.DropPartialImport(ImportTarget);
            throw;
        }
        return true;
    }
    TChronarkMan fresh;
    fresh.OnMessage = Man.OnMessage;
    Doc = &fresh;
    Build(Root);
    Man.SwapDocument(fresh);
    Doc = &Man;
    return true;
}

void TDocumentReader::Build(const tXMLMarkupItem &Root) {
    Prefix = Import ? EncodeStamp(Now()) + "_" : std::string();
    Doc->DefaultProject = Doc->Root.get();
    ReadVersion(Root);
    ReadFieldDefs(Root);
    if (!Data)
        Data = Root.FindElement(u"data");
    if (!Data)
        return;
    ImportTarget = Import ? Doc->Root->AddProject(FileName) : nullptr;
    ReportFaults();
    ApplyFieldRules();
    (Import ? ImportTarget : Doc->Root.get())->TakeChildrenOf(Staging);
    if (StagedDefault)
        Doc->DefaultProject = StagedDefault;
}

std::string OutOfMemoryText(const std::string &FileName) {
    return "Fehler in \"" + FileName +
           "\":\r\n\r\nF\xFCr diese Datei reicht der Arbeitsspeicher nicht aus. Das ge\xF6"
           "ffnete Dokument bleibt unver\xE4ndert.";
}

void TDocumentReader::ReportLostCharacters() {
    if (Lost == 0)
        return;
    DeliverMessage(Man.OnMessage, TMessageKind::Warning,
                   Lost == 1 ? std::string("Beim Lesen wurde 1 Zeichen, das das Dokument nicht "
                                           "speichern kann, durch \"?\" ersetzt.")
                             : "Beim Lesen wurden " + std::to_string(Lost) +
                                   " Zeichen, die das Dokument nicht speichern kann, durch "
                                   "\"?\" ersetzt.");
}

} // namespace

namespace {

// Forwards what the document reports to its sink and keeps the last error, which is the
// reason when the load fails. Restores the sink when it goes.
class TFailureRecorder {
public:
    explicit TFailureRecorder(TChronarkMan &AMan) : Man(AMan), Outer(AMan.OnMessage) {
        Man.OnMessage = [this](TMessageKind Kind, const std::string &Text) {
            if (Kind == TMessageKind::Error)
                LastError = Text;
            DeliverMessage(Outer, Kind, Text);
        };
    }
    ~TFailureRecorder() { Man.OnMessage = Outer; }
    TFailureRecorder(const TFailureRecorder &) = delete;
    TFailureRecorder &operator=(const TFailureRecorder &) = delete;

    TResult Failure(TStatus Status, int64_t Position = -1) const {
        return TResult::Failure(Status, LastError, Position);
    }

private:
    TChronarkMan &Man;
    TMessageSink Outer;
    std::string LastError;
};

TResult ReadDocument(TChronarkMan &Man, const TFailureRecorder &Recorder, const std::string &Bytes,
                     std::istream &Stream, const std::string &FileName, bool Import) {
    TCKProjectItem *const oldDefault = Man.DefaultProject;
    TDocumentReader reader(Man, Bytes, FileName, Import);
    int64_t position = -1;
    tXMLParser parser([&Man, &position](const std::string &Message, const std::string &Name,
                                        std::istream &In, int32_t Position, int32_t Length) {
        // The message names a position only for a fault of some length.
        if (Length > 0)
            position = Position;
        XMLErrorHandler(Man.OnMessage, Message, Name, In, Position, Length);
    });
    parser.OnElementEnd = [&reader](const tXMLMarkupItem &E,
                                    const std::vector<tXMLMarkupItem *> &Ancestors) {
        return reader.ElementEnd(E, Ancestors);
    };
    auto doc = std::make_unique<tXMLDocument>();
    if (!parser.ParseMemory(Bytes.data(), Bytes.size(), Stream, FileName, *doc, ceDetect))
        return Recorder.Failure(TStatus::BadDocument, position);
    const tXMLMarkupItem *root = doc->GetRootElement();
    if (!root || root->Name != u"ckx") {
        Stream.clear();
        Stream.seekg(0);
        ShowStreamError(Man.OnMessage, "Ung\xFCltiges Rootelement", FileName, Stream,
                        root ? root->Position : 0, root ? root->TagEnd - root->Position : 0);
        return Recorder.Failure(TStatus::BadDocument, root ? root->Position : -1);
    }
    if (reader.TooDeep()) {
        DeliverMessage(Man.OnMessage, TMessageKind::Error,
                       "Fehler in \"" + FileName + "\":\r\n\r\nDie Datei kann nicht " +
                           (Import ? "importiert" : "geladen") + " werden. " + DepthLimitText());
        return Recorder.Failure(TStatus::TooLarge);
    }
    if (!reader.Finish(*root))
        return Recorder.Failure(TStatus::TooLarge);
    reader.ReportLostCharacters();
    if (Import)
        Man.DefaultProject = oldDefault;
    else
        Man.SetSaved(true);
    return {};
}

} // namespace

TResult LoadDocumentFromBytes(TChronarkMan &Man, const std::string &Bytes,
                              const std::string &FileName, bool Import) {
    const TFailureRecorder recorder(Man);
    // Positions in the file are 32-bit; the limit keeps every one of them, and every sum of a
    // position and a length, in range.
    if (Bytes.size() > MaxDocumentBytes) {
        DeliverMessage(Man.OnMessage, TMessageKind::Error,
                       "Fehler in \"" + FileName + "\":\r\n\r\n" + FileTooLargeText(Bytes.size()));
        return recorder.Failure(TStatus::TooLarge);
    }
    try {
        MemoryBuffer buffer(Bytes);
        std::istream stream(&buffer);
        return ReadDocument(Man, recorder, Bytes, stream, FileName, Import);
    } catch (const std::bad_alloc &) {
        DeliverMessage(Man.OnMessage, TMessageKind::Error, OutOfMemoryText(FileName));
        return recorder.Failure(TStatus::OutOfMemory);
    }
}

TResult TChronarkMan::LoadFromFile(const std::string &FileName, bool Import) {
    const std::string name = FileNameToText(FileName);
    // Taken before reading: a change while it is read counts as a change since.
    const TFileStamp stamp = FileStampOf(FileName);
    TResultWith<std::string> read;
    try {
        read = ReadWholeFile(FileName);
    } catch (const std::bad_alloc &) {
        const std::string text = OutOfMemoryText(name);
        DeliverMessage(OnMessage, TMessageKind::Error, text);
        return TResult::Failure(TStatus::OutOfMemory, text);
    }
    // A missing file is read as empty: the parser names what is wrong with that.
    const bool missing = read.Result.Status() == TStatus::NotFound;
    if (!read.Result && !missing) {
        const std::string text = "Fehler in \"" + name +
                                 "\":\r\n\r\nDie Datei kann nicht gelesen werden. " +
                                 read.Result.Message();
        DeliverMessage(OnMessage, TMessageKind::Error, text);
        return TResult::Failure(read.Result.Status(), text);
    }
    const TCKItem *const lastBefore = Root->LastChild;
    tFieldDefList defsBefore = Import ? FieldDefs : tFieldDefList();
    const TResult loaded = LoadDocumentFromBytes(*this, read.Value, name, Import);
    if (!loaded)
        return missing ? TResult::Failure(TStatus::NotFound, loaded.Message()) : loaded;
    RecordLoad(Import, lastBefore, std::move(defsBefore));
    if (!Import) {
        DiskFile = FileName;
        DiskStamp = stamp;
    }
    TellDocumentReplaced(Import);
    return loaded;
}

TResult TChronarkMan::SaveToFile(const std::string &FileName) {
    // The backup is a convenience: a save it could not make still goes ahead, with a word.
    const TResult backedUp = KeepBackup(FileName, sizeof DocumentHeader - 1);
    const TResultWith<TFileStamp> written = WriteFileAtomic(FileName, DocumentText(*this));
    if (!written.Result) {
        const std::string text = "Die Datei \"" + FileNameToText(FileName) +
                                 "\" konnte nicht gespeichert werden.\r\n" +
                                 written.Result.Message();
        DeliverMessage(OnMessage, TMessageKind::Error, text);
        return TResult::Failure(written.Result.Status(), text);
    }
    DiskFile = FileName;
    DiskStamp = written.Value;
    LoadedNewerVersion = false;
    SetSaved(true);
    std::string warnings;
    const auto warn = [&](const std::string &Text) {
        DeliverMessage(OnMessage, TMessageKind::Warning, Text);
        warnings += (warnings.empty() ? "" : "\r\n\r\n") + Text;
    };
    if (!written.Result.Message().empty())
        warn("Die Datei \"" + FileNameToText(FileName) + "\" wurde gespeichert.\r\n" +
             written.Result.Message());
    if (!backedUp)
        warn("Die Sicherungskopie \"" + FileNameToText(BackupFileName(FileName)) +
             "\" konnte nicht geschrieben werden.\r\n" + backedUp.Message());
    return TResult::Success(warnings);
}

bool TChronarkMan::ChangedOnDisk(const std::string &FileName) const {
    if (DiskFile.empty() || FileName != DiskFile || !DiskStamp.Exists)
        return false;
    const TFileStamp now = FileStampOf(FileName);
    return now.Exists && now != DiskStamp;
}
