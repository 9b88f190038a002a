#pragma once
// The registry accessor: the user's settings of the maker's programs, one key per program
// ("\Software\Velmoor Software\Chronark") with sub-keys. On Windows this is that very
// registry key; elsewhere an INI file per program, sub-keys being groups.

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

class TRegistry {
public:
    // The user's own settings (QSettings' native format and user scope).
    TRegistry();
    // Settings kept below Folder, one INI file per program: Folder/<maker>/<program>.ini.
    explicit TRegistry(const QString &Folder);
    ~TRegistry();
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    // Key: "\Software\<maker>\<program>" optionally followed by "\<sub-key>...". Without
    // CanCreate only an existing key opens; with it, the key comes into being at the first
    // value written. Returns whether the key is open.
    bool OpenKey(const QString &Key, bool CanCreate);
    void CloseKey();
    bool HasCurrentKey() const { return Settings != nullptr; }
    QString CurrentPath() const { return Path; }

    bool ValueExists(const QString &Name) const;
    QStringList ValueNames() const;
    // False (Value untouched) when the value is missing or not of that type.
    bool ReadInteger(const QString &Name, int &Value) const;
    bool ReadBool(const QString &Name, bool &Value) const;
    bool ReadString(const QString &Name, QString &Value) const;
    void WriteInteger(const QString &Name, int Value);
    // Stored as the integer 0 or 1, as the program always did.
    void WriteBool(const QString &Name, bool Value);
    void WriteString(const QString &Name, const QString &Value);
    bool DeleteValue(const QString &Name);
    // Writes pending changes to their store now (they are written on CloseKey anyway).
    void Flush();

private:
    QString Folder; // empty: native store
    QString Path;
    std::unique_ptr<QSettings> Settings;
};
