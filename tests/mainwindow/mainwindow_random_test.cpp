// A random user at the main window: seeded runs of clicks, keys, menu commands, drags and
// dialog answers over real files, with the window and its document checked after every step.
//
//   mainwindow_random_test                       20 seeds of 300 steps
//   mainwindow_random_test --seeds=200 --steps=2000
//   mainwindow_random_test --seed=17 --trace     one seed again, each step printed as it runs
//   mainwindow_random_test --seed=100 --seeds=50 seeds 100 to 149
//
// A failure names its seed and the steps that led to it; the same seed replays them exactly.

#include "base/clock.h"
#include "base/dates.h"
#include "base/durations.h"
#include "base/fieldtype.h"
#include "mainwindow_testing.h"
#include "dialogs/u_searchform.h"
#include "model/ckfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDirIterator>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <random>
#include <unordered_set>

namespace {

struct TRunSize {
    uint64_t FirstSeed = 1;
    int Seeds = 20;
    int Steps = 300;
    bool Trace = false;
};

TRunSize RunSizeFromArguments() {
    TRunSize Size;
    bool OneSeed = false, SeedsGiven = false;
    for (const QString &Arg : QCoreApplication::arguments()) {
        const QString Value = Arg.section(QLatin1Char('='), 1);
        if (Arg.startsWith(QStringLiteral("--seeds="))) {
            Size.Seeds = Value.toInt();
            SeedsGiven = true;
        } else if (Arg.startsWith(QStringLiteral("--steps="))) {
            Size.Steps = Value.toInt();
        } else if (Arg.startsWith(QStringLiteral("--seed="))) {
            Size.FirstSeed = Value.toULongLong();
            OneSeed = true;
        } else if (Arg == QStringLiteral("--trace")) {
            Size.Trace = true;
        }
    }
    // --seed alone replays that seed; with --seeds it is the first of them.
    if (OneSeed && !SeedsGiven)
        Size.Seeds = 1;
    return Size;
}

using TRng = std::mt19937_64;

int Pick(TRng &Rng, int Count) {
    return Count <= 0 ? 0 : std::uniform_int_distribution<int>(0, Count - 1)(Rng);
}

bool Chance(TRng &Rng, int Percent) {
    return Pick(Rng, 100) < Percent;
}

template <typename T> const T &PickOf(TRng &Rng, const std::vector<T> &Items) {
    return Items[size_t(Pick(Rng, int(Items.size())))];
}

// Texts a user types: umlauts, '&', line breaks, the euro sign (all storable), characters the
// document cannot store and characters a caption refuses.
const std::vector<QString> Typed = {
    QStringLiteral("Besprechung"), QStringLiteral("Kunde & Co"), QStringLiteral("Bäckerei Größe"),
    QStringLiteral("€ 12"),        QStringLiteral("A\"B"),       QStringLiteral("<neu>"),
    QStringLiteral("Łódź"),        QStringLiteral(""),           QStringLiteral("Projekt"),
    QStringLiteral("  "),
};

const std::vector<std::string> Comments = {
    "",
    "Telefonat",
    "Besprechung",
    "Entwurf \xFC"
    "berarbeitet",
    "Kunde & Co",
    "Zeile 1\r\nZeile 2",
    "\x80 Rechnung",
};

// Questions get any answer, choices any button or none.
class TRandomPrompts : public TPromptService {
public:
    explicit TRandomPrompts(TRng &ARng) : Rng(ARng) {}
    void ShowMessage(const QString &) override {}
    void ShowError(const QString &) override {}
    void ShowWarning(const QString &) override {}
    TPromptAnswer Confirm(const QString &, bool Cancel) override {
        switch (Pick(Rng, Cancel ? 3 : 2)) {
        case 0:
            return TPromptAnswer::Yes;
        case 1:
            return TPromptAnswer::No;
        default:
            return TPromptAnswer::Cancel;
        }
    }
    int Choose(const QString &, const QStringList &Buttons) override {
        return Pick(Rng, int(Buttons.size()) + 1) - 1;
    }

private:
    TRng &Rng;
};

// Open dialogs choose from the files at hand, save dialogs from a few names (the open file and
// the files at hand among them); sometimes the user cancels.
class TRandomFileDialogs : public TFileDialogService {
public:
    TRandomFileDialogs(TRng &ARng, const QStringList &AOpenable, const QStringList &ASaveable)
        : Rng(ARng), Openable(AOpenable), Saveable(ASaveable) {}
    bool Execute(QWidget *, TFileDialogRequest &Request) override {
        if (Chance(Rng, 15))
            return false;
        const QStringList &From = Request.Kind == TFileDialogRequest::Open ? Openable : Saveable;
        Request.FileName = From[Pick(Rng, int(From.size()))];
        return true;
    }

private:
    TRng &Rng;
    QStringList Openable, Saveable;
};

class TRandomEntryDialogs : public TEntryDialogService {
public:
    TRandomEntryDialogs(TRng &ARng, const TDateTime &ANow) : Rng(ARng), NowRef(ANow) {}
    bool EditEntry(QWidget *, const tFieldDefList &Defs, tCKEditItem &Data) override {
        if (Chance(Rng, 15))
            return false;
        if (Chance(Rng, 50))
            Data.StartTime = AddSeconds(Data.StartTime, Pick(Rng, 7200) - 3600);
        if (Chance(Rng, 50))
            Data.EndTime = AddSeconds(Data.EndTime, Pick(Rng, 7200) - 3600);
        if (Chance(Rng, 50))
            Data.Comment = PickOf(Rng, Comments);
        FillFields(Defs, Data);
        return true;
    }
    bool NewEntry(QWidget *, const tFieldDefList &Defs, tCKEditItem &Data) override {
        if (Chance(Rng, 15))
            return false;
        // Within a few days of now, so that entries meet and overlap.
        Data.StartTime = AddSeconds(NowRef, -Pick(Rng, 4 * 86400));
        Data.EndTime = AddSeconds(Data.StartTime, Pick(Rng, 3 * 3600) + 1);
        Data.Comment = PickOf(Rng, Comments);
        FillFields(Defs, Data);
        return true;
    }
    bool Split(QWidget *, const TCKTimeItem &Entry, TDateTime &SplitTime) override {
        if (Chance(Rng, 15))
            return false;
        const int Length = int((Entry.EndTime - Entry.StartTime) * 86400.0);
        // Now and then a moment outside the entry, which the split refuses.
        SplitTime = AddSeconds(Entry.StartTime, Pick(Rng, Length + 20) - 10);
        return true;
    }

private:
    // Valid values of each type, as the dialog lets through.
    void FillFields(const tFieldDefList &Defs, tCKEditItem &Data) {
        for (const tFieldDefItem &Def : Defs) {
            if (!Chance(Rng, 40))
                continue;
            std::string Value;
            switch (Def.FieldType) {
            case ftBoolean:
                Value = Chance(Rng, 50) ? "true" : "false";
                break;
            case ftInteger:
            case ftFloat:
                Value = std::to_string(Pick(Rng, 3));
                break;
            case ftDateTime:
                Value = DateTimeText(NowRef);
                break;
            default:
                Value = PickOf(Rng, Comments);
            }
            auto It = std::find_if(Data.Fields.begin(), Data.Fields.end(),
                                   [&Def](const tFieldItem &F) { return F.Id == Def.Id; });
            if (It != Data.Fields.end())
                It->Value = Value;
            else
                Data.Fields.push_back({Def.Id, Value});
        }
    }

