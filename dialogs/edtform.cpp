#include "base/clock.h"
#include "base/dates.h"
#include "base/fieldtype.h"
#include "base/numbers.h"
#include "dialogs/gridcelldelegate.h"
#include "dialogs/edtform.h"

#include "app/qtext.h"
#include "dialogs/pickers.h"
#include "ui/prompts.h"
#include "ui/refusededit.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr int NameColumn = 0;
constexpr int ValueColumn = 1;

// How a stored value reads in the grid: Booleans stored as "1"/"0" (or in any case) read
// "True"/"False"; the stored text itself stays as it is.
QString DisplayText(const std::string &Value, int FieldType) {
    if (FieldType == ftBoolean) {
        const std::string Lower = LowerCase(Value);
        if (Lower == "true" || Lower == "1")
            return QStringLiteral("True");
        if (Lower == "false" || Lower == "0")
            return QStringLiteral("False");
    }
    return ToQ(Value);
}

} // namespace

// The value cells' editors: a pick list for Booleans, a line for everything else. A value the
// form refuses is not stored and its cell opens again with the refused text (TRefusedEdit).
class TFieldValueDelegate : public TGridCellDelegate {
public:
    TFieldValueDelegate(TEditForm &AForm, QTableWidget *AGrid)
        : TGridCellDelegate(AGrid), Form(AForm), Grid(AGrid) {}

    int OpenRow() const { return Row; }

    QWidget *createEditor(QWidget *Parent, const QStyleOptionViewItem &,
                          const QModelIndex &Index) const override {
        QWidget *Result;
        if (Form.FieldType(Index.row()) == ftBoolean) {
            auto *Combo = new QComboBox(Parent);
            Combo->setEditable(true);
            Combo->setInsertPolicy(QComboBox::NoInsert);
            Combo->addItems({QString(), QStringLiteral("True"), QStringLiteral("False")});
            // Keys and focus arrive at the combo's line, not at the combo.
            Combo->lineEdit()->installEventFilter(const_cast<TFieldValueDelegate *>(this));
            Result = Combo;
        } else {
            Result = new QLineEdit(Parent);
        }
        Result->setObjectName(QStringLiteral("ValueEditor"));
        Editor = Result;
        Row = Index.row();
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
        if (TRefusedEdit::Refused(*Grid, Index, Text, Index.data(Qt::EditRole).toString(),
                                  [&] { return !Form.CommitValue(Index.row(), Text); }))
            return;
        // The cell keeps what was typed; the normalised form goes to the row only.
        Model->setData(Index, Text, Qt::EditRole);
    }

private:
    TEditForm &Form;
    QTableWidget *Grid;
    mutable int Row = -1;
};

QString UnstorableCharactersText(const QStringList &Characters) {
    return QStringLiteral("Diese Zeichen können im Dokument nicht gespeichert werden: ") +
           Characters.join(QLatin1Char(' '));
}

QString CutText(const QString &Text, qsizetype Length) {
    if (Text.size() <= Length)
        return Text;
    if (Length > 0 && Text[Length - 1].isHighSurrogate())
        --Length;
    return Text.left(Length);
}

