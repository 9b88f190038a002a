#include "app/formsettings.h"
#include "app/registry.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>

namespace {

const QString AppName = QStringLiteral("Chronark");
const QRect Designed(231, 152, 893, 755);

class FormSettings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }

    QString IniFile() const {
        return Dir.filePath(QStringLiteral("Velmoor Software/Chronark.ini"));
    }

    // What the program's key holds, read independently of TRegistry.
    QVariant Stored(const QString &Name) {
        QSettings ini(IniFile(), QSettings::IniFormat);
        return ini.value(QStringLiteral("FormSettings/") + Name);
    }
    void Store(const QString &Name, const QVariant &Value) {
        QSettings ini(IniFile(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("FormSettings/") + Name, Value);
    }

    // A main window as designed: normal state at the design bounds.
    static void Design(QWidget &Form) { Form.setGeometry(Designed); }

    void Save(const QWidget &Form, bool WithSize = true) {
        TRegistry registry(Dir.path());
        SaveFormSettings(registry, Form, AppName, WithSize);
    }
    void Load(QWidget &Form, bool WithSize = true) {
        TRegistry registry(Dir.path());
        LoadFormSettings(registry, Form, AppName, WithSize);
    }

    QTemporaryDir Dir;
};

TEST_F(FormSettings, KeyPath) {
    EXPECT_EQ(AppKeyPath(AppName), QStringLiteral("\\Software\\Velmoor Software\\Chronark"));
    EXPECT_EQ(AppKeyPath(AppName, QStringLiteral("FormSettings")),
              QStringLiteral("\\Software\\Velmoor Software\\Chronark\\FormSettings"));
}

TEST_F(FormSettings, FirstStartKeepsDesignAndCloseCreatesTheKey) {
    TRegistry registry(Dir.path());
    EXPECT_FALSE(OpenAppKey(registry, AppName, QString(), false));
    EXPECT_FALSE(OpenAppKey(registry, AppName, QStringLiteral("FormSettings"), false));

    QWidget form;
    Design(form);
    Load(form);
    EXPECT_EQ(form.geometry(), Designed);
    EXPECT_EQ(form.windowState(), Qt::WindowNoState);
    EXPECT_FALSE(QFile::exists(IniFile())); // reading creates nothing

    Save(form);
    EXPECT_EQ(Stored("Windowstate").toInt(), 2);
    EXPECT_EQ(Stored("Left").toInt(), 231);
    EXPECT_EQ(Stored("Top").toInt(), 152);
    EXPECT_EQ(Stored("Width").toInt(), 893);
    EXPECT_EQ(Stored("Height").toInt(), 755);
    EXPECT_TRUE(OpenAppKey(registry, AppName, QStringLiteral("FormSettings"), false));
    EXPECT_EQ(registry.ValueNames().size(), 5);
}

TEST_F(FormSettings, MaximisedCloseStoresNormalBoundsAndReopensMaximised) {
    QWidget form;
    form.setGeometry(100, 80, 500, 400);
    form.showMaximized();
    ASSERT_TRUE(form.isMaximized());
    Save(form);
    EXPECT_EQ(Stored("Windowstate").toInt(), 0);
    EXPECT_EQ(QRect(Stored("Left").toInt(), Stored("Top").toInt(), Stored("Width").toInt(),
                    Stored("Height").toInt()),
              QRect(100, 80, 500, 400));

    QWidget next;
    Design(next);
    Load(next);
    EXPECT_TRUE(next.windowState() & Qt::WindowMaximized);
    next.show();
    EXPECT_TRUE(next.isMaximized());
    next.showNormal();
    EXPECT_EQ(next.geometry(), QRect(100, 80, 500, 400));
}