    TRng &Rng;
    const TDateTime &NowRef;
};

// Documents a user may have: many overlapping entries, a deep tree, fields of every type.
void WriteGeneratedDocuments(const QString &Dir, QStringList &Files) {
    auto Save = [&](const char *Name, const std::function<void(TChronarkMan &)> &Build) {
        TChronarkMan Doc;
        Build(Doc);
        const QString Path = Dir + QLatin1Char('/') + QString::fromLatin1(Name);
        ASSERT_TRUE(Doc.SaveToFile(QFile::encodeName(Path).toStdString()));
        Files << Path;
    };
    const TDateTime Day = EncodeDateTime(2024, 3, 2, 8, 0, 0);
    Save("ueberlappend.ckx", [&](TChronarkMan &Doc) {
        TCKProjectItem *A = Doc.Root->AddProject("A");
        TCKProjectItem *B = A->AddProject("B");
        for (int i = 0; i < 60; ++i) {
            tCKEditItem E;
            E.StartTime = AddSeconds(Day, i * 600);
            E.EndTime = AddSeconds(E.StartTime, 3600 + i * 7);
            E.Comment = "Eintrag " + std::to_string(i);
            (i % 3 ? A : B)->AddTime(E);
        }
        Doc.DefaultProject = B;
    });
    Save("tief.ckx", [&](TChronarkMan &Doc) {
        TCKProjectItem *P = Doc.Root.get();
        for (int Level = 0; Level < 25; ++Level) {
            P = P->AddProject("Ebene " + std::to_string(Level));
            tCKEditItem E;
            E.StartTime = AddSeconds(Day, Level * 1800);
            E.EndTime = AddSeconds(E.StartTime, 2400);
            P->AddTime(E);
        }
    });
    Save("felder.ckx", [&](TChronarkMan &Doc) {
        Doc.AddFieldDef("Kunde", ftString);
        Doc.AddFieldDef("abrechenbar", ftBoolean);
        Doc.AddFieldDef("Anzahl", ftInteger);
        Doc.AddFieldDef("Satz", ftFloat);
        TCKProjectItem *P = Doc.Root->AddProject("Kunden");
        for (int i = 0; i < 8; ++i) {
            tCKEditItem E;
            E.StartTime = AddSeconds(Day, i * 2700);
            E.EndTime = AddSeconds(E.StartTime, 3600);
            E.Fields = {{"Kunde", "Meier"},
                        {"abrechenbar", i % 2 ? "true" : "false"},
                        {"Anzahl", std::to_string(i)}};
            P->AddTime(E);
        }
    });
}

class TRandomUser {
public:
    TRandomUser(uint64_t ASeed, const QString &ADir, const QStringList &Files, bool ATrace)
        : Seed(ASeed), Rng(ASeed), Trace(ATrace), Dir(ADir), Prompts(Rng),
          FileDialogs(Rng, Files, SaveTargets(ADir, Files)), EntryDialogs(Rng, Clock) {
        SetClock([this] { return Clock; });
        TMainForm::TOptions Options;
        Options.Prompts = &Prompts;
        Options.FileDialogs = &FileDialogs;
        Options.EntryDialogs = &EntryDialogs;
        Options.SettingsFolder = Dir + QStringLiteral("/settings");
        Options.ScreenArea = QRect(0, 0, 1280, 800);
        Window = std::make_unique<TMainForm>(std::vector<std::string>{}, Options);
        F = std::make_unique<TMainFormTestPeer>(*Window);
        F->Start();
        BuildActions();
    }
    ~TRandomUser() {
        F.reset();
        Window.reset();
        SetClock({});
    }

