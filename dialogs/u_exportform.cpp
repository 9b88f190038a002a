#include "dialogs/u_exportform.h"

#include "dialogs/projecttree.h"
#include "app/qtext.h"
#include "ui/filedialogs.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <climits>

namespace {

// File names travel as the system's 8-bit names, the profile's texts as the document's text.
QString FromNative(const std::string &Name) {
    return QFile::decodeName(QByteArray::fromStdString(Name));
}
std::string ToNative(const QString &Name) {
    return QFile::encodeName(Name).toStdString();
}

} // namespace

Texportform::Texportform(const TExportFormRequest &ARequest, const TChronarkMan &Document,
                         const TImageList *Images, QWidget *Parent)
    : QDialog(Parent), Request(ARequest) {
    setObjectName(QStringLiteral("exportform"));
    setWindowTitle(ToQ(Request.Caption));

    TreeView1 = new TProjectTree(Images, TProjectTree::CheckMarks, this);
    TreeView1->SetRootProject(Document.Root.get());
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    ProfileLabel = new QLabel(QStringLiteral("Exportprofil:"), this);
    cbProfile = new QComboBox(this);
    cbProfile->setObjectName(QStringLiteral("cbProfile"));
    SeparatorLabel = new QLabel(QStringLiteral("Trennzeichen:"), this);
    cbSeparator = new QComboBox(this);
    cbSeparator->setObjectName(QStringLiteral("cbSeparator"));
    CharLabel = new QLabel(QStringLiteral("Zeichen:"), this);
    edChar = new QLineEdit(this);
    edChar->setObjectName(QStringLiteral("edChar"));
    edChar->setMaxLength(1);
    CodeLabel = new QLabel(QStringLiteral("Dezimal:"), this);
    edCode = new QSpinBox(this);
    edCode->setObjectName(QStringLiteral("edCode"));
    edCode->setRange(INT_MIN, INT_MAX);
    ProfileLabel->setBuddy(cbProfile);
    SeparatorLabel->setBuddy(cbSeparator);
    CharLabel->setBuddy(edChar);
    CodeLabel->setBuddy(edCode);

    auto *OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    auto *CancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto *Options = new QGridLayout;
    Options->addWidget(ProfileLabel, 0, 0);
    Options->addWidget(cbProfile, 0, 1, 1, 3);
    Options->addWidget(SeparatorLabel, 1, 0);
    Options->addWidget(cbSeparator, 1, 1, 1, 3);
    Options->addWidget(CharLabel, 2, 0);
    Options->addWidget(edChar, 2, 1);
    Options->addWidget(CodeLabel, 2, 2);
    Options->addWidget(edCode, 2, 3);
    auto *Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(OkButton);
    Buttons->addWidget(CancelButton);
    auto *Main = new QVBoxLayout(this);
    Main->addWidget(TreeView1);
    Main->addLayout(Options);
    Main->addLayout(Buttons);

    for (const std::string &Name : Request.SubProfiles)
        cbProfile->addItem(FromNative(Name));
    cbProfile->setCurrentIndex(Request.SubProfiles.empty() ? -1 : Request.SubProfile);
    cbProfile->setEnabled(Request.SubProfilesEnabled);
    ProfileLabel->setEnabled(Request.SubProfilesEnabled);

    for (const std::string &Item : Request.SepItems)
        cbSeparator->addItem(ToQ(Item));
    cbSeparator->setEnabled(!Request.SepItems.empty());
    SeparatorLabel->setEnabled(!Request.SepItems.empty());
    cbSeparator->setCurrentIndex(Request.SepItems.empty() ? -1 : 0);
    SeparatorChanged(cbSeparator->currentIndex());

    Document.FillProjectTree(*TreeView1);
    TreeView1->expandAll();
    TreeView1->setCurrentItem(TreeView1->topLevelItem(0));

    connect(cbSeparator, &QComboBox::currentIndexChanged, this, &Texportform::SeparatorChanged);
    connect(edChar, &QLineEdit::textChanged, this, &Texportform::CharacterTyped);
    connect(edCode, &QSpinBox::valueChanged, this, &Texportform::CodeChanged);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool Texportform::CustomSeparator() const {
    return cbSeparator->count() > 0 && cbSeparator->currentIndex() == cbSeparator->count() - 1;
}

void Texportform::SeparatorChanged(int) {
    const bool Custom = CustomSeparator();
    for (QWidget *W : {static_cast<QWidget *>(CharLabel), static_cast<QWidget *>(edChar),
                       static_cast<QWidget *>(CodeLabel), static_cast<QWidget *>(edCode)})
        W->setEnabled(Custom);
}

void Texportform::CharacterTyped(const QString &Text) {
    if (Linking || Text.isEmpty())
        return;
    const std::string Byte = FromQ(Text.left(1));
    Linking = true;
    edCode->setValue(Byte.empty() ? 0 : static_cast<unsigned char>(Byte[0]));
    Linking = false;
}

void Texportform::CodeChanged(int Code) {
    if (Linking || edCode->text().isEmpty())
        return;
    const char C = static_cast<char>(Code & 0xFF);
    Linking = true;
    // Code 0 has no character to show.
    edChar->setText(C == '\0' ? QString() : ToQ(std::string(1, C)));
    Linking = false;
}

TExportChoices Texportform::Choices() const {
    TExportChoices Result;
    Result.Projects = TreeView1->Ticked();
    const int Profile = cbProfile->currentIndex();
    if (Profile >= 0 && size_t(Profile) < Request.SubProfiles.size()) {
        Result.HasSubProfile = true;
        Result.SubProfile = Request.SubProfiles[size_t(Profile)];
    }
    const int Sep = cbSeparator->currentIndex();
    if (CustomSeparator())
        Result.Separator = static_cast<char>(edCode->value() & 0xFF);
    else if (Sep >= 0 && size_t(Sep) < Request.SepChars.size())
        Result.Separator = Request.SepChars[size_t(Sep)];
    return Result;
}

// --- the command's questions ------------------------------------------------------------

TQtExportUi::TQtExportUi(QWidget *AOwner, TPromptService &APrompts, TFileDialogService &ADialogs,
                         const TImageList *AImages, std::string &LastFileType,
                         QString AFallbackFolder)
    : Owner(AOwner), Prompts(APrompts), Dialogs(ADialogs), Images(AImages),
      RememberedType(LastFileType), FallbackFolder(std::move(AFallbackFolder)) {}

void TQtExportUi::Written(const std::string &FileName) {
    FWrittenFile = FromNative(FileName);
}

void TQtExportUi::ShowMessage(const std::string &Text) {
    Prompts.ShowMessage(ToQMessage(Text));
}

std::string TQtExportUi::LastFileType() {
    return RememberedType;
}

bool TQtExportUi::AskOutputFile(const TExportMan &Man, TExportSaveRequest &Request) {
    TFileDialogRequest Dialog;
    Dialog.Kind = TFileDialogRequest::Save;
    Dialog.Title = ToQ(Request.Title);
    Dialog.InitialDir = Request.Folder.empty() ? FallbackFolder : FromNative(Request.Folder);
    Dialog.FileName = FromNative(Request.FileName);
    QStringList Pairs;
    for (size_t i = 0; i < Request.FileTypes.size() && i < Request.Masks.size(); ++i)
        Pairs << ToQ(Request.FileTypes[i]) << ToQ(Request.Masks[i]);
    Dialog.Filter = Pairs.join(QLatin1Char('|'));
    Dialog.FilterIndex = Request.FileType;
    Dialog.DefaultSuffix = ToQ(Request.DefaultExt);
    Dialog.FilterChanged = [&Man](const QString &Typed, int Type) {
        return FromNative(Man.FileTypeChanged(ToNative(Typed), Type));
    };
    if (!Dialogs.Execute(Owner, Dialog))
        return false;
    Request.FileName = ToNative(Dialog.FileName);
    if (Dialog.FilterIndex >= 0 && size_t(Dialog.FilterIndex) < Request.FileTypes.size()) {
        Request.FileType = Dialog.FilterIndex;
        RememberedType = Request.FileTypes[size_t(Request.FileType)];
    }
    return true;
}

void TQtExportUi::ListSubFolders(const std::string &Path, TStringList &Names) {
    Names.clear();
    // Hidden ones count too unless their names begin with ".".
    const QStringList Found =
        QDir(FromNative(Path)).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &Name : Found)
        if (!Name.startsWith(QLatin1Char('.')))
            Names.push_back(ToNative(Name));
}

bool TQtExportUi::AskChoices(const TExportFormRequest &Request, const TChronarkMan &Document,
                             TExportChoices &Choices) {
    Texportform Form(Request, Document, Images, Owner);
    if (Form.exec() != QDialog::Accepted)
        return false;
    Choices = Form.Choices();
    return true;
}