TEditForm::TEditForm(TPromptService &APrompts, const tFieldDefList &AFieldDefs, QWidget *Parent)
    : QDialog(Parent), Prompts(APrompts), FieldDefs(AFieldDefs) {
    setWindowTitle(QStringLiteral("Eintrag"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    auto *Standard = new QWidget;
    auto *Form = new QFormLayout(Standard);
    auto PickerRow = [Standard](QDateEdit *&Date, QTimeEdit *&Clock, const QString &Name) {
        Date = NewDatePicker(Standard);
        Clock = NewTimePicker(Standard);
        Date->setObjectName(Name + QStringLiteral("Date"));
        Clock->setObjectName(Name + QStringLiteral("Clock"));
        auto *Row = new QHBoxLayout;
        Row->addWidget(Date);
        Row->addWidget(Clock);
        return Row;
    };
    Form->addRow(QStringLiteral("Startzeit:"),
                 PickerRow(StartDate, StartClock, QStringLiteral("Start")));
    Form->addRow(QStringLiteral("Endzeit:"), PickerRow(EndDate, EndClock, QStringLiteral("End")));
    CommentEdit = new QLineEdit(Standard);
    CommentEdit->setObjectName(QStringLiteral("CommentEdit"));
    CommentEdit->setMaxLength(MaxCommentLength);
    Form->addRow(QStringLiteral("Bemerkung:"), CommentEdit);
    PageControl1->addTab(Standard, QStringLiteral("Standard"));

    auto *Fields = new QWidget;
    auto *FieldsLayout = new QVBoxLayout(Fields);
    ValueListEditor1 = new QTableWidget(0, 2, Fields);
    ValueListEditor1->setObjectName(QStringLiteral("ValueListEditor1"));
    ValueListEditor1->setHorizontalHeaderLabels(
        {QStringLiteral("Schlüssel"), QStringLiteral("Wert")});
    ValueListEditor1->verticalHeader()->hide();
    ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
    ValueListEditor1->setSelectionMode(QAbstractItemView::SingleSelection);
    ValueListEditor1->setEditTriggers(QAbstractItemView::DoubleClicked |
                                      QAbstractItemView::EditKeyPressed |
                                      QAbstractItemView::AnyKeyPressed);
    ValueDelegate = new TFieldValueDelegate(*this, ValueListEditor1);
    ValueListEditor1->setItemDelegateForColumn(ValueColumn, ValueDelegate);
    FieldsLayout->addWidget(ValueListEditor1);
    PageControl1->addTab(Fields, QStringLiteral("Felder"));
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int Index) {
        if (Index == 1)
            FillGrid();
    });

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    CancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    // A click must not take the focus from an open value cell: OK checks that cell itself.
    OkButton->setFocusPolicy(Qt::TabFocus);
    CancelButton->setFocusPolicy(Qt::TabFocus);
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &TEditForm::Confirm);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(OkButton);
    Buttons->addWidget(CancelButton);

    auto *Main = new QVBoxLayout(this);
    Main->addWidget(PageControl1);
    Main->addLayout(Buttons);
    Main->setSizeConstraint(QLayout::SetFixedSize);

    // Rows exist from the start: a document without field definitions shows none.
    for (const tFieldDefItem &Def : FieldDefs)
        Rows.push_back({Def.Id, {}});
    FillGrid();
}

void TEditForm::SetData(const tCKEditItem &Data) {
    for (tEditFieldItem &Row : Rows)
        Row.Value.clear();
    for (const tFieldItem &Field : Data.Fields) {
        for (tEditFieldItem &Row : Rows) {
            if (Row.Name == Field.Id) {
                Row.Value = Field.Value;
                break;
            }
        }
    }
    StartTime = Data.StartTime;
    EndTime = Data.EndTime;
    Comment = Data.Comment.substr(0, MaxCommentLength);

    SetPickers(StartDate, StartClock, StartTime);
    SetPickers(EndDate, EndClock, EndTime);
    CommentEdit->setText(ToQ(Comment));
    PageControl1->setCurrentIndex(0);
    FillGrid();
}

void TEditForm::GetData(tCKEditItem &Data) const {
    Data.StartTime = StartTime;
    Data.EndTime = EndTime;
    Data.Comment = Comment;
    Data.Fields.clear();
    for (const tEditFieldItem &Row : Rows)
        if (!Row.Value.empty())
            Data.Fields.push_back({Row.Name, Row.Value});
}

int TEditForm::FieldType(int Row) const {
    return Row >= 0 && Row < static_cast<int>(FieldDefs.size()) ? FieldDefs[Row].FieldType
                                                                : ftString;
}