    // False after the first fault; the fault has been reported with the steps that led to it.
    bool Run(int Steps) {
        for (int Step = 1; Step <= Steps; ++Step) {
            Clock = AddSeconds(Clock, Pick(Rng, 900));
            const TAction &Action = PickAction();
            Log.push_back(std::to_string(Step) + ": " + Action.Name);
            if (Trace)
                std::fprintf(stderr, "seed %llu %s\n", static_cast<unsigned long long>(Seed),
                             Log.back().c_str());
            Action.Run();
            Settle();
            if (!Detail.empty()) {
                Log.back() += " (" + Detail + ")";
                Detail.clear();
            }
            std::string Why;
            if (!Sound(Why) || testing::Test::HasFailure()) {
                std::string Steps;
                for (const std::string &Line : Log)
                    Steps += "  " + Line + "\n";
                ADD_FAILURE() << "seed " << Seed << ", after step " << Step << ": " << Why
                              << "\nreplay: mainwindow_random_test --seed=" << Seed
                              << " --steps=" << Step << "\n"
                              << Steps;
                return false;
            }
        }
        return true;
    }

private:
    struct TAction {
        std::string Name;
        int Weight;
        std::function<void()> Run;
    };

    static QStringList SaveTargets(const QString &Dir, const QStringList &Files) {
        QStringList Targets{Dir + QStringLiteral("/gespeichert.ckx"),
                            Dir + QStringLiteral("/zweite.ckx")};
        Targets << Files.mid(0, 2);
        return Targets;
    }

    // Lets queued work run: editors reopened after a refusal, deferred deletes.
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    const TAction &PickAction() {
        int Total = 0;
        for (const TAction &A : Actions)
            Total += A.Weight;
        int At = Pick(Rng, Total);
        for (const TAction &A : Actions) {
            if (At < A.Weight)
                return A;
            At -= A.Weight;
        }
        return Actions.back();
    }

    // --- what the user does ---------------------------------------------------------------

    std::vector<QTreeWidgetItem *> TreeNodes() const {
        std::vector<QTreeWidgetItem *> Nodes;
        std::vector<QTreeWidgetItem *> Stack{F->TreeView1()->TopNode()};
        while (!Stack.empty()) {
            QTreeWidgetItem *N = Stack.back();
            Stack.pop_back();
            Nodes.push_back(N);
            for (int i = 0; i < N->childCount(); ++i)
                Stack.push_back(N->child(i));
        }
        return Nodes;
    }

    QTreeWidgetItem *AnyNode() { return PickOf(Rng, TreeNodes()); }

    void Say(const QString &Text) { Detail += Text.toStdString(); }

