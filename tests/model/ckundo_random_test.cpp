// Random command sequences on random documents, taken back and brought again: after every undo
// and redo the document saves to the very bytes it saved to in that state before, stays
// consistent, and a listener that follows only the events knows every project and entry.
#include "model/ckfile.h"
#include "model/ckm.h"
#include "random_document.h"
#include "filebytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

// Knows the document only from what it is told, as a window does.
class MirrorListener : public TCKDocumentListener {
public:
    explicit MirrorListener(TChronarkMan &AMan) : Man(AMan) {
        Man.Subscribe(*this);
        Rebuild();
    }
    ~MirrorListener() override { Man.Unsubscribe(*this); }

    std::set<const TCKItem *> Projects, Entries;
    const TCKProjectItem *Default = nullptr;
    tFieldDefList FieldDefs;
    std::string Fault;

    void Rebuild() {
        Projects = {Man.Root.get()};
        Entries.clear();
        Default = Man.DefaultProject;
        FieldDefs = Man.FieldDefs;
        WalkSubtree(
            Man.Root.get(), [this](TCKProjectItem *p) { Projects.insert(p); },
            [this](TCKTimeItem *e) { Entries.insert(e); }, [](TCKProjectItem *) {});
    }
    // What the events said against what the document holds.
    void Compare(const std::string &What) {
        MirrorListener truth(Man);
        Man.Unsubscribe(truth);
        EXPECT_EQ(Projects, truth.Projects) << What << ": projects";
        EXPECT_EQ(Entries, truth.Entries) << What << ": entries";
        EXPECT_EQ(Default, truth.Default) << What << ": default project";
        EXPECT_EQ(FieldDefs, truth.FieldDefs) << What << ": field definitions";
        EXPECT_EQ(Fault, "") << What;
        Fault.clear();
    }

    void EntriesAdded(const TCKEntriesEvent &E) override {
        for (TCKTimeItem *e : E.Entries) {
            Expect(Man.Holds(e), "an added entry is not in the document");
            Expect(Entries.insert(e).second, "an entry was added twice");
        }
        CheckTouched(E.Touched);
    }
    void EntriesChanged(const TCKEntriesEvent &E) override {
        for (TCKTimeItem *e : E.Entries)
            Expect(Entries.count(e) && Man.Holds(e), "a changed entry is unknown");
        CheckTouched(E.Touched);
    }
    void ItemsRemoved(const TCKRemovedEvent &E) override {
        for (const TCKItem *n : E.Nodes) {
            Expect(!Man.Holds(n), "a removed node is still in the document");
            Projects.erase(n);
            Entries.erase(n);
        }
        CheckTouched(E.Touched);
    }
    void ItemsMoved(const TCKMovedEvent &E) override {
        for (TCKItem *item : E.Items)
            Expect(item->Parent == E.Target, "a moved item is not below its target");
    }
    void ProjectAdded(TCKProjectItem *P) override {
        Expect(Projects.count(P->Parent) > 0, "a project was added below an unknown one");
        Expect(Projects.insert(P).second, "a project was added twice");
    }
    void DocumentReplaced(bool) override { Rebuild(); }
    void DefaultProjectChanged() override { Default = Man.DefaultProject; }
    void FieldDefsChanged() override { FieldDefs = Man.FieldDefs; }

private:
    void Expect(bool Ok, const char *Text) {
        if (!Ok && Fault.empty())
            Fault = Text;
    }
    void CheckTouched(const TCKTouched &T) {
        for (const TCKTimeItem *e : T.Entries)
            Expect(Man.Holds(e), "a touched entry is not in the document");
    }
    TChronarkMan &Man;
};

