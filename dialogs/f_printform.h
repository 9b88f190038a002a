#pragma once
// The print dialog "Drucken": which projects go into the report, and the printer it goes to
// (a PDF file where no printer is installed).

#include "export/u_print.h"

#include <QDialog>
#include <QPrinter>
#include <QString>

#include <functional>
#include <memory>

class QTreeWidgetItem;
class QPushButton;
class TFileDialogService;
class TImageList;
class TPdfScratch;
class TProjectTree;
class TQtPrintCanvas;

class Tprintform : public QDialog {
    Q_OBJECT
public:
    // Every project of Document below the top node "Projekte" (the root), all ticked.
    // Images: the main window's image list for the folder images, or null.
    explicit Tprintform(const TChronarkMan &Document, const TImageList *Images = nullptr,
                        QWidget *Parent = nullptr);

    // The ticked projects, each before its children.
    TCKProjectList Ticked() const;
    // Ticks or unticks the node of Project alone; its children keep theirs.
    void Toggle(QTreeWidgetItem *Node);

    // "Setup..." calls it.
    std::function<void(QWidget *)> OnSetup;
    // "Seitenansicht" calls it with the projects ticked now.
    std::function<void(QWidget *, const TCKProjectList &)> OnPreview;

private:
    TProjectTree *TreeView1;
    QPushButton *SetupButton;
    QPushButton *PreviewButton;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};

// The print command's questions, answered with the print dialog, the system's printer dialog
// and, without a printer, a save dialog for the PDF file.
class TPrintDialogUi : public TPrintUi {
public:
    TPrintDialogUi(QWidget *AOwner, TFileDialogService &AFiles, const QString &ADocFileName,
                   const TImageList *AImages = nullptr);
    ~TPrintDialogUi() override;

    bool AskProjects(const TChronarkMan &Document, TCKProjectList &Projects) override;
    TPrintCanvas *Canvas() override;

    // Where the report went when it went to a file; empty for a printer.
    const QString &PdfFile() const { return FPdfFile; }
    // After a printed report: writes the PDF to its file as every output file is written
    // (the open document and special files refused, the old file kept on any failure).
    // True for a printer, or when the file was written.
    bool DeliverPdf();
    // Why the PDF file was refused or not written (Windows-1252); empty otherwise.
    const std::string &Reason() const { return FReason; }
    QPrinter &Printer() { return FPrinter; }

    // Seams for tests: whether a printer is installed, the system's printer dialog, the page
    // setup (paper and orientation) offered without a printer, and the print preview.
    std::function<bool()> HasPrinter;
    std::function<bool(QPrinter &, QWidget *)> PrinterSetup;
    std::function<bool(QPrinter &, QWidget *)> PageSetup;
    std::function<void(QPrinter &, QWidget *, const std::function<void(QPrinter &)> &)> Preview;

private:
    void Setup(QWidget *Parent);
    void ShowPreview(QWidget *Parent, const TCKProjectList &Projects);
    bool AskPdfFile(QWidget *Parent);

    QWidget *Owner;
    TFileDialogService &Files;
    QString DocFileName;
    const TImageList *Images;
    QPrinter FPrinter{QPrinter::HighResolution};
    QString FPdfFile;
    std::string FProtected; // the document's own file
    const TChronarkMan *FDocument = nullptr;
    bool PaperChosen = false;
    std::string FReason;
    std::unique_ptr<TPdfScratch> FScratch;
    std::unique_ptr<TQtPrintCanvas> FCanvas;
};
