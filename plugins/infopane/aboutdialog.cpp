#include "plugins/infopane/aboutdialog.h"

#include "app/makerinfo.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel *AddLabel(QVBoxLayout *Layout, const QString &Name, const QString &Text) {
    auto *label = new QLabel(Text);
    label->setObjectName(Name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Layout->addWidget(label);
    return label;
}

} // namespace

TAboutDialog::TAboutDialog(QWidget *Owner, const QString &ProgramText,
                           const QStringList &ExtraLines, const QString &ParserText)
    : QDialog(Owner) {
    setWindowTitle(QStringLiteral("Info"));

    auto *texts = new QVBoxLayout;
    QLabel *program = AddLabel(texts, QStringLiteral("programText"), ProgramText);
    QFont bold = program->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    program->setFont(bold);
    for (const QString &line : ExtraLines) {
        if (!line.isEmpty())
            AddLabel(texts, QStringLiteral("extraText"), line);
    }
    texts->addSpacing(8);
    AddLabel(texts, QStringLiteral("parserText"), ParserText);
    texts->addSpacing(8);
    AddLabel(texts, QStringLiteral("makerNotice"), QString::fromUtf8(MakerNotice));
    const QString homepage = QString::fromUtf8(MakerHomepage);
    QLabel *link = AddLabel(texts, QStringLiteral("homepage"),
                            QStringLiteral("Homepage: <a href=\"%1\">%1</a>").arg(homepage));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setOpenExternalLinks(true);

    auto *row = new QHBoxLayout;
    const QIcon icon = Owner ? Owner->windowIcon() : QApplication::windowIcon();
    if (!icon.isNull()) {
        auto *picture = new QLabel;
        picture->setObjectName(QStringLiteral("programIcon"));
        picture->setPixmap(icon.pixmap(64, 64));
        picture->setAlignment(Qt::AlignTop);
        row->addWidget(picture);
        row->addSpacing(12);
    }
    row->addLayout(texts, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