TEST_F(FormSettings, MinimisedCloseStoresNormalBoundsAndReopensMinimised) {
    QWidget form;
    form.setGeometry(120, 90, 640, 480);
    form.show();
    form.showMinimized();
    ASSERT_TRUE(form.windowState() & Qt::WindowMinimized);
    Save(form);
    EXPECT_EQ(Stored("Windowstate").toInt(), 1);
    EXPECT_EQ(Stored("Left").toInt(), 120);
    EXPECT_EQ(Stored("Top").toInt(), 90);
    EXPECT_EQ(Stored("Width").toInt(), 640);
    EXPECT_EQ(Stored("Height").toInt(), 480);

    QWidget next;
    Design(next);
    Load(next);
    EXPECT_TRUE(next.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(next.geometry(), QRect(120, 90, 640, 480));
}

TEST_F(FormSettings, PositionWithoutSizeWithoutSizeFlag) {
    QWidget form;
    form.setGeometry(10, 20, 300, 200);
    form.showMaximized();
    Save(form, false);
    EXPECT_EQ(Stored("Left").toInt(), 10);
    EXPECT_EQ(Stored("Top").toInt(), 20);
    EXPECT_FALSE(Stored("Width").isValid());
    EXPECT_FALSE(Stored("Windowstate").isValid());

    Store("Width", 999);
    Store("Windowstate", 0);
    QWidget next;
    Design(next);
    Load(next, false);
    EXPECT_EQ(next.geometry(), QRect(10, 20, 893, 755));
    EXPECT_EQ(next.windowState(), Qt::WindowNoState);
}

TEST_F(FormSettings, PartialAndOddValues) {
    struct Case {
        const char *Name;
        QVariantMap Values;
        Qt::WindowStates DesignedState;
        QRect Expected;
        Qt::WindowStates ExpectedState;
    } cases[] = {
        {"only Left and Top move the window",
         {{"Left", 40}, {"Top", 50}},
         Qt::WindowNoState,
         QRect(40, 50, 893, 755),
         Qt::WindowNoState},
        {"Windowstate 5 is ignored",
         {{"Windowstate", 5}, {"Left", 40}},
         Qt::WindowNoState,
         QRect(40, 152, 893, 755),
         Qt::WindowNoState},
        {"Windowstate 5 keeps a designed maximised state",
         {{"Windowstate", 5}},
         Qt::WindowMaximized,
         Designed,
         Qt::WindowMaximized},
        {"Windowstate 2 restores a designed maximised window",
         {{"Windowstate", 2}},
         Qt::WindowMaximized,
         Designed,
         Qt::WindowNoState},
        {"only the size",
         {{"Width", 400}, {"Height", 300}},
         Qt::WindowNoState,
         QRect(231, 152, 400, 300),
         Qt::WindowNoState},
        {"sizes of zero or less and text are not used",
         {{"Width", 0}, {"Height", -5}, {"Left", "links"}},
         Qt::WindowNoState,
         Designed,
         Qt::WindowNoState},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        {
            QSettings ini(dir.filePath(QStringLiteral("Velmoor Software/Chronark.ini")),
                          QSettings::IniFormat);
            for (auto it = c.Values.begin(); it != c.Values.end(); ++it)
                ini.setValue(QStringLiteral("FormSettings/") + it.key(), it.value());
        }
        QWidget form;
        Design(form);
        form.setWindowState(c.DesignedState);
        TRegistry registry(dir.path());
        LoadFormSettings(registry, form, AppName, true);
        EXPECT_EQ(form.windowState(), c.ExpectedState) << c.Name;
        EXPECT_EQ((c.DesignedState | c.ExpectedState) != Qt::WindowNoState ? form.normalGeometry()
                                                                           : form.geometry(),
                  c.Expected)
            << c.Name;
    }
}

TEST_F(FormSettings, WindowWhollyOffEveryScreenComesBack) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint &stored : {QPoint(-32000, -32000), QPoint(screen.right() + 5000, 0),
                                 QPoint(0, screen.bottom() + 1)}) {
        Store("Left", stored.x());
        Store("Top", stored.y());
        Store("Width", 300);
        Store("Height", 200);
        QWidget form;
        Design(form);
        Load(form);
        EXPECT_TRUE(screen.contains(form.geometry().topLeft()))
            << stored.x() << "," << stored.y() << " -> " << form.x() << "," << form.y();
        EXPECT_EQ(form.size(), QSize(300, 200));
    }
    // Partly visible is reachable and stays where it was.
    Store("Left", screen.right() - 50);
    Store("Top", 10);
    QWidget partly;
    Load(partly);
    EXPECT_EQ(partly.geometry().topLeft(), QPoint(screen.right() - 50, 10));
}

