#include "dialogs/gridcelldelegate.h"
#include "dialogs/f_settings.h"

#include "app/qtext.h"
#include "base/fieldtype.h"
#include "dialogs/edtform.h"
#include "dialogs/projecttree.h"
#include "ui/prompts.h"
#include "ui/refusededit.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int NameColumn = 0;
constexpr int TypeColumn = 1;

QString RowMessage(TFieldSettings::TRowCheck Check) {
    switch (Check) {
    case TFieldSettings::TRowCheck::EmptyName:
        return QStringLiteral("Feldname darf nicht leer sein");
    case TFieldSettings::TRowCheck::BadTypeName:
        return QStringLiteral("falscher Wert");
    case TFieldSettings::TRowCheck::WrongType:
        return QStringLiteral("falscher Typ");
    case TFieldSettings::TRowCheck::Ok:
        break;
    }
    return {};
}

} // namespace

// The grid's editors: a line for names, a pick list of type names that also takes typed text.
// A refused text is not stored and its cell opens again with it (TRefusedEdit).
class TFieldDefDelegate : public TGridCellDelegate {
public:
    TFieldDefDelegate(TFileSettingsForm &AForm, QTableWidget *AGrid)
        : TGridCellDelegate(AGrid), Form(AForm), Grid(AGrid) {}

    int OpenRow() const { return Row; }
    int OpenColumn() const { return Column; }
    void Close() {
        if (Editor)
            emit closeEditor(Editor, QAbstractItemDelegate::NoHint);
    }

    QWidget *createEditor(QWidget *Parent, const QStyleOptionViewItem &,
                          const QModelIndex &Index) const override {
        QWidget *Result;
        if (Index.column() == TypeColumn) {
            auto *Combo = new QComboBox(Parent);
            Combo->setEditable(true);
            Combo->setInsertPolicy(QComboBox::NoInsert);
            // The types offered; "Date" is accepted when typed.
            for (int Type = ftString; Type <= ftFloat; ++Type)
                Combo->addItem(ToQ(FieldTypeName(Type)));
            // Keys and focus arrive at the combo's line, not at the combo.
            Combo->lineEdit()->installEventFilter(const_cast<TFieldDefDelegate *>(this));
            Result = Combo;
        } else {
            Result = new QLineEdit(Parent);
        }
        Result->setObjectName(QStringLiteral("FieldEditor"));
        Editor = Result;
        Row = Index.row();
        Column = Index.column();
        return Result;
    }

