#include "ui/filedialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

QStringList NameFiltersFromPairs(const QString &Filter) {
    QStringList Result;
    const QStringList Parts = Filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < Parts.size(); i += 2) {
        QString Description = Parts[i];
        QString Patterns = Parts[i + 1];
        Patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        Patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        // Qt reads the patterns from the last parentheses; drop a pattern the caption repeats.
        const int Paren = Description.lastIndexOf(QLatin1Char('('));
        if (Paren > 0 && Description.endsWith(QLatin1Char(')')))
            Description = Description.left(Paren).trimmed();
        Result << Description + QStringLiteral(" (") + Patterns + QLatin1Char(')');
    }
    return Result;
}

bool TQtFileDialogs::Execute(QWidget *Parent, TFileDialogRequest &Request) {
    QFileDialog Dialog(Parent, Request.Title, Request.InitialDir);
    Dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    Dialog.setOption(QFileDialog::ReadOnly, false);
    Dialog.setNameFilters(NameFiltersFromPairs(Request.Filter));
    if (Request.Kind == TFileDialogRequest::Save) {
        Dialog.setAcceptMode(QFileDialog::AcceptSave);
        Dialog.setFileMode(QFileDialog::AnyFile);
        if (!Request.DefaultSuffix.isEmpty())
            Dialog.setDefaultSuffix(Request.DefaultSuffix);
    } else {
        Dialog.setAcceptMode(QFileDialog::AcceptOpen);
        Dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!Request.FileName.isEmpty())
        Dialog.selectFile(Request.FileName);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return false;
    Request.FileName = QDir::toNativeSeparators(Dialog.selectedFiles().first());
    return true;
}
