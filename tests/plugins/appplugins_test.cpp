// The real maker libraries as built beside the program: loaded, bound and shown.

#include "app/makerinfo.h"
#include "app/makerlibrary.h"
#include "app/makerlibsabi.h"
#include "app/platform.h"
#include "tests/app/appqttest.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QString LabelText(QWidget *Dialog, const char *Name) {
    auto *label = Dialog->findChild<QLabel *>(QString::fromLatin1(Name));
    return label ? label->text() : QStringLiteral("(kein %1)").arg(QString::fromLatin1(Name));
}

TEST(InfoPanePlugin, ShowsTheAboutBox) {
    TMakerLibrary library(QStringLiteral("infopane"), InfoPaneExport);
    ASSERT_TRUE(library.Load({QStringLiteral(CHRONARK_PROGRAM_DIR)}));
    const auto show = reinterpret_cast<TShowInfoPaneDialog>(library.Export());

    QWidget owner;
    owner.setWindowIcon(ProgramIcon());
    QString program, parser, notice, homepage;
    bool hasIcon = false, ownedByOwner = false;
    auto inspected = InspectModal([&](QWidget *W) {
        program = LabelText(W, "programText");
        parser = LabelText(W, "parserText");
        notice = LabelText(W, "makerNotice");
        homepage = LabelText(W, "homepage");
        hasIcon = W->findChild<QLabel *>(QStringLiteral("programIcon")) != nullptr;
        ownedByOwner = W->parentWidget() == &owner;
    });
    const TShortString programText = MakeShortString("Chronark 1.3 Beta 2");
    const TShortString empty;
    const TShortString parserText = MakeShortString(ParserVersionText);
    show(&owner, &programText, &empty, &empty, &parserText, 0);
    ASSERT_TRUE(*inspected);
    EXPECT_EQ(program, QStringLiteral("Chronark 1.3 Beta 2"));
    EXPECT_EQ(parser, QStringLiteral("XML-Parser: 0.11.2007.1124w"));
    EXPECT_EQ(notice, QString::fromUtf8(MakerNotice));
    EXPECT_TRUE(homepage.contains(QString::fromUtf8(MakerHomepage)));
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(ownedByOwner);
    library.Free();
}

