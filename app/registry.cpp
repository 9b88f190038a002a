#include "app/registry.h"

#include <QSettings>

namespace {

// "\Software\<maker>\<program>[\sub...]" split into maker, program and group path.
bool SplitKey(const QString &Key, QString &Maker, QString &Program, QString &Group) {
    const QStringList parts = Key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 3 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive))
        return false;
    Maker = parts[1];
    Program = parts[2];
    Group = parts.mid(3).join(QLatin1Char('/'));
    return true;
}

bool GroupExists(QSettings &Settings, const QString &Group) {
    if (Group.isEmpty())
        return !Settings.childKeys().isEmpty() || !Settings.childGroups().isEmpty();
    const QStringList parts = Group.split(QLatin1Char('/'));
    bool found = true;
    int opened = 0;
    for (const QString &part : parts) {
        if (!Settings.childGroups().contains(part, Qt::CaseInsensitive)) {
            found = false;
            break;
        }
        Settings.beginGroup(part);
        ++opened;
    }
    for (int i = 0; i < opened; ++i)
        Settings.endGroup();
    return found;
}

} // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(const QString &Folder) : Folder(Folder) {}

TRegistry::~TRegistry() = default;

bool TRegistry::OpenKey(const QString &Key, bool CanCreate) {
    CloseKey();
    QString maker, program, group;
    if (!SplitKey(Key, maker, program, group))
        return false;
    std::unique_ptr<QSettings> settings;
    if (Folder.isEmpty())
        settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, maker,
                                               program);
    else
        settings = std::make_unique<QSettings>(Folder + '/' + maker + '/' + program + ".ini",
                                               QSettings::IniFormat);
    if (!CanCreate && !GroupExists(*settings, group))
        return false;
    if (!group.isEmpty())
        settings->beginGroup(group);
    Settings = std::move(settings);
    Path = Key;
    return true;
}

void TRegistry::CloseKey() {
    Settings.reset();
    Path.clear();
}

bool TRegistry::ValueExists(const QString &Name) const {
    return Settings && Settings->contains(Name);
}

QStringList TRegistry::ValueNames() const {
    return Settings ? Settings->childKeys() : QStringList();
}

bool TRegistry::ReadInteger(const QString &Name, int &Value) const {
    if (!ValueExists(Name))
        return false;
    bool ok = false;
    const int v = Settings->value(Name).toInt(&ok);
    if (ok)
        Value = v;
    return ok;
}

bool TRegistry::ReadBool(const QString &Name, bool &Value) const {
    if (!ValueExists(Name))
        return false;
    const QVariant v = Settings->value(Name);
    bool ok = false;
    const int i = v.toInt(&ok);
    if (ok) {
        Value = i != 0;
        return true;
    }
    const QString s = v.toString().trimmed().toLower();
    if (s == QLatin1String("true") || s == QLatin1String("false")) {
        Value = s == QLatin1String("true");
        return true;
    }
    return false;
}

bool TRegistry::ReadString(const QString &Name, QString &Value) const {
    if (!ValueExists(Name))
        return false;
    const QVariant v = Settings->value(Name);
    if (!v.canConvert<QString>())
        return false;
    Value = v.toString();
    return true;
}

void TRegistry::WriteInteger(const QString &Name, int Value) {
    if (Settings)
        Settings->setValue(Name, Value);
}

void TRegistry::WriteBool(const QString &Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
}

void TRegistry::WriteString(const QString &Name, const QString &Value) {
    if (Settings)
        Settings->setValue(Name, Value);
}

bool TRegistry::DeleteValue(const QString &Name) {
    if (!ValueExists(Name))
        return false;
    Settings->remove(Name);
    return true;
}

void TRegistry::Flush() {
    if (Settings)
        Settings->sync();
}
