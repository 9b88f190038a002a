#pragma once
// The open and save dialogs behind one service, so that tests can choose the files.

#include <QString>

#include <functional>

class QWidget;

struct TFileDialogRequest {
    enum TKind { Open, Save };
    TKind Kind = Open;
    QString Title;
    QString InitialDir;
    // In: the proposed name (save). Out: the chosen full file name.
    QString FileName;
    // "Description|pattern|Description|pattern" as the window declares its filters.
    QString Filter;
    QString DefaultSuffix;
    // In: the file type shown first (-1 for the first). Out: the file type chosen.
    int FilterIndex = -1;
    // When set, a file type chosen while the dialog is open turns the typed name into what
    // this answers for it (the name as it stood before the change, the new type's index).
    std::function<QString(const QString &Typed, int FilterIndex)> FilterChanged;
};

class TFileDialogService {
public:
    virtual ~TFileDialogService() = default;
    // True when the user confirmed; Request.FileName then holds the chosen file.
    virtual bool Execute(QWidget *Parent, TFileDialogRequest &Request) = 0;
};

// Qt's own file dialog (not the desktop's), so filters and proposed names behave the same
// everywhere. Open needs an existing file; Save asks before overwriting.
class TQtFileDialogs : public TFileDialogService {
public:
    bool Execute(QWidget *Parent, TFileDialogRequest &Request) override;
};

// "A (*.x)|*.x|B (*.*)|*.*" -> Qt name filters; "*.*" matches every file here.
QStringList NameFiltersFromPairs(const QString &Filter);
