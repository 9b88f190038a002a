#pragma once
// The open and save dialogs behind one service, so that tests can choose the files.

#include <QString>

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
