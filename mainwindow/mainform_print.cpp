// The print command.

#include "app/qtext.h"
#include "dialogs/f_printform.h"
#include "mainwindow/mainform.h"
#include "ui/prompts.h"

void TMainForm::acPrintExecute() {
    TExportMan Man;
    TPrintDialogUi Ui(this, *FFileDialogs, CurrentFile);
    if (Man.Print(Ui, *Document, FromQ(CurrentFile)) == TPrintResult::Failed)
        Prompts().ShowError(
            Ui.PdfFile().isEmpty()
                ? QStringLiteral("Der Bericht konnte nicht gedruckt werden.")
                : QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.")
                      .arg(Ui.PdfFile()));
}
