#include "plugins/revwatch/revwatchdialog.h"

#include "app/capp.h"
#include "plugins/revwatch/feedreader.h"
#include "plugins/revwatch/versionfeed.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const QString SettingsProgram = QStringLiteral("RevWatch");
const QString FeedValue = QStringLiteral("Feed");

QString Unknown() {
    return QStringLiteral("unbekannt");
}

} // namespace

QString TRevWatchDialog::StoredFeed() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromLatin1(MakerName), SettingsProgram);
    return settings.value(FeedValue).toString();
}

void TRevWatchDialog::StoreFeed(const QString &Feed) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromLatin1(MakerName), SettingsProgram);
    settings.setValue(FeedValue, Feed);
}

TRevWatchDialog::TRevWatchDialog(QWidget *Owner, const QString &Installed, const QString &Product,
                                 const QString &Feed)
    : QDialog(Owner), Installed(Installed), Product(Product), FeedGiven(!Feed.isEmpty()),
      FeedEdit(new QLineEdit(FeedGiven ? Feed : StoredFeed())), NewestLabel(new QLabel),
      StatusLabel(new QLabel), CheckButton(new QPushButton(QStringLiteral("Jetzt pr\u00fcfen"))),
      Reader(new TFeedReader(this)) {
    setWindowTitle(QStringLiteral("Nach neuer Version suchen"));
    FeedEdit->setObjectName(QStringLiteral("feed"));
    FeedEdit->setPlaceholderText(QStringLiteral("https://... oder Dateiname"));
    FeedEdit->setMinimumWidth(320);
    NewestLabel->setObjectName(QStringLiteral("newest"));
    StatusLabel->setObjectName(QStringLiteral("status"));
    StatusLabel->setWordWrap(true);
    CheckButton->setObjectName(QStringLiteral("check"));

    auto *installedLabel = new QLabel(Installed.isEmpty() ? Unknown() : Installed);
    installedLabel->setObjectName(QStringLiteral("installed"));
    auto *form = new QFormLayout;
    auto *productLabel =
        new QLabel(QString::fromStdString(ProductDisplayName(Product.toStdString())));
    productLabel->setObjectName(QStringLiteral("product"));
    form->addRow(QStringLiteral("Programm:"), productLabel);
    form->addRow(QStringLiteral("Installierte Version:"), installedLabel);
    form->addRow(QStringLiteral("Neueste Version:"), NewestLabel);
    auto *feedRow = new QHBoxLayout;
    feedRow->addWidget(FeedEdit, 1);
    feedRow->addWidget(CheckButton);
    form->addRow(QStringLiteral("Versionsquelle:"), feedRow);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    // Not left to Qt's translations, which a host may not have loaded.
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    // Enter in the address field checks the typed address; only the button closes.
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    CheckButton->setAutoDefault(false);
    connect(FeedEdit, &QLineEdit::returnPressed, CheckButton, &QPushButton::click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(CheckButton, &QPushButton::clicked, this, [this] {
        if (!FeedGiven)
            StoreFeed(FeedEdit->text().trimmed());
        StartCheck();
    });
    connect(Reader, &TFeedReader::finished, this, &TRevWatchDialog::FeedRead);

    auto *hint = new QLabel(QString::fromStdString(FeedFormatHint(Product.toStdString())));
    hint->setObjectName(QStringLiteral("feedhint"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(form);
    layout->addWidget(StatusLabel);
    layout->addWidget(buttons);

    NewestLabel->setText(Unknown());
    if (FeedEdit->text().trimmed().isEmpty())
        ShowStatus(QString::fromStdString(VerdictText({}, Product.toStdString())));
    else
        StartCheck();
}

void TRevWatchDialog::StartCheck() {
    const QString feed = FeedEdit->text().trimmed();
    NewestLabel->setText(Unknown());
    if (feed.isEmpty()) {
        ShowStatus(QString::fromStdString(VerdictText({}, Product.toStdString())));
        return;
    }
    ShowStatus(QStringLiteral("Die Versionsquelle wird gelesen..."));
    CheckButton->setEnabled(false);
    Reader->Start(feed);
}

void TRevWatchDialog::FeedRead(bool Ok, const QByteArray &Text, const QString &Error) {
    CheckButton->setEnabled(true);
    const std::string product = Product.toStdString();
    TVersionCheck check;
    if (!Ok) {
        check.Verdict = TVersionVerdict::FeedUnreadable;
        ShowStatus(QString::fromStdString(VerdictText(check, product, Error.toStdString())));
        return;
    }
    check = EvaluateFeed(Installed.toStdString(), product, Text.toStdString());
    if (!check.Newest.empty())
        NewestLabel->setText(QString::fromStdString(check.Newest));
    QString status = QString::fromStdString(VerdictText(check, product));
    if (check.Verdict == TVersionVerdict::NewerAvailable && !check.Download.empty()) {
        const QString download = QString::fromStdString(check.Download).toHtmlEscaped();
        status = status.toHtmlEscaped() +
                 QStringLiteral("<br>Download: <a href=\"%1\">%1</a>").arg(download);
        StatusLabel->setTextFormat(Qt::RichText);
        StatusLabel->setOpenExternalLinks(true);
        StatusLabel->setText(status);
        FitToText();
        return;
    }
    ShowStatus(status);
}

void TRevWatchDialog::ShowStatus(const QString &Text) {
    StatusLabel->setTextFormat(Qt::PlainText);
    StatusLabel->setText(Text);
    FitToText();
}

void TRevWatchDialog::FitToText() {
    // A status of several lines needs more height than the dialog had: grown to fit, the rows
    // above keep their room instead of being pressed into each other.
    if (!layout())
        return;
    layout()->activate();
    const int Needed = hasHeightForWidth() ? heightForWidth(width()) : sizeHint().height();
    setMinimumHeight(Needed);
    if (height() < Needed)
        resize(width(), Needed);
}
