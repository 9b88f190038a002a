#pragma once
// Shared pieces of the main-window tests: scripted prompts and file dialogs, a settable
// clock, temporary settings, and a fixture that creates and starts the window.

#include "app/platform.h"
#include "app/registry.h"
#include "base/clock.h"
#include "base/dates.h"
#include "dialogs/entrydialogs.h"
#include "dialogs/entrylist.h"
#include "ui/filedialogs.h"
#include "mainwindow/mainform.h"
#include "mainform_testpeer.h"
#include "dialogs/projecttree.h"
#include "ui/prompts.h"
#include "tests/ui/scriptedprompts.h"
#include "app/qtext.h"
#include "model/ckm.h"

#include <QAction>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <memory>

// Readable strings in failure messages.
inline void PrintTo(const QString &S, std::ostream *Out) {
    *Out << '"' << S.toStdString() << '"';
}

// A menu caption without its access-key marker: "Sch&ließen" -> "Schließen", "A&&B" -> "A&B".
inline QString WithoutAccessKey(const QString &Caption) {
    QString Plain;
    for (qsizetype i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == QLatin1Char('&') && i + 1 < Caption.size())
            ++i;
        Plain += Caption[i];
    }
    return Plain;
}

class TScriptedFileDialogs : public TFileDialogService {
public:
    // An empty name cancels the dialog.
    std::deque<QString> Answers;
    // The file type chosen with each confirmed name; none left keeps the one proposed.
    std::deque<int> FilterAnswers;
    std::vector<TFileDialogRequest> Requests;

    bool Execute(QWidget *, TFileDialogRequest &Request) override {
        Requests.push_back(Request);
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected file dialog: " << Request.Title.toStdString();
            return false;
        }
        const QString Name = Answers.front();
        Answers.pop_front();
        if (Name.isEmpty())
            return false;
        Request.FileName = Name;
        if (!FilterAnswers.empty()) {
            Request.FilterIndex = FilterAnswers.front();
            FilterAnswers.pop_front();
        }
        return true;
    }
};

// The entry windows: each request is recorded and answered from the script; an unexpected
// dialog fails the test.
class TScriptedEntryDialogs : public TEntryDialogService {
public:
    struct TAnswer {
        bool Ok = false;
        tCKEditItem Data;      // what an edit or new dialog leaves on OK
        TDateTime SplitAt = 0; // the moment a split dialog answers
    };
    struct TRequest {
        QString Kind; // "edit", "new" or "split"
        tCKEditItem Data;
        tFieldDefList FieldDefs;
        QWidget *Owner = nullptr; // the window the dialog would belong to
    };
    std::deque<TAnswer> Answers;
    std::vector<TRequest> Requests;

    bool EditEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) override {
        return Answer("edit", Owner, FieldDefs, Data, nullptr);
    }
    bool NewEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) override {
        return Answer("new", Owner, FieldDefs, Data, nullptr);
    }
    bool Split(QWidget *Owner, const TCKTimeItem &Entry, TDateTime &SplitTime) override {
        tCKEditItem Data = Entry.GetData();
        return Answer("split", Owner, {}, Data, &SplitTime);
    }

private:
    bool Answer(const char *Kind, QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data,
                TDateTime *SplitTime) {
        Requests.push_back({QString::fromLatin1(Kind), Data, FieldDefs, Owner});
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected " << Kind << " dialog";
            return false;
        }
        const TAnswer A = Answers.front();
        Answers.pop_front();
        if (!A.Ok)
            return false;
        if (SplitTime)
            *SplitTime = A.SplitAt;
        else
            Data = A.Data;
        return true;
    }
};

// The scripted prompts, also noting the window each box would belong to (null: the
// service's own, the main window).
class TOwnerNotingPrompts : public TScriptedPrompts {
public:
    QList<QWidget *> Owners;

    void ShowMessage(const QString &Text) override {
        Owners << Owner();
        TScriptedPrompts::ShowMessage(Text);
    }
    TPromptAnswer Confirm(const QString &Text, bool Cancel) override {
        Owners << Owner();
        return TScriptedPrompts::Confirm(Text, Cancel);
    }
};