// The version check, with the user's settings in a temporary folder.
class RevWatchPlugin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Library = new TMakerLibrary(QStringLiteral("revwatch"), RevWatchExport);
        ASSERT_TRUE(Library->Load({QStringLiteral(CHRONARK_PROGRAM_DIR)}));
    }
    static void TearDownTestSuite() {
        delete Library;
        Library = nullptr;
    }
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Dir.path());
    }

    struct TShown {
        QString Installed, Newest, Status, Feed, Product, Hint;
    };

    // Runs the dialog until it has a verdict and returns what it showed.
    TShown Run(const std::string &Installed, const QString &Feed) {
        TShown shown;
        auto inspected = InspectModal(
            [&](QWidget *W) {
                shown.Installed = LabelText(W, "installed");
                shown.Newest = LabelText(W, "newest");
                shown.Status = LabelText(W, "status");
                shown.Product = LabelText(W, "product");
                shown.Hint = LabelText(W, "feedhint");
                shown.Feed = W->findChild<QLineEdit *>(QStringLiteral("feed"))->text();
            },
            [](QWidget *W) {
                auto *check = W->findChild<QPushButton *>(QStringLiteral("check"));
                return check && check->isEnabled();
            });
        const auto show = reinterpret_cast<TShowRevWatchDialog>(Library->Export());
        const TShortString installed = MakeShortString(Installed);
        const TShortString product = MakeShortString("chronark");
        const TShortString feed = MakeShortString(QFile::encodeName(Feed).toStdString());
        QWidget owner;
        show(&owner, &installed, &product, &feed);
        EXPECT_TRUE(*inspected);
        return shown;
    }

    QString FeedFile(const QByteArray &Text) {
        const QString path = Dir.filePath(QStringLiteral("versionen.txt"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(Text);
        return path;
    }

    static TMakerLibrary *Library;
    QTemporaryDir Dir;
};

TMakerLibrary *RevWatchPlugin::Library = nullptr;

TEST_F(RevWatchPlugin, NewerVersionInAFileFeed) {
    const TShown shown = Run("1.3 Beta 2", FeedFile("chronark=1.3\nchronark.download=https://"
                                                    "www.velmoor-software.example/chronark\n"));
    EXPECT_EQ(shown.Installed, QStringLiteral("1.3 Beta 2"));
    EXPECT_EQ(shown.Newest, QStringLiteral("1.3"));
    EXPECT_TRUE(
        shown.Status.contains(QStringLiteral("Eine neuere Version ist verf\u00fcgbar: 1.3")))
        << shown.Status.toStdString();
    EXPECT_TRUE(shown.Status.contains(QStringLiteral("velmoor-software.example/chronark")));
}

TEST_F(RevWatchPlugin, UpToDateThroughAFileUrl) {
    const TShown shown = Run("1.4", QStringLiteral("file://") + FeedFile("chronark=1.4\n"));
    EXPECT_EQ(shown.Status, QStringLiteral("Sie verwenden die neueste Version."));
    // The dialog names the program as people write it and says what it reads.
    EXPECT_EQ(shown.Product, QStringLiteral("Chronark"));
    EXPECT_TRUE(shown.Hint.contains(QStringLiteral("chronark=1.4"))) << shown.Hint.toStdString();
    EXPECT_FALSE(shown.Hint.contains(QLatin1Char('\n')));
}

TEST_F(RevWatchPlugin, WithoutFeedItSaysItDidNotCheck) {
    const TShown shown = Run("1.3", QString());
    EXPECT_EQ(shown.Newest, QStringLiteral("unbekannt"));
    EXPECT_TRUE(shown.Status.contains(QStringLiteral("keine Versionsquelle")));
    EXPECT_TRUE(shown.Status.contains(QStringLiteral("nicht gepr\u00fcft")));
}

TEST_F(RevWatchPlugin, MissingFeedFileIsNotUpToDate) {
    const TShown shown = Run("1.3", Dir.filePath(QStringLiteral("fehlt.txt")));
    EXPECT_TRUE(shown.Status.startsWith(QStringLiteral("Die Versionsquelle konnte nicht gelesen")))
        << shown.Status.toStdString();
    EXPECT_TRUE(shown.Status.contains(QStringLiteral("nicht gepr\u00fcft")));
}

TEST_F(RevWatchPlugin, ALongErrorGetsItsRoomAndEnterChecksTheTypedAddress) {
    // A folder name long enough that the error wraps over several lines.
    const QString Missing = Dir.filePath(QString(120, QLatin1Char('x')) + QStringLiteral(".txt"));
    bool StayedOpen = false;
    QString Typed;
    auto inspected = InspectModal(
        [&](QWidget *W) {
            auto *Feed = W->findChild<QLineEdit *>(QStringLiteral("feed"));
            auto *Check = W->findChild<QPushButton *>(QStringLiteral("check"));
            auto *Status = W->findChild<QLabel *>(QStringLiteral("status"));
            const auto InDialog = [W](QWidget *Child) {
                return QRect(Child->mapTo(W, QPoint(0, 0)), Child->size());
            };
            EXPECT_GE(Status->height(), Status->heightForWidth(Status->width()));
            EXPECT_FALSE(InDialog(Status).intersects(InDialog(Feed)));
            EXPECT_FALSE(InDialog(Status).intersects(InDialog(Check)));
            EXPECT_TRUE(W->rect().contains(InDialog(Check)));
            // As a user goes on: the button clicked once (it is disabled while it reads, and the
            // focus moves on), then an address typed and Enter: the dialog checks that address
            // and stays, the address kept.
            QTest::mouseClick(Check, Qt::LeftButton);
            (void)QTest::qWaitFor([Check] { return Check->isEnabled(); });
            Feed->setFocus();
            Feed->selectAll();
            QTest::keyClicks(Feed, Missing + QStringLiteral(".neu"));
            QTest::keyClick(Feed, Qt::Key_Return);
            StayedOpen = W->isVisible();
            Typed = Feed->text();
        },
        [](QWidget *W) {
            auto *check = W->findChild<QPushButton *>(QStringLiteral("check"));
            return check && check->isEnabled();
        });
    const auto show = reinterpret_cast<TShowRevWatchDialog>(Library->Export());
    const TShortString installed = MakeShortString("1.3");
    const TShortString product = MakeShortString("chronark");
    const TShortString feed = MakeShortString(QFile::encodeName(Missing).toStdString());
    QWidget owner;
    show(&owner, &installed, &product, &feed);
    ASSERT_TRUE(*inspected);
    EXPECT_TRUE(StayedOpen);
    EXPECT_EQ(Typed, Missing + QStringLiteral(".neu"));
}

TEST_F(RevWatchPlugin, UsesTheStoredFeedAndTheHostsVersion) {
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("Velmoor Software"), QStringLiteral("RevWatch"));
        settings.setValue(QStringLiteral("Feed"), FeedFile("chronark = 2.0\n"));
    }
    QCoreApplication::setApplicationVersion(QStringLiteral("1.9.9"));
    const TShown shown = Run("", QString());
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(shown.Feed, Dir.filePath(QStringLiteral("versionen.txt")));
    EXPECT_EQ(shown.Installed, QStringLiteral("1.9.9"));
    EXPECT_EQ(shown.Newest, QStringLiteral("2.0"));
}

// Serves Body to one HTTP request.
class THttpFeed : public QObject {
public:
    explicit THttpFeed(QByteArray Body) : Body(std::move(Body)) {
        Server.listen(QHostAddress::LocalHost);
        connect(&Server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = Server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                Request += socket->readAll();
                if (!Request.contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                              QByteArray::number(this->Body.size()) +
                              "\r\nConnection: close\r\n\r\n" + this->Body);
                socket->disconnectFromHost();
            });
        });
    }
    QString Url() const {
        return QStringLiteral("http://127.0.0.1:%1/versionen.txt").arg(Server.serverPort());
    }
    QByteArray Request;

private:
    QByteArray Body;
    QTcpServer Server;
};

TEST_F(RevWatchPlugin, ReadsAWebFeed) {
    THttpFeed feed("chronark=1.5.0\r\n");
    const TShown shown = Run("1.3 Beta 2", feed.Url());
    EXPECT_TRUE(feed.Request.startsWith("GET /versionen.txt HTTP/1.1"));
    EXPECT_EQ(shown.Newest, QStringLiteral("1.5.0"));
    EXPECT_TRUE(shown.Status.contains(QStringLiteral("neuere Version")));
}

TEST_F(RevWatchPlugin, OfflineSaysItCouldNotCheck) {
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
    }
    const TShown shown = Run("1.3", QStringLiteral("http://127.0.0.1:%1/v.txt").arg(port));
    EXPECT_TRUE(shown.Status.startsWith(QStringLiteral("Die Versionsquelle konnte nicht gelesen")))
        << shown.Status.toStdString();
    EXPECT_NE(shown.Status, QStringLiteral("Sie verwenden die neueste Version."));
}

} // namespace
