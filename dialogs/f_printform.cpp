#include "dialogs/f_printform.h"

#include "base/ckassert.h"
#include "dialogs/projecttree.h"
#include "app/qtext.h"
#include "model/ckfileio.h"
#include "ui/filedialogs.h"
#include "ui/printcanvas.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

Tprintform::Tprintform(const TChronarkMan &Document, const TImageList *Images, QWidget *Parent)
    : QDialog(Parent) {
    setObjectName(QStringLiteral("printform"));
    setWindowTitle(QStringLiteral("Drucken"));
    TreeView1 = new TProjectTree(Images, TProjectTree::CheckMarks, this);
    TreeView1->SetRootProject(Document.Root.get());
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    Document.FillProjectTree(*TreeView1);
    TreeView1->expandAll();

    SetupButton = new QPushButton(QStringLiteral("Setup..."), this);
    SetupButton->setObjectName(QStringLiteral("SetupButton"));
    PreviewButton = new QPushButton(QStringLiteral("Seitenansicht"), this);
    PreviewButton->setObjectName(QStringLiteral("PreviewButton"));
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto *Buttons = new QHBoxLayout;
    Buttons->addWidget(SetupButton);
    Buttons->addWidget(PreviewButton);
    Buttons->addStretch();
    Buttons->addWidget(OkButton);
    Buttons->addWidget(CancelButton);
    auto *Layout = new QVBoxLayout(this);
    Layout->addWidget(TreeView1);
    Layout->addLayout(Buttons);
    resize(320, sizeHint().height());

    connect(SetupButton, &QPushButton::clicked, this, [this] {
        if (OnSetup)
            OnSetup(this);
    });
    connect(PreviewButton, &QPushButton::clicked, this, [this] {
        if (OnPreview)
            OnPreview(this, Ticked());
    });
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void Tprintform::Toggle(QTreeWidgetItem *Node) {
    TreeView1->Toggle(Node);
}

TCKProjectList Tprintform::Ticked() const {
    return TreeView1->Ticked();
}

// --- TPrintDialogUi ----------------------------------------------------------------------

TPrintDialogUi::TPrintDialogUi(QWidget *AOwner, TFileDialogService &AFiles,
                               const QString &ADocFileName, const TImageList *AImages)
    : Owner(AOwner), Files(AFiles), DocFileName(ADocFileName), Images(AImages) {
    HasPrinter = [] { return !QPrinterInfo::availablePrinters().isEmpty(); };
    PrinterSetup = [](QPrinter &Printer, QWidget *Parent) {
        QPrintDialog Dialog(&Printer, Parent);
        Dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        return Dialog.exec() == QDialog::Accepted;
    };
    PageSetup = [](QPrinter &Printer, QWidget *Parent) {
        QPageSetupDialog Dialog(&Printer, Parent);
        return Dialog.exec() == QDialog::Accepted;
    };
    Preview = [](QPrinter &Printer, QWidget *Parent, const std::function<void(QPrinter &)> &Paint) {
        QPrintPreviewDialog Dialog(&Printer, Parent);
        Dialog.setWindowTitle(QStringLiteral("Seitenansicht"));
        QObject::connect(&Dialog, &QPrintPreviewDialog::paintRequested,
                         [&Paint](QPrinter *Target) { Paint(*Target); });
        Dialog.exec();
    };
}

TPrintDialogUi::~TPrintDialogUi() = default;

bool TPrintDialogUi::AskProjects(const TChronarkMan &Document, TCKProjectList &Projects) {
    Tprintform Form(Document, Images, Owner);
    FDocument = &Document;
    FProtected = Document.DiskFile;
    Form.OnSetup = [this](QWidget *Parent) { Setup(Parent); };
    Form.OnPreview = [this](QWidget *Parent, const TCKProjectList &Ticked) {
        ShowPreview(Parent, Ticked);
    };
    if (Form.exec() != QDialog::Accepted)
        return false;
    Projects = Form.Ticked();
    return true;
}

void TPrintDialogUi::Setup(QWidget *Parent) {
    if (HasPrinter()) {
        PrinterSetup(FPrinter, Parent);
        // A printer dialog may send the job to a file of its own choosing.
        FPdfFile =
            FPrinter.outputFormat() == QPrinter::PdfFormat ? FPrinter.outputFileName() : QString();
        return;
    }
    // Without a printer the report goes to a PDF file: its paper and orientation first.
    if (!PaperChosen)
        UseReportPaper(FPrinter);
    if (!PageSetup(FPrinter, Parent))
        return;
    PaperChosen = true;
    AskPdfFile(Parent);
}

void TPrintDialogUi::ShowPreview(QWidget *Parent, const TCKProjectList &Projects) {
    CK_ASSERT(FDocument, return );
    if (Projects.empty())
        return;
    if (!HasPrinter() && !PaperChosen)
        UseReportPaper(FPrinter);
    const std::string Name = FromQ(DocFileName);
    Preview(FPrinter, Parent, [this, &Projects, &Name](QPrinter &Target) {
        TQtPrintCanvas Canvas(Target);
        PrintReport(Canvas, *FDocument, Name, Projects);
    });
}

bool TPrintDialogUi::AskPdfFile(QWidget *Parent) {
    TFileDialogRequest Request;
    Request.Kind = TFileDialogRequest::Save;
    Request.Title = QStringLiteral("Drucken");
    const QFileInfo Doc(DocFileName);
    Request.InitialDir = DocFileName.isEmpty() ? QString() : Doc.absolutePath();
    Request.FileName = (DocFileName.isEmpty() ? QStringLiteral("Zeiten") : Doc.completeBaseName()) +
                       QStringLiteral(".pdf");
    Request.Filter = QStringLiteral("PDF-Dateien (*.pdf)|*.pdf");
    Request.DefaultSuffix = QStringLiteral("pdf");
    if (!Files.Execute(Parent, Request) || Request.FileName.isEmpty())
        return false;
    FPdfFile = Request.FileName;
    return true;
}

TPrintCanvas *TPrintDialogUi::Canvas() {
    if (FPdfFile.isEmpty() && !HasPrinter() && !AskPdfFile(Owner))
        return nullptr;
    if (!FPdfFile.isEmpty()) {
        if (!HasPrinter() && !PaperChosen)
            UseReportPaper(FPrinter);
        // Refused before the report is drawn; the file itself is written by DeliverPdf.
        TWriteOptions Options;
        Options.Protected = FProtected;
        if (const TResult Target = CheckOutputTarget(NativeFileName(FPdfFile), Options); !Target) {
            FReason = Target.Message();
            return nullptr;
        }
        FScratch = std::make_unique<TPdfScratch>();
        if (!FScratch->Attach(FPrinter))
            return nullptr;
    }
    FCanvas = std::make_unique<TQtPrintCanvas>(FPrinter);
    return FCanvas.get();
}

bool TPrintDialogUi::DeliverPdf() {
    if (FPdfFile.isEmpty())
        return true;
    FCanvas.reset();
    std::string Data;
    if (!FScratch || !FScratch->Take(Data))
        return false;
    TWriteOptions Options;
    Options.Protected = FProtected;
    const TResult Written = WriteFileAtomic(NativeFileName(FPdfFile), Data, Options).Result;
    if (!Written)
        FReason = Written.Message();
    return static_cast<bool>(Written);
}