class UndoOracle : public RandomDocument {
public:
    explicit UndoOracle(unsigned Seed) : RandomDocument(Seed) {
        Man.OnMessage = [](TMessageKind, const std::string &) {};
        // A random document built without commands: nothing to undo yet.
        for (int i = 0; i < 30; ++i) {
            const auto projects = Projects();
            TCKProjectItem *p = projects[Pick(static_cast<int>(projects.size()))];
            if (Pick(4) == 0)
                p->AddProject("P" + std::to_string(Pick(100)));
            else
                p->AddTime(RandomData());
        }
        Man.AddFieldDef("k", ftString);
        Man.SetSaved(true);
    }

    template <typename T> T *Any(const std::vector<T *> &Items) {
        return Items.empty() ? nullptr : Items[Pick(static_cast<int>(Items.size()))];
    }
    TCKList SomeItems(int Most) {
        TCKList items;
        const auto projects = Projects();
        const TCKTimeItemList entries = Man.AllEntries();
        for (int n = 1 + Pick(Most); n > 0; --n)
            if (TCKItem *item = Pick(3) ? static_cast<TCKItem *>(Any(entries)) : Any(projects))
                items.push_back(item);
        return items;
    }

    // One command, which may be refused; answers its name.
    std::string Command() {
        const auto projects = Projects();
        const TCKTimeItemList entries = Man.AllEntries();
        TCKProjectItem *project = Any(projects);
        TCKTimeItem *entry = Any(entries);
        switch (Pick(14)) {
        case 0:
        case 1:
            Man.AddEntry(project, RandomData());
            return "add";
        case 2:
            Man.RecordInterval(Time(Pick(40)), Time(40 + Pick(8)));
            return "record";
        case 3:
            if (entry)
                Man.SetEntryData(entry, RandomData());
            return "set data";
        case 4:
            if (entry)
                Man.SplitEntry(entry, Time(Pick(48)));
            return "split";
        case 5:
            Man.MeltEntries(SomeItems(6));
            return "melt";
        case 6:
            Man.DeleteItems(SomeItems(3));
            return "delete";
        case 7:
            Man.MoveItems(SomeItems(3), project);
            return "move";
        case 8:
            Man.NewProject(project, "N" + std::to_string(Pick(100)));
            return "new project";
        case 9:
            Man.RenameProject(project, "R" + std::to_string(Pick(5)));
            return "rename";
        case 10:
            Man.SetDefaultProject(project);
            return "default";
        case 11:
            FieldCommand();
            return "fields";
        case 12:
            if (Pick(3) == 0)
                Import();
            return "import";
        default:
            Man.MeltEntries(TCKList(entries.begin(), entries.end()));
            return "melt all";
        }
    }

    void FieldCommand() {
        tFieldDefList defs = Man.FieldDefs;
        std::vector<std::pair<std::string, std::string>> renames;
        const int which = defs.empty() ? 0 : Pick(4);
        const size_t at = defs.empty() ? 0 : size_t(Pick(static_cast<int>(defs.size())));
        if (which == 0) {
            defs.push_back({"F" + std::to_string(Pick(50)), Pick(2) ? ftString : ftInteger});
        } else if (which == 1) {
            // The values go along with the field, among them the random documents' "k".
            const std::string to = "G" + std::to_string(Pick(50));
            renames.emplace_back(defs[at].Id, to);
            defs[at].Id = to;
        } else if (which == 2) {
            defs[at].FieldType = defs[at].FieldType == ftString ? ftBoolean : ftString;
        } else {
            defs.erase(defs.begin() + std::ptrdiff_t(at));
        }
        Man.SetFieldDefs(defs, renames);
    }

    void Import() {
        RandomDocument other(Rng());
        for (int i = 0; i < 8; ++i)
            (Pick(3) ? other.Man.Root.get() : other.Man.Root->AddProject("I"))
                ->AddTime(other.RandomData());
        other.Man.AddFieldDef("imp" + std::to_string(Pick(3)), ftString);
        const auto file = std::filesystem::path(::testing::TempDir()) / "undo_import.ckx";
        WriteFile(file, DocumentText(other.Man));
        ASSERT_TRUE(Man.LoadFromFile(file.string(), true));
    }