void TEditForm::FillGrid() {
    ValueListEditor1->setRowCount(0);
    ValueListEditor1->setRowCount(static_cast<int>(Rows.size()));
    for (int i = 0; i < static_cast<int>(Rows.size()); ++i) {
        auto *Name = new QTableWidgetItem(ToQ(Rows[i].Name));
        Name->setFlags(Name->flags() & ~Qt::ItemIsEditable);
        ValueListEditor1->setItem(i, NameColumn, Name);
        ValueListEditor1->setItem(i, ValueColumn,
                                  new QTableWidgetItem(DisplayText(Rows[i].Value, FieldType(i))));
    }
    ValueListEditor1->setEnabled(!Rows.empty());
}

bool TEditForm::RefuseUnstorable(const QString &Text) {
    const QStringList Characters = UnstorableCharacters(Text);
    if (Characters.isEmpty())
        return false;
    Prompts.ShowMessage(UnstorableCharactersText(Characters));
    return true;
}

bool TEditForm::CommitValue(int Row, const QString &Text) {
    if (Row < 0 || Row >= static_cast<int>(Rows.size()))
        return false;
    QString Message;
    std::string Value = FromQ(Text);
    const QStringList Unstorable = UnstorableCharacters(Text);
    if (!Unstorable.isEmpty()) {
        Message = UnstorableCharactersText(Unstorable);
    } else if (!Value.empty()) {
        switch (FieldType(Row)) {
        case ftBoolean: {
            const std::string Lower = LowerCase(Value);
            if (Lower == "true")
                Value = "True";
            else if (Lower == "false")
                Value = "False";
            else
                Message = QStringLiteral("ungültiger Eigenschaftswert");
            break;
        }
        case ftInteger: {
            int32_t Number;
            if (!TryStrToInt32(Value, Number))
                Message = QStringLiteral("'%1' ist kein gültiger Integerwert").arg(Text);
            break;
        }
        case ftFloat: {
            double Number;
            if (!TryStrToFloat(Value, Number))
                Message = QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(Text);
            break;
        }
        default:
            break;
        }
    }
    if (!Message.isEmpty()) {
        Refusing = true;
        Prompts.ShowMessage(Message);
        Refusing = false;
        return false;
    }
    Rows[Row].Value = Value;
    return true;
}

void TEditForm::Confirm() {
    if (QWidget *Editor = ValueDelegate->OpenEditor()) {
        if (!CommitValue(ValueDelegate->OpenRow(), EditorText(Editor))) {
            Editor->setFocus();
            return;
        }
    }
    StartTime = PickedDateTime(StartDate, StartClock);
    EndTime = PickedDateTime(EndDate, EndClock);
    const QString Text = CutText(CommentEdit->text(), MaxCommentLength);
    if (CompareDateTime(StartTime, EndTime) > 0) {
        Prompts.ShowMessage(QStringLiteral("Die Endzeit leigt vor der StartZeit!"));
        return;
    }
    if (CompareDateTime(StartTime, EndTime) == 0) {
        Prompts.ShowMessage(QStringLiteral("Die Start- und Enzeit sind gleich!"));
        return;
    }
    // The document would store these as '?': the user decides what to write instead.
    if (RefuseUnstorable(Text)) {
        PageControl1->setCurrentIndex(0);
        CommentEdit->setFocus();
        return;
    }
    Comment = FromQ(Text);
    accept();
}

bool EditEntryDialog(QWidget *Owner, TPromptService &Prompts, const tFieldDefList &FieldDefs,
                     tCKEditItem &Data) {
    TEditForm Form(Prompts, FieldDefs, Owner);
    Form.SetData(Data);
    if (Form.exec() != QDialog::Accepted)
        return false;
    Form.GetData(Data);
    return true;
}

bool NewEntryDialog(QWidget *Owner, TPromptService &Prompts, const tFieldDefList &FieldDefs,
                    tCKEditItem &Data) {
    tCKEditItem Fresh;
    Fresh.StartTime = RecodeMilliSecond(Now(), 0);
    Fresh.EndTime = AddSeconds(Fresh.StartTime, 1);
    if (!EditEntryDialog(Owner, Prompts, FieldDefs, Fresh))
        return false;
    Data = Fresh;
    return true;
}