    // An open editor in View gets a typed text and Enter, Escape, or is left open.
    void AnswerEditor(QAbstractItemView *View) {
        auto *Editor = qobject_cast<QLineEdit *>(View->indexWidget(View->currentIndex()));
        if (!Editor)
            return;
        const int Choice = Pick(Rng, 10);
        if (Choice == 0) {
            Say(QStringLiteral("editor left open"));
            return;
        }
        if (Choice == 1) {
            QTest::keyClick(Editor, Qt::Key_Escape);
            Say(QStringLiteral("Escape"));
            return;
        }
        const QString Text = PickOf(Rng, Typed);
        // Typed as one input: key events exist for ASCII characters only.
        Editor->selectAll();
        Editor->insert(Text);
        QTest::keyClick(Editor, Qt::Key_Return);
        Say(QStringLiteral("typed '") + Text + QStringLiteral("'"));
    }

    void SelectRows(TEntryList &List) {
        List.clearSelection();
        const int Count = List.Count();
        if (Count == 0)
            return;
        const int Want = Chance(Rng, 60) ? 1 : Pick(Rng, Count) + 1;
        for (int i = 0; i < Want; ++i) {
            TEntryRow *Row = List.Row(Pick(Rng, Count));
            List.setCurrentItem(Row, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        Say(QString::number(List.SelectedRows().size()) + QStringLiteral(" rows"));
    }

    QMenu *OpenRowMenu(TEntryList &List) {
        QPoint At(2, 2);
        if (!List.SelectedRows().isEmpty())
            At = List.visualItemRect(List.SelectedRows().first()).center();
        emit List.customContextMenuRequested(At);
        return F->Menu("PropPopupMenu");
    }

    void TriggerFromMenu(QMenu *Menu) {
        std::vector<QAction *> Enabled;
        for (QAction *A : Menu->actions())
            if (A->isVisible() && A->isEnabled() && !A->isSeparator())
                Enabled.push_back(A);
        if (!Enabled.empty() && Chance(Rng, 90)) {
            QAction *A = PickOf(Rng, Enabled);
            Say(WithoutAccessKey(A->text()));
            Menu->hide();
            A->trigger();
        } else {
            Menu->hide();
        }
    }

    void Trigger(QAction *A) {
        A->trigger();
        if (F->TreeView1()->IsEditing())
            AnswerEditor(F->TreeView1());
        else if (F->ListView1()->IsEditing())
            AnswerEditor(F->ListView1());
    }

    void SettingsDialog() {
        QTimer::singleShot(0, Window.get(), [this] {
            auto *Dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!Dialog)
                return;
            auto Click = [Dialog](const char *Name) {
                if (auto *B = Dialog->findChild<QPushButton *>(QString::fromLatin1(Name)))
                    B->click();
            };
            auto *Tree = Dialog->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
            auto *Grid = Dialog->findChild<QTableWidget *>(QStringLiteral("ValueListEditor1"));
            for (int i = Pick(Rng, 5); i-- > 0 && Tree && Grid;) {
                switch (Pick(Rng, 5)) {
                case 0: {
                    const QList<QTreeWidgetItem *> All = Tree->findItems(
                        QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive);
                    if (!All.isEmpty())
                        Tree->setCurrentItem(All[Pick(Rng, int(All.size()))]);
                    break;
                }
                case 1:
                    Click("AddButton");
                    break;
                case 2:
                    if (Grid->rowCount() > 0) {
                        Grid->setCurrentCell(Pick(Rng, Grid->rowCount()), 0);
                        Click("DeleteButton");
                    }
                    break;
                default:
                    if (Grid->rowCount() > 0) {
                        const int Column = Pick(Rng, 2);
                        Grid->setCurrentCell(Pick(Rng, Grid->rowCount()), Column);
                        Grid->editItem(Grid->currentItem());
                        QWidget *Editor = Grid->indexWidget(Grid->currentIndex());
                        if (auto *Combo = qobject_cast<QComboBox *>(Editor))
                            Combo->setCurrentIndex(Pick(Rng, Combo->count()));
                        else if (auto *Line = qobject_cast<QLineEdit *>(Editor))
                            Line->setText(Chance(Rng, 50) ? PickOf(Rng, Typed)
                                                          : QStringLiteral("Feld"));
                        if (Editor)
                            QTest::keyClick(Editor, Qt::Key_Return);
                    }
                }
                Settle();
            }
            Click(Chance(Rng, 80) ? "OkButton" : "CancelButton");
            if (Dialog->isVisible())
                Click("CancelButton");
            if (Dialog->isVisible())
                Dialog->reject();
        });
        F->Action("acSettings")->trigger();
    }

    void SearchWindow() {
        if (!F->Window().findChild<TSearchForm *>() || Chance(Rng, 20)) {
            F->Action("acSearch")->trigger();
            Say(QStringLiteral("opened"));
        }
        TSearchForm *Form = F->Window().findChild<TSearchForm *>();
        if (!Form)
            return;
        TEntryList &Results = Form->ResultList();
        switch (Pick(Rng, 6)) {
        case 0: {
            static const std::vector<QString> Words = {
                QString(), QStringLiteral("e"), QStringLiteral("kunde"), QStringLiteral("x y"),
                QStringLiteral("Besprechung")};
            Form->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(PickOf(Rng, Words));
            if (auto *Box = Form->findChild<QCheckBox *>(QStringLiteral("CheckBox1")))
                if (Chance(Rng, 30))
                    Box->toggle();
            Form->findChild<QPushButton *>(Chance(Rng, 80) ? QStringLiteral("StartButton")
                                                           : QStringLiteral("NewSearchButton"))
                ->click();
            Say(QStringLiteral("search"));
            break;
        }
        case 1:
        case 2:
            SelectRows(Results);
            TriggerFromMenu(OpenRowMenu(Results));
            break;
        case 3:
            SelectRows(Results);
            if (!Results.SelectedRows().isEmpty()) {
                Results.editItem(Results.SelectedRows().first(), 0);
                AnswerEditor(&Results);
            }
            break;
        case 4:
            SelectRows(Results);
            if (!Results.SelectedRows().isEmpty())
                emit Results.itemDoubleClicked(Results.SelectedRows().first(), 0);
            break;
        default:
            Form->close();
            Say(QStringLiteral("closed"));
        }
    }

    void Filter() {
        // The panel's fields can be reached only while it is open.
        switch (F->Find<TFilterPanel>("Panel8")->isHidden() ? 0 : Pick(Rng, 4)) {
        case 0:
            F->Action("acFilter")->trigger();
            Say(F->Find<TFilterPanel>("Panel8")->isHidden() ? QStringLiteral("closed")
                                                            : QStringLiteral("opened"));
            break;
        case 1:
            F->Find<QCheckBox>("CheckBox1")->toggle();
            F->Find<QDateEdit>("sddate")->setDate(
                F->Find<QDateEdit>("sddate")->date().addDays(Pick(Rng, 7) - 3));
            Say(QStringLiteral("von ") +
                F->Find<QDateEdit>("sddate")->date().toString(Qt::ISODate));
            break;
        case 2:
            F->Find<QCheckBox>("CheckBox2")->toggle();
            F->Find<QTimeEdit>("edtime")->setTime(QTime(Pick(Rng, 24), Pick(Rng, 60)));
            Say(QStringLiteral("bis ") + F->Find<QTimeEdit>("edtime")->time().toString());
            break;
        default:
            F->Find<QLineEdit>("Edit1")->setText(Chance(Rng, 30) ? QString()
                                                                 : PickOf(Rng, Typed).left(3));
            Say(QStringLiteral("Stichworte '") + F->Find<QLineEdit>("Edit1")->text() +
                QLatin1Char('\''));
        }
    }

    void BuildActions() {
        TProjectTree *Tree = F->TreeView1();
        TEntryList *List = F->ListView1();
        Actions = {
            {"select a tree node", 10,
             [this, Tree] {
                 QTreeWidgetItem *N = AnyNode();
                 Tree->setCurrentItem(N);
                 Say(N->text(0));
             }},
            {"tree key", 6,
             [this, Tree] {
                 static const std::vector<Qt::Key> Keys = {
                     Qt::Key_Up,   Qt::Key_Down,  Qt::Key_Home,   Qt::Key_End,
                     Qt::Key_Left, Qt::Key_Right, Qt::Key_Delete, Qt::Key_F2};
                 const Qt::Key Key = PickOf(Rng, Keys);
                 Say(QKeySequence(Key).toString());
                 QTest::keyClick(Tree, Key);
                 AnswerEditor(Tree);
             }},
            {"select rows", 10, [this, List] { SelectRows(*List); }},
            {"list key", 6,
             [this, List] {
                 static const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> Keys = {
                     {Qt::Key_Down, {}},
                     {Qt::Key_Up, {}},
                     {Qt::Key_Down, Qt::ShiftModifier},
                     {Qt::Key_A, Qt::ControlModifier},
                     {Qt::Key_Home, {}},
                     {Qt::Key_Delete, {}},
                     {Qt::Key_F2, {}},
                     {Qt::Key_Return, {}}};
                 const auto &[Key, Mods] = PickOf(Rng, Keys);
                 Say(QKeySequence(int(Mods) | Key).toString());
                 QTest::keyClick(List, Key, Mods);
                 AnswerEditor(List);
             }},
            {"Projekt menu", 8,
             [this] {
                 emit F->Menu("TBSubmenuItem4")->aboutToShow();
                 TriggerFromMenu(F->Menu("TBSubmenuItem4"));
                 if (F->TreeView1()->IsEditing())
                     AnswerEditor(F->TreeView1());
             }},
            {"tree menu", 5,
             [this, Tree] {
                 QTreeWidgetItem *N = AnyNode();
                 Tree->scrollToItem(N);
                 emit Tree->customContextMenuRequested(Tree->visualItemRect(N).center());
                 TriggerFromMenu(F->Menu("rubrprop"));
                 if (Tree->IsEditing())
                     AnswerEditor(Tree);
             }},
            {"drag a project", 4,
             [this, Tree] {
                 QTreeWidgetItem *Target = AnyNode();
                 Say(Tree->currentItem() ? Tree->currentItem()->text(0) : QString());
                 Say(QStringLiteral(" onto ") + Target->text(0));
                 F->Projects().Drop(Tree, Target);
             }},
            {"drag rows", 4,
             [this, Tree, List] {
                 SelectRows(*List);
                 QTreeWidgetItem *Target = AnyNode();
                 Say(QStringLiteral(" onto ") + Target->text(0));
                 F->Projects().Drop(List, Target);
             }},
            {"cut", 3, [this] { Trigger(F->Action("acCut")); }},
            {"paste", 3, [this] { Trigger(F->Action("acPaste")); }},
            {"Zeiten menu", 10,
             [this] {
                 std::vector<QAction *> Commands = {F->Action("acNewTime"), F->Action("acEditTime"),
                                                    F->Action("acDelTime"), F->Action("acSplit"),
                                                    F->Action("acMelt"),    F->Action("acRenTime")};
                 QAction *A = PickOf(Rng, Commands);
                 Say(WithoutAccessKey(A->text()));
                 Trigger(A);
             }},
            {"row menu", 8,
             [this, List] {
                 if (Chance(Rng, 70))
                     SelectRows(*List);
                 TriggerFromMenu(OpenRowMenu(*List));
                 if (List->IsEditing())
                     AnswerEditor(List);
             }},
            {"double click a row", 3,
             [this, List] {
                 SelectRows(*List);
                 if (!List->SelectedRows().isEmpty())
                     emit List->itemDoubleClicked(List->SelectedRows().first(), 0);
             }},
            {"filter", 6, [this] { Filter(); }},
            {"search window", 6, [this] { SearchWindow(); }},
            {"stopwatch", 5,
             [this] {
                 std::vector<QAction *> Commands = {F->Action("TBItem3"), F->Action("TBItem8"),
                                                    F->Action("TBItem28"), F->Action("acMinimize"),
                                                    F->Action("Zeitstoppen1")};
                 QAction *A = PickOf(Rng, Commands);
                 Say(WithoutAccessKey(A->text()));
                 A->trigger();
             }},
            {"document settings", 3, [this] { SettingsDialog(); }},
            {"Datei menu", 5,
             [this] {
                 std::vector<QAction *> Commands = {F->Action("acNew"), F->Action("acOpen"),
                                                    F->Action("acSave"), F->Action("acSaveAs"),
                                                    F->Action("acImport")};
                 for (QAction *A : F->Menu("MenuRecent")->actions())
                     if (A != F->Action("acLeer"))
                         Commands.push_back(A);
                 QAction *A = PickOf(Rng, Commands);
                 Say(WithoutAccessKey(A->text()));
                 Trigger(A);
                 CheckSaved = true;
             }},
        };
    }

    // --- what must hold after every step --------------------------------------------------

    bool Sound(std::string &Why) {
        const TChronarkMan &Doc = F->Doc();
        if (!Doc.CheckInvariants(&Why))
            return false;
        std::unordered_set<const TCKItem *> Nodes{Doc.Root.get()};
        bool FieldsValid = true;
        WalkSubtree(
            Doc.Root.get(), [&](TCKProjectItem *P) { Nodes.insert(P); },
            [&](TCKTimeItem *E) {
                Nodes.insert(E);
                for (const tFieldItem &Field : E->Fields)
                    if (Doc.FieldDefExists(Field.Id) &&
                        !IsValidFieldValue(Field.Value, Doc.FieldDefType(Field.Id))) {
                        Why = "entry field " + Field.Id + " holds \"" + Field.Value + "\"";
                        FieldsValid = false;
                    }
            },
            [](TCKProjectItem *) {});
        if (!FieldsValid)
            return false;
        auto Known = [&Nodes](const TCKItem *Item) { return Item && Nodes.count(Item) > 0; };

        if (!Known(Doc.DefaultProject) || !Known(F->Views().ShownProject())) {
            Why = "the default or the shown project is not in the document";
            return false;
        }
        if (!TreeMirrorsDocument(Why) || !ListShowsCurrentProject(Known, Why))
            return false;
        for (const TCKItem *Item : F->Entries().CutItems())
            if (!Known(Item)) {
                Why = "the cut list names an item that is gone";
                return false;
            }
        if (F->Entries().PopupRow() &&
            (!F->Entries().PopupList() ||
             F->Entries().PopupList()->IndexOf(F->Entries().PopupRow()) < 0)) {
            Why = "the row menu's row is not a row of its list";
            return false;
        }
        if (TSearchForm *Form = F->Window().findChild<TSearchForm *>()) {
            const TEntryList &Results = Form->ResultList();
            for (int i = 0; i < Results.Count(); ++i)
                if (!Known(Results.RowData(i))) {
                    Why = "a search row names an entry that is gone";
                    return false;
                }
        }
        const TNetTimes Net = Doc.NetTimesByProject();
        const QString Total = QStringLiteral("Gesamt: ") + ToQ(SecondsText(Net.Total()));
        const QString Current = QStringLiteral("Aktuelles Project: ") +
                                ToQ(SecondsText(Net.Seconds(F->Views().ShownProject())));
        if (F->Find<QLabel>("StatusPanel0")->text() != Total ||
            F->Find<QLabel>("StatusPanel1")->text() != Current) {
            Why = "the status bar shows " + F->Find<QLabel>("StatusPanel0")->text().toStdString() +
                  " / " + F->Find<QLabel>("StatusPanel1")->text().toStdString() +
                  ", the document " + Total.toStdString() + " / " + Current.toStdString();
            return false;
        }
        if (CheckSaved) {
            CheckSaved = false;
            if (!Doc.Modified && !F->Session().FileName().isEmpty() && !SavedAsLoaded(Why))
                return false;
        }
        return true;
    }

    // Every node stands for a project of the document, under the node of its parent, with its
    // caption; each project has exactly one node; the default project's node alone is bold.
    bool TreeMirrorsDocument(std::string &Why) const {
        const TChronarkMan &Doc = F->Doc();
        std::vector<std::pair<QTreeWidgetItem *, const TCKProjectItem *>> Stack{
            {F->TreeView1()->TopNode(), Doc.Root.get()}};
        while (!Stack.empty()) {
            auto [Node, Project] = Stack.back();
            Stack.pop_back();
            if (TProjectTree::ProjectOf(Node) != Project) {
                Why = "tree node \"" + Node->text(0).toStdString() + "\" shows another project";
                return false;
            }
            if (Project != Doc.Root.get() && !F->TreeView1()->IsEditing() &&
                Node->text(0) != ToQ(Project->Caption)) {
                Why = "tree node \"" + Node->text(0).toStdString() + "\" names project \"" +
                      Project->Caption + "\"";
                return false;
            }
            if (TProjectTree::IsMarkedDefault(Node) != (Project == Doc.DefaultProject)) {
                Why = "tree node \"" + Node->text(0).toStdString() + "\" is marked wrongly";
                return false;
            }
            std::unordered_set<const TCKProjectItem *> Children;
            for (TCKItem *C = Project->FirstChild; C; C = C->Next)
                if (C->IsProject())
                    Children.insert(static_cast<const TCKProjectItem *>(C));
            if (size_t(Node->childCount()) != Children.size()) {
                Why = "tree node \"" + Node->text(0).toStdString() + "\" has " +
                      std::to_string(Node->childCount()) + " children, its project " +
                      std::to_string(Children.size());
                return false;
            }
            for (int i = 0; i < Node->childCount(); ++i) {
                const TCKProjectItem *Child = TProjectTree::ProjectOf(Node->child(i));
                if (!Children.erase(Child)) {
                    Why = "tree node \"" + Node->child(i)->text(0).toStdString() +
                          "\" is no sub-project of its parent's";
                    return false;
                }
                Stack.push_back({Node->child(i), Child});
            }
        }
        return true;
    }

    // The rows are the shown project's sub-projects and the entries that pass the filter,
    // each once, with its texts.
    template <typename KnownFn> bool ListShowsCurrentProject(KnownFn Known, std::string &Why) {
        const TChronarkMan &Doc = F->Doc();
        const TEntryList &List = *F->ListView1();
        if (F->Entries().SelectedRow() && List.IndexOf(F->Entries().SelectedRow()) < 0) {
            Why = "the selected entry is not a row of the list";
            return false;
        }
        std::unordered_set<const TCKItem *> Expected;
        for (TCKItem *C = F->Views().ShownProject()->FirstChild; C; C = C->Next)
            if (C->IsProject() || C->AsTime()->MatchesFilter(Doc.Filter, Doc.FilterActive))
                Expected.insert(C);
        for (int i = 0; i < List.Count(); ++i) {
            const TCKItem *Item = List.RowData(i);
            if (!Known(Item)) {
                Why = "row " + std::to_string(i) + " names an item that is gone";
                return false;
            }
            if (!Expected.erase(Item)) {
                Why = "row " + std::to_string(i) + " (" + List.Row(i)->text(0).toStdString() +
                      ") is not a child of the shown project that passes the filter";
                return false;
            }
            const std::string &Text = Item->IsProject()
                                          ? static_cast<const TCKProjectItem *>(Item)->Caption
                                          : static_cast<const TCKTimeItem *>(Item)->Comment;
            if (!List.IsEditing() && List.Row(i)->text(0) != ToQ(Text)) {
                Why = "row " + std::to_string(i) + " shows \"" +
                      List.Row(i)->text(0).toStdString() + "\" for \"" + Text + "\"";
                return false;
            }
        }
        if (!Expected.empty()) {
            Why = std::to_string(Expected.size()) + " children of the shown project have no row";
            return false;
        }
        return true;
    }

    bool SavedAsLoaded(std::string &Why) const {
        TChronarkMan Reloaded;
        std::string Error;
        Reloaded.OnMessage = [&Error](TMessageKind, const std::string &Text) { Error += Text; };
        if (!Reloaded.LoadFromFile(QFile::encodeName(F->Session().FileName()).toStdString(),
                                   false)) {
            Why = "the saved file does not load: " + Error;
            return false;
        }
        // A line break in a comment or value comes back as a line feed, as the parser reads
        // every line end; the file's own line ends read the same on both sides.
        auto LineFeeds = [](std::string Text) {
            std::string Out;
            for (size_t i = 0; i < Text.size(); ++i)
                if (Text[i] != '\r')
                    Out += Text[i];
                else if (i + 1 == Text.size() || Text[i + 1] != '\n')
                    Out += '\n';
            return Out;
        };
        const std::string Saved = LineFeeds(DocumentText(F->Doc()));
        const std::string Loaded = LineFeeds(DocumentText(Reloaded));
        if (Saved != Loaded) {
            size_t At = 0;
            while (At < Saved.size() && At < Loaded.size() && Saved[At] == Loaded[At])
                ++At;
            const size_t From = At < 80 ? 0 : At - 80;
            Why = "the saved file loads as another document; the window's:\n" +
                  Saved.substr(From, 200) + "\nthe file's:\n" + Loaded.substr(From, 200);
            return false;
        }
        return true;
    }

    const uint64_t Seed;
    TRng Rng;
    const bool Trace;
    const QString Dir;
    TDateTime Clock = EncodeDateTime(2024, 3, 4, 9, 0, 0);
    TRandomPrompts Prompts;
    TRandomFileDialogs FileDialogs;
    TRandomEntryDialogs EntryDialogs;
    std::unique_ptr<TMainForm> Window;
    std::unique_ptr<TMainFormTestPeer> F;
    std::vector<TAction> Actions;
    std::vector<std::string> Log;
    std::string Detail;
    bool CheckSaved = false;
};

// The sample, every document of the test data (those that fail to load too) and generated
// ones, copied into Dir so that saving over them harms nothing.
QStringList FilesAtHand(const QString &Dir) {
    QStringList Files;
    const QString Sample = Dir + QStringLiteral("/Beispiel.ckx");
    QFile::copy(QStringLiteral(CHRONARK_SOURCE_DIR "/examples/Beispiel.ckx"), Sample);
    Files << Sample;
    QDirIterator It(QStringLiteral(CHRONARK_TEST_DATA), {QStringLiteral("*.ckx")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QFileInfo Info(It.next());
        const QString Copy =
            Dir + QLatin1Char('/') + Info.dir().dirName() + QLatin1Char('-') + Info.fileName();
        if (QFile::copy(Info.filePath(), Copy))
            Files << Copy;
    }
    WriteGeneratedDocuments(Dir, Files);
    Files.sort();
    return Files;
}

} // namespace

TEST(RandomUserTest, WindowAndDocumentStaySoundUnderRandomActions) {
    const TRunSize Size = RunSizeFromArguments();
    SetTrayAvailableOverride(TTrayOverride::Available);
    for (int i = 0; i < Size.Seeds; ++i) {
        QTemporaryDir Dir;
        ASSERT_TRUE(Dir.isValid());
        const QStringList Files = FilesAtHand(Dir.path());
        TRandomUser User(Size.FirstSeed + uint64_t(i), Dir.path(), Files, Size.Trace);
        if (!User.Run(Size.Steps))
            break;
    }
    SetTrayAvailableOverride(TTrayOverride::AskDesktop);
}