TEST_F(FormSettings, AbsurdStoredBoundsAreLimitedToTheAreaBeforeTheyAreApplied) {
    const QRect Area(0, 0, 1280, 800);
    QRect Screens;
    for (const QScreen *Screen : QGuiApplication::screens())
        Screens |= Screen->availableGeometry();
    const QRect Primary = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char *Name;
        int Left, Top, Width, Height;
        QRect Area;
        QSize Size;
        bool PositionKept; // otherwise brought back onto the primary screen
    } Rows[] = {
        {"INT_MAX everywhere", INT_MAX, INT_MAX, INT_MAX, INT_MAX, Area, Area.size(), false},
        {"INT_MIN positions, INT_MAX sizes", INT_MIN, INT_MIN, INT_MAX, INT_MAX, Area, Area.size(),
         false},
        {"sizes of zero, less or INT_MIN keep the design", 40, 50, 0, INT_MIN, Area,
         Designed.size(), true},
        {"a pixel too big each way", 0, 0, 1281, 801, Area, Area.size(), true},
        {"what fits is kept", 40, 50, 400, 300, Area, QSize(400, 300), true},
        {"no area given: all screens together", INT_MAX, INT_MAX, INT_MAX, INT_MAX, QRect(),
         Screens.size(), false},
    };
    for (const auto &Row : Rows) {
        SCOPED_TRACE(Row.Name);
        Store("Left", Row.Left);
        Store("Top", Row.Top);
        Store("Width", Row.Width);
        Store("Height", Row.Height);
        QWidget Form;
        Design(Form);
        TRegistry Registry(Dir.path());
        LoadFormSettings(Registry, Form, AppName, true, Row.Area);
        EXPECT_EQ(Form.size(), Row.Size);
        if (Row.PositionKept)
            EXPECT_EQ(Form.pos(), QPoint(Row.Left, Row.Top));
        else
            EXPECT_TRUE(Primary.contains(Form.pos())) << Form.x() << "," << Form.y();
    }
}

TEST(Registry, KeysAndValues) {
    QTemporaryDir dir;
    TRegistry reg(dir.path());
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("\\Software\\Velmoor Software"), true));
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("\\System\\Velmoor Software\\Chronark"), true));
    EXPECT_FALSE(reg.HasCurrentKey());

    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Velmoor Software\\Chronark"), true));
    reg.WriteBool(QStringLiteral("OpenLast"), true);
    reg.WriteString(QStringLiteral("ProjectFile"), QStringLiteral("/home/u/B\u00fcro.ckx"));
    ASSERT_TRUE(
        reg.OpenKey(QStringLiteral("\\Software\\Velmoor Software\\Chronark\\RecentFiles"), true));
    for (int i = 1; i <= 3; ++i)
        reg.WriteString(QStringLiteral("MRU%1").arg(i), QStringLiteral("f%1").arg(i));
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("MRU3")));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("MRU5")));
    reg.CloseKey();

    // Another accessor sees the stored values; sub-keys are groups of the program's file.
    TRegistry other(dir.path());
    ASSERT_TRUE(other.OpenKey(QStringLiteral("\\Software\\Velmoor Software\\Chronark"), false));
    bool openLast = false;
    EXPECT_TRUE(other.ReadBool(QStringLiteral("OpenLast"), openLast));
    EXPECT_TRUE(openLast);
    int asInteger = -1;
    EXPECT_TRUE(other.ReadInteger(QStringLiteral("OpenLast"), asInteger));
    EXPECT_EQ(asInteger, 1);
    QString file;
    EXPECT_TRUE(other.ReadString(QStringLiteral("ProjectFile"), file));
    EXPECT_EQ(file, QStringLiteral("/home/u/B\u00fcro.ckx"));
    EXPECT_FALSE(other.ReadInteger(QStringLiteral("ProjectFile"), asInteger));
    EXPECT_EQ(asInteger, 1);
    EXPECT_FALSE(other.ValueExists(QStringLiteral("MRU1")));
    ASSERT_TRUE(other.OpenKey(QStringLiteral("\\Software\\Velmoor Software\\Chronark\\RecentFiles"),
                              false));
    EXPECT_EQ(other.ValueNames(), (QStringList{QStringLiteral("MRU1"), QStringLiteral("MRU2")}));
    EXPECT_FALSE(
        other.OpenKey(QStringLiteral("\\Software\\Velmoor Software\\Chronark\\Fehlt"), false));
    EXPECT_FALSE(other.OpenKey(QStringLiteral("\\Software\\Velmoor Software\\Anders"), false));

    QSettings ini(dir.filePath(QStringLiteral("Velmoor Software/Chronark.ini")),
                  QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("RecentFiles/MRU2")).toString(), QStringLiteral("f2"));
}