// The window under test, reached through its peer: Form->TreeView1(),
// Form->Action("TBSubmenuItem2")->trigger().
class TFormUnderTest {
public:
    TMainFormTestPeer &Create(const std::vector<std::string> &Params,
                              const TMainForm::TOptions &Options) {
        // The previous window goes first: as in the program, one window at a time.
        reset();
        Window = std::make_unique<TMainForm>(Params, Options);
        Peer = std::make_unique<TMainFormTestPeer>(*Window);
        return *Peer;
    }
    void reset() {
        Peer.reset();
        Window.reset();
    }
    TMainFormTestPeer *operator->() const { return Peer.get(); }
    TMainFormTestPeer &operator*() const { return *Peer; }

private:
    std::unique_ptr<TMainForm> Window;
    std::unique_ptr<TMainFormTestPeer> Peer;
};

// The clock the window reads; tests move it instead of waiting.
struct TTestClock {
    TDateTime Time = EncodeDateTime(2024, 3, 4, 9, 0, 0, 250);
    void Advance(int Seconds) { Time = AddSeconds(Time, Seconds); }
};

class MainFormTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        SetClock([this] { return Clock.Time; });
        SetTrayAvailableOverride(TTrayOverride::Available);
    }
    void TearDown() override {
        Form.reset();
        SetClock({});
        SetTrayAvailableOverride(TTrayOverride::AskDesktop);
    }

    QString SettingsFolder() const { return Dir.filePath(QStringLiteral("settings")); }
    QString FilePath(const QString &Name) const { return Dir.filePath(Name); }

    // Creates the window with the given parameters; Start shows it.
    TMainFormTestPeer &Make(const std::vector<std::string> &Params = {}) {
        TMainForm::TOptions Options;
        Options.Prompts = &Prompts;
        Options.FileDialogs = &Dialogs;
        Options.EntryDialogs = &EntryDialogs;
        Options.SettingsFolder = SettingsFolder();
        // Room for the designed window: the offscreen screen is smaller than any desktop.
        Options.ScreenArea = ScreenArea;
        return Form.Create(Params, Options);
    }
    TMainFormTestPeer &MakeStarted(const std::vector<std::string> &Params = {}) {
        Make(Params).Start();
        return *Form;
    }

    // Direct access to the stored settings, as the window's key layout names them.
    std::unique_ptr<TRegistry> Settings(const QString &SubKey, bool Create) const {
        auto Reg = std::make_unique<TRegistry>(SettingsFolder());
        QString Key = QStringLiteral("\\Software\\Velmoor Software\\Chronark");
        if (!SubKey.isEmpty())
            Key += QLatin1Char('\\') + SubKey;
        if (!Reg->OpenKey(Key, Create))
            return nullptr;
        return Reg;
    }

    tCKEditItem Span(int H1, int M1, int S1, int H2, int M2, int S2,
                     const std::string &Comment = {}) const {
        tCKEditItem E;
        E.StartTime = EncodeDateTime(2024, 3, 4, H1, M1, S1);
        E.EndTime = EncodeDateTime(2024, 3, 4, H2, M2, S2);
        E.Comment = Comment;
        return E;
    }

    // Row captions of the entry list, top to bottom.
    QStringList ListCaptions() const {
        QStringList C;
        for (int i = 0; i < Form->ListView1()->Count(); ++i)
            C << Form->ListView1()->Row(i)->text(0);
        return C;
    }

    void ShowProject(TCKProjectItem *P) {
        QTreeWidgetItem *Node = Form->TreeView1()->FindProjectNode(P);
        ASSERT_NE(Node, nullptr);
        Form->TreeView1()->setCurrentItem(Node);
        ASSERT_EQ(Form->Views().ShownProject(), P);
    }

    void SelectRows(std::initializer_list<int> Rows) {
        Form->ListView1()->clearSelection();
        for (int R : Rows) {
            Form->ListView1()->setCurrentItem(Form->ListView1()->Row(R), 0,
                                              QItemSelectionModel::Select |
                                                  QItemSelectionModel::Rows);
        }
    }

    // Saves a document made by Build to Name and answers the full path.
    QString WriteDocument(const QString &Name,
                          const std::function<void(TChronarkMan &)> &Build) const {
        TChronarkMan Doc;
        Build(Doc);
        const QString Path = FilePath(Name);
        std::string Error;
        Doc.OnMessage = [&Error](TMessageKind, const std::string &Text) { Error = Text; };
        EXPECT_TRUE(Doc.SaveToFile(QFile::encodeName(Path).toStdString())) << Error;
        return Path;
    }

    QRect ScreenArea{0, 0, 1920, 1200};
    QTemporaryDir Dir;
    TTestClock Clock;
    TOwnerNotingPrompts Prompts;
    TScriptedFileDialogs Dialogs;
    TScriptedEntryDialogs EntryDialogs;
    TFormUnderTest Form;
};