    void Check(const std::string &What, const std::string &Expected, bool Modified) {
        std::string why;
        ASSERT_TRUE(Man.CheckInvariants(&why)) << What << ": " << why;
        ASSERT_EQ(DocumentText(Man), Expected) << What;
        EXPECT_EQ(Man.Modified, Modified) << What;
    }
};

// CHRONARK_UNDO_SEEDS asks for longer runs. Each seed stays well within the history's depth,
// so that every command not refused is there to undo.
unsigned Seeds() {
    const char *env = std::getenv("CHRONARK_UNDO_SEEDS");
    return env ? unsigned(std::max(1, std::atoi(env))) : 12;
}

TEST(UndoRandomTest, UndoAndRedoRestoreEveryStateBytewise) {
    constexpr int steps = 150;
    static_assert(steps * 3 < TCKUndoHistory::MaxSteps);
    for (unsigned seed = 1; seed <= Seeds(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        UndoOracle doc(seed);
        MirrorListener mirror(doc.Man);
        // States[i]: the document's bytes after i recorded steps.
        std::vector<std::string> states{DocumentText(doc.Man)};
        size_t saved = 0;
        for (int i = 0; i < steps; ++i) {
            const size_t before = doc.Man.UndoHistory().UndoCount();
            const std::string what = doc.Command();
            if (::testing::Test::HasFatalFailure())
                return;
            if (doc.Man.UndoHistory().UndoCount() == before) {
                // Refused: nothing recorded, nothing changed.
                ASSERT_EQ(DocumentText(doc.Man), states.back()) << what << " refused";
                continue;
            }
            states.push_back(DocumentText(doc.Man));
            mirror.Compare(what);
            if (doc.Pick(15) == 0) {
                doc.Man.SetSaved(true);
                saved = states.size() - 1;
            }
        }
        ASSERT_EQ(doc.Man.UndoHistory().UndoCount(), states.size() - 1);
        for (size_t n = states.size() - 1; n > 0; --n) {
            ASSERT_TRUE(doc.Man.Undo());
            doc.Check("undo to " + std::to_string(n - 1), states[n - 1], n - 1 != saved);
            mirror.Compare("undo to " + std::to_string(n - 1));
            if (::testing::Test::HasFatalFailure())
                return;
        }
        EXPECT_FALSE(doc.Man.Undo());
        for (size_t n = 1; n < states.size(); ++n) {
            ASSERT_TRUE(doc.Man.Redo());
            doc.Check("redo to " + std::to_string(n), states[n], n != saved);
            mirror.Compare("redo to " + std::to_string(n));
            if (::testing::Test::HasFatalFailure())
                return;
        }
        EXPECT_FALSE(doc.Man.Redo());
        // Undo and redo at random, now and then a new command that forgets the redo side.
        size_t at = states.size() - 1;
        for (int i = 0; i < steps * 2; ++i) {
            std::string what;
            if (doc.Pick(8) == 0) {
                const size_t before = doc.Man.UndoHistory().UndoCount();
                what = "new " + doc.Command();
                if (::testing::Test::HasFatalFailure())
                    return;
                if (doc.Man.UndoHistory().UndoCount() != before) {
                    // A saved state among the steps undone is out of reach now.
                    if (saved != SIZE_MAX && saved > at)
                        saved = SIZE_MAX;
                    states.resize(at + 1);
                    states.push_back(DocumentText(doc.Man));
                    ++at;
                    EXPECT_EQ(doc.Man.UndoHistory().RedoCount(), 0u);
                }
            } else if (doc.Pick(2) == 0) {
                what = "undo";
                ASSERT_EQ(doc.Man.Undo(), at > 0);
                at -= at > 0;
            } else {
                what = "redo";
                ASSERT_EQ(doc.Man.Redo(), at + 1 < states.size());
                at += at + 1 < states.size();
            }
            doc.Check(what + " at " + std::to_string(i), states[at], at != saved);
            mirror.Compare(what + " at " + std::to_string(i));
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

} // namespace
