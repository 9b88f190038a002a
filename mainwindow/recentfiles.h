#pragma once
// The list of recently used files: most recent first, at most five, names compared without
// regard to letter case.

#include <QObject>
#include <QStringList>

class TRecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxItems = 5;

    explicit TRecentFiles(QObject *Parent = nullptr) : QObject(Parent) {}

    const QStringList &Items() const { return FItems; }
    bool IsEmpty() const { return FItems.isEmpty(); }
    int IndexOf(const QString &FileName) const;

    // Moves an existing name to the top (taking the new letter case) or inserts it there,
    // dropping the oldest beyond MaxItems. Empty names are ignored.
    void Add(const QString &FileName);
    void Remove(const QString &FileName);
    // Replaces the whole list (settings at start), keeping the order and the limits of Add.
    void Assign(const QStringList &FileNames);

    // "&1 C:\a&&b.ckx": the digit is the access key, every "&" of the name shows literally.
    static QString MenuCaption(int Index, const QString &FileName);

signals:
    void Changed();

private:
    QStringList FItems;
};
