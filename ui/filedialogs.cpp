#include "ui/filedialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
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
    const QStringList Filters = NameFiltersFromPairs(Request.Filter);
    Dialog.setNameFilters(Filters);
    if (Request.FilterIndex >= 0 && Request.FilterIndex < Filters.size())
        Dialog.selectNameFilter(Filters[Request.FilterIndex]);
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

    // The dialog's own type box and name field. The box reports the new index before the
    // dialog swaps the name's extension itself, so the name is taken as the user left it.
    auto *Types = Dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    auto *Name = Dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    int ChosenType = Types ? Types->currentIndex() : Filters.indexOf(Dialog.selectedNameFilter());
    QString TypedBefore;
    bool TypeChanged = false;
    if (Types) {
        QObject::connect(Types, &QComboBox::currentIndexChanged, &Dialog, [&](int Index) {
            ChosenType = Index;
            TypedBefore = Name ? Name->text() : QString();
            TypeChanged = true;
        });
    }
    if (Request.FilterChanged && Name) {
        QObject::connect(&Dialog, &QFileDialog::filterSelected, &Dialog, [&](const QString &) {
            if (!TypeChanged)
                return;
            TypeChanged = false;
            if (!TypedBefore.isEmpty())
                Name->setText(Request.FilterChanged(TypedBefore, ChosenType));
        });
    }
    const bool Accepted = Dialog.exec() == QDialog::Accepted && !Dialog.selectedFiles().isEmpty();
    if (!Types)
        ChosenType = Filters.indexOf(Dialog.selectedNameFilter());
    if (!Accepted)
        return false;
    Request.FileName = QDir::toNativeSeparators(Dialog.selectedFiles().first());
    Request.FilterIndex = ChosenType;
    return true;
}
