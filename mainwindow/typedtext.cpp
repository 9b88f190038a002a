#include "mainwindow/typedtext.h"

#include "app/qtext.h"
#include "ui/prompts.h"

#include <QStringList>

const QString ProjectDeleteQuestion =
    QStringLiteral("Soll das Projekt inkl. aller Einträge gelöscht werden?");

bool RefuseUnstorable(TPromptService &Prompts, const QString &Text) {
    const QStringList Characters = UnstorableCharacters(Text);
    if (Characters.isEmpty())
        return false;
    Prompts.ShowMessage(
        QStringLiteral("Diese Zeichen können im Dokument nicht gespeichert werden: ") +
        Characters.join(QLatin1Char(' ')));
    return true;
}

bool RefuseCaption(TPromptService &Prompts, const QString &Text) {
    if (Text.contains(QLatin1Char('"')) || Text.contains(QLatin1Char('>')) ||
        Text.contains(QLatin1Char('<'))) {
        Prompts.ShowMessage(QStringLiteral("Projektbeschreibung enthält ungültiges Zeichen!"));
        return true;
    }
    return RefuseUnstorable(Prompts, Text);
}