    void setEditorData(QWidget *AEditor, const QModelIndex &Index) const override {
        SetEditorText(AEditor, Index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget *AEditor, QAbstractItemModel *Model,
                      const QModelIndex &Index) const override {
        const QString Text = EditorText(AEditor);
        if (Form.Refusing)
            return;
        if (TRefusedEdit::Refused(*Grid, Index, Text, Index.data(Qt::EditRole).toString(), [&] {
                return !Form.CommitCell(Index.row(), Index.column(), Text);
            }))
            return;
        Model->setData(Index, Form.ShownText(Index.row(), Index.column(), Text), Qt::EditRole);
    }

private:
    TFileSettingsForm &Form;
    QTableWidget *Grid;
    mutable int Row = -1;
    mutable int Column = -1;
};

TFileSettingsForm::TFileSettingsForm(TPromptService &APrompts, const TChronarkMan &Doc,
                                     const TImageList *Images, QWidget *Parent)
    : QDialog(Parent), Prompts(APrompts), Fields(Doc) {
    setWindowTitle(QStringLiteral("Dokumenteinstellungen"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    auto *Standard = new QWidget;
    auto *StandardLayout = new QVBoxLayout(Standard);
    StandardLayout->addWidget(new QLabel(QStringLiteral("Standardprojekt für Zeitmessungen:")));
    // Read-only: a click picks the default project.
    TreeView1 = new TProjectTree(Images, 0, Standard);
    TreeView1->SetRootProject(Doc.Root.get());
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    StandardLayout->addWidget(TreeView1);
    PageControl1->addTab(Standard, QStringLiteral("Standardprojekt"));

    auto *FieldsPage = new QWidget;
    auto *FieldsLayout = new QVBoxLayout(FieldsPage);
    ValueListEditor1 = new QTableWidget(0, 2, FieldsPage);
    ValueListEditor1->setObjectName(QStringLiteral("ValueListEditor1"));
    ValueListEditor1->setHorizontalHeaderLabels(
        {QStringLiteral("Schlüssel"), QStringLiteral("Wert")});
    ValueListEditor1->verticalHeader()->hide();
    ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
    ValueListEditor1->setSelectionMode(QAbstractItemView::SingleSelection);
    ValueListEditor1->setEditTriggers(QAbstractItemView::DoubleClicked |
                                      QAbstractItemView::EditKeyPressed |
                                      QAbstractItemView::AnyKeyPressed);
    Delegate = new TFieldDefDelegate(*this, ValueListEditor1);
    ValueListEditor1->setItemDelegate(Delegate);
    FieldsLayout->addWidget(ValueListEditor1);
    AddButton = new QPushButton(QStringLiteral("Hinzufügen"), FieldsPage);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    DeleteButton = new QPushButton(QStringLiteral("Löschen"), FieldsPage);
    DeleteButton->setObjectName(QStringLiteral("DeleteButton"));
    auto *FieldButtons = new QHBoxLayout;
    FieldButtons->addWidget(AddButton);
    FieldButtons->addWidget(DeleteButton);
    FieldButtons->addStretch();
    FieldsLayout->addLayout(FieldButtons);
    PageControl1->addTab(FieldsPage, QStringLiteral("Felder"));

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    // A click must not take the focus from an open cell: each button checks that cell itself.
    for (QPushButton *Button : {AddButton, DeleteButton, OkButton, CancelButton})
        Button->setFocusPolicy(Qt::TabFocus);
    auto *Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(OkButton);
    Buttons->addWidget(CancelButton);
    auto *Main = new QVBoxLayout(this);
    Main->addWidget(PageControl1);
    Main->addLayout(Buttons);

    Doc.FillProjectTree(*TreeView1);
    TreeView1->expandAll();
    if (QTreeWidgetItem *Node = TreeView1->FindProjectNode(Fields.DefaultProject))
        TreeView1->setCurrentItem(Node);
    // Only now: the initial selection is no choice of the user's.
    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *Node) { TreeView1Change(Node); });

    for (int Row = 0; Row < Fields.Count(); ++Row)
        AppendGridRow(Row);
    ValueListEditor1->setEnabled(Fields.Count() > 0);
    DeleteButton->setEnabled(false);

    connect(AddButton, &QPushButton::clicked, this, &TFileSettingsForm::AddClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TFileSettingsForm::DeleteClick);
    connect(ValueListEditor1, &QTableWidget::cellPressed, this,
            [this](int Row) { DeleteButton->setEnabled(Row >= 0); });
    connect(ValueListEditor1, &QTableWidget::currentCellChanged, this,
            [this](int Row) { DeleteButton->setEnabled(Row >= 0); });
    connect(OkButton, &QPushButton::clicked, this, &TFileSettingsForm::Confirm);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    PageControl1->setCurrentIndex(0);
}

QString TFileSettingsForm::ShownText(int Row, int Column, const QString &Typed) const {
    if (Column == TypeColumn && Row >= 0 && Row < Fields.Count())
        return ToQ(FieldTypeName(Fields.FieldDefs()[Row].FieldType));
    return Typed;
}

void TFileSettingsForm::AppendGridRow(int Row) {
    const tFieldDefItem &Def = Fields.FieldDefs()[Row];
    ValueListEditor1->insertRow(Row);
    ValueListEditor1->setItem(Row, NameColumn, new QTableWidgetItem(ToQ(Def.Id)));
    ValueListEditor1->setItem(Row, TypeColumn,
                              new QTableWidgetItem(ToQ(FieldTypeName(Def.FieldType))));
}

bool TFileSettingsForm::CommitCell(int Row, int Column, const QString &Text) {
    if (Row < 0 || Row >= Fields.Count())
        return false;
    const QTableWidgetItem *Cell = ValueListEditor1->item(Row, Column);
    // A cell left as it was is no edit of its row.
    if (Cell && Cell->text() == Text)
        return true;
    QString Message;
    if (Column == NameColumn) {
        const QStringList Unstorable = UnstorableCharacters(Text);
        const std::string Name = FromQ(Text);
        if (!Unstorable.isEmpty()) {
            Message = UnstorableCharactersText(Unstorable);
        } else {
            switch (Fields.CheckName(Row, Name)) {
            case TFieldSettings::TNameCheck::HasEquals:
                Message =
                    QStringLiteral("Schlüssel darf keine Gleichheitszeichen (\"=\") enthalten");
                break;
            case TFieldSettings::TNameCheck::Exists:
                Message = QStringLiteral("Schlüssel mit der Bezeichnung \"%1\" existiert bereits")
                              .arg(Text);
                break;
            case TFieldSettings::TNameCheck::Ok:
                Message = RowMessage(Fields.SetName(Row, Name));
                break;
            }
        }
    } else {
        Message = RowMessage(Fields.SetTypeText(Row, FromQ(Text)));
    }
    if (Message.isEmpty())
        return true;
    Refusing = true;
    Prompts.ShowMessage(Message);
    Refusing = false;
    return false;
}

bool TFileSettingsForm::CommitOpenEditor() {
    QWidget *Editor = Delegate->OpenEditor();
    if (!Editor)
        return true;
    const int Row = Delegate->OpenRow();
    const int Column = Delegate->OpenColumn();
    const QString Text = EditorText(Editor);
    if (!CommitCell(Row, Column, Text)) {
        Editor->setFocus();
        return false;
    }
    Delegate->Close();
    if (QTableWidgetItem *Cell = ValueListEditor1->item(Row, Column))
        Cell->setText(ShownText(Row, Column, Text));
    return true;
}

void TFileSettingsForm::TreeView1Change(QTreeWidgetItem *Node) {
    if (TCKProjectItem *Project = TProjectTree::ProjectOf(Node))
        Fields.DefaultProject = Project;
}

void TFileSettingsForm::AddClick() {
    if (!CommitOpenEditor())
        return;
    const int Row = Fields.Add();
    AppendGridRow(Row);
    ValueListEditor1->setEnabled(true);
    ValueListEditor1->setCurrentCell(Row, NameColumn);
    DeleteButton->setEnabled(true);
}

void TFileSettingsForm::DeleteClick() {
    if (CommitOpenEditor()) {
        const int Row = ValueListEditor1->currentRow();
        if (Row >= 0 && Row < Fields.Count()) {
            if (Fields.Delete(Row))
                ValueListEditor1->removeRow(Row);
            else
                Prompts.ShowMessage(
                    QStringLiteral("Feld ist in Benutzung und kann daher nicht gelöscht werden."));
        }
        ValueListEditor1->setEnabled(Fields.Count() > 0);
    }
    // Last: removing the row moved the grid's current cell, which enabled the button.
    DeleteButton->setEnabled(false);
}

void TFileSettingsForm::Confirm() {
    if (!CommitOpenEditor())
        return;
    accept();
}

TSettingsOutcome FileSettingsDialog(QWidget *Owner, TPromptService &Prompts,
                                    const TImageList *Images, TChronarkMan &Doc) {
    TFileSettingsForm Form(Prompts, Doc, Images, Owner);
    if (Form.exec() != QDialog::Accepted)
        return TSettingsOutcome::Cancelled;
    return Form.Settings().Apply(Doc) ? TSettingsOutcome::Changed : TSettingsOutcome::Unchanged;
}
