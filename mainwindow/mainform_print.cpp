// The print command.

#include "app/qtext.h"
#include "dialogs/f_printform.h"
#include "mainwindow/docsession.h"
#include "mainwindow/mainform.h"
#include "mainwindow/mainform_env.h"
#include "mainwindow/statusline.h"
#include "ui/prompts.h"

#include <QLabel>

void TMainForm::acPrintExecute() {
    TPrintDialogUi Ui(this, Env->FileDialogs, Session->FileName(), &ImageList1);
    const TPrintResult Result = ExecutePrint(Ui, *Document, FromQ(Session->FileName()));
    if (Result == TPrintResult::Printed && Ui.DeliverPdf()) {
        if (!Ui.PdfFile().isEmpty())
            Status->ShowWrittenFile(QStringLiteral("PDF gespeichert unter"), Ui.PdfFile());
        return;
    }
    if (Result == TPrintResult::NothingChosen && Ui.Reason().empty())
        return;
    QString Text =
        Ui.PdfFile().isEmpty()
            ? QStringLiteral("Der Bericht konnte nicht gedruckt werden.")
            : QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.").arg(Ui.PdfFile());
    if (!Ui.Reason().empty())
        Text += QLatin1Char(' ') + ToQMessage(Ui.Reason());
    Env->Prompts.ShowError(Text);
}
