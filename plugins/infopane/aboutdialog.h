#pragma once
// The About box: the program's name and version, further lines, the parser's version, the
// maker's notice and homepage.

#include <QDialog>
#include <QStringList>

class TAboutDialog : public QDialog {
    Q_OBJECT
public:
    // Empty entries of ExtraLines are left out.
    TAboutDialog(QWidget *Owner, const QString &ProgramText, const QStringList &ExtraLines,
                 const QString &ParserText);
};