TEST(Registry, BooleansWrittenByOthers) {
    QTemporaryDir dir;
    {
        QSettings ini(dir.filePath(QStringLiteral("Velmoor Software/Chronark.ini")),
                      QSettings::IniFormat);
        ini.setValue(QStringLiteral("a"), QStringLiteral("true"));
        ini.setValue(QStringLiteral("b"), 0);
        ini.setValue(QStringLiteral("c"), QStringLiteral("vielleicht"));
    }
    TRegistry reg(dir.path());
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Velmoor Software\\Chronark"), false));
    bool a = false, b = true, c = true;
    EXPECT_TRUE(reg.ReadBool(QStringLiteral("a"), a));
    EXPECT_TRUE(a);
    EXPECT_TRUE(reg.ReadBool(QStringLiteral("b"), b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(reg.ReadBool(QStringLiteral("c"), c));
    EXPECT_TRUE(c);
}

} // namespace

TEST(WindowFit, BoundsAreFittedIntoTheAvailableArea) {
    const QMargins Frame(4, 30, 4, 4);
    const struct {
        const char *Name;
        QRect Bounds, Area, Expected;
    } Rows[] = {
        {"fits: unchanged", QRect(100, 80, 600, 400), QRect(0, 0, 1280, 800),
         QRect(100, 80, 600, 400)},
        {"design on 1280 x 800: moved up, size kept", QRect(231, 152, 893, 755),
         QRect(0, 0, 1280, 800), QRect(231, 41, 893, 755)},
        {"design on 1024 x 768 under a panel: shrunk and moved", QRect(231, 152, 893, 755),
         QRect(0, 32, 1024, 736), QRect(127, 62, 893, 702)},
        {"too wide and too high for the area: the area less the frame", QRect(-50, -50, 3000, 2000),
         QRect(0, 0, 1024, 768), QRect(4, 30, 1016, 734)},
        {"off to the right of the area: moved back in", QRect(5000, 100, 400, 300),
         QRect(0, 0, 1280, 800), QRect(1280 - 4 - 400, 100, 400, 300)},
        {"title bar above the area: moved down", QRect(100, 10, 400, 300), QRect(0, 0, 1280, 800),
         QRect(100, 30, 400, 300)},
        {"second screen to the right", QRect(1300, 100, 2000, 300), QRect(1280, 0, 1920, 1080),
         QRect(1284, 100, 1912, 300)},
    };
    for (const auto &Row : Rows) {
        SCOPED_TRACE(Row.Name);
        const QRect Fitted = FitIntoArea(Row.Bounds, Row.Area, Frame);
        EXPECT_EQ(Fitted, Row.Expected);
        EXPECT_TRUE(Row.Area.contains(Fitted.marginsAdded(Frame)));
        // Fitting is done once: fitted bounds stay.
        EXPECT_EQ(FitIntoArea(Fitted, Row.Area, Frame), Fitted);
    }
    // Without a known area nothing changes.
    EXPECT_EQ(FitIntoArea(QRect(1, 2, 3000, 4000), QRect(), Frame), QRect(1, 2, 3000, 4000));
}

TEST(WindowFit, AMaximisedFormKeepsItsStateAndGetsFittedNormalBounds) {
    QWidget form;
    form.setGeometry(231, 152, 893, 755);
    form.setWindowState(Qt::WindowMaximized);
    const QRect Area(0, 0, 1024, 600);
    FitFormIntoArea(form, Area);
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    form.setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(Area.contains(form.geometry().marginsAdded(FrameMargins(form))));
}
