#include "calc/study/StudyFaultTexts.h"

#include "calc/files/FileKind.h"

#include <QDir>
#include <QLocale>

QString studyFolderEmptyMessage(const QString &folder)
{
    if (const QString why = folderUnreadable(folder); !why.isEmpty())
        return QStringLiteral("ERROR: %1 cannot be read (%2), so no session record in it can be "
                              "found. Give your user the right to read it, or copy its records to "
                              "a folder you can read.")
            .arg(QDir::toNativeSeparators(folder), why);
    return QStringLiteral("ERROR: %1 holds no session record: no file named *.csv in it or in its "
                          "subfolders.")
        .arg(QDir::toNativeSeparators(folder));
}

namespace {

// "2 records" or "1 record", then how they were left out and why, then the paths.
QString leftOutMessage(qsizetype count, const QString &one, const QString &many, const QString &how,
                       const QString &why, const QStringList &paths)
{
    QStringList native;
    for (const QString &path : paths)
        native << QDir::toNativeSeparators(path);
    return QStringLiteral("WARNING: %1 %2 %3: %4: %5")
        .arg(QString::number(count), count == 1 ? one : many, how, why,
             native.join(QStringLiteral(", ")));
}

} // namespace

QString studyRecordsNotCountedMessage(const QString &why, const QStringList &files)
{
    return leftOutMessage(files.size(), QStringLiteral("record"), QStringLiteral("records"),
                          QStringLiteral("not counted"), why, files);
}

QString studyPathsNotReadMessage(const QString &why, const QStringList &paths)
{
    return leftOutMessage(paths.size(), QStringLiteral("path"), QStringLiteral("paths"),
                          QStringLiteral("not read"), why, paths);
}

QString studySameFilesMessage(const QStringList &paths)
{
    return leftOutMessage(paths.size(), QStringLiteral("path"), QStringLiteral("paths"),
                          QStringLiteral("not tabled again"),
                          QStringLiteral("the same file as a record tabled before"), paths);
}

QString studyFileSaveMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: %1 could not be saved: %2. The file is as it was before.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString studyPictureNotDrawnMessage(const QString &file)
{
    return studyFileSaveMessage(file, QStringLiteral("the picture could not be drawn"));
}

QString studyPictureNameMessage(const QString &file)
{
    return QStringLiteral("ERROR: %1 is not a name the picture can be saved under: end it in "
                          ".png for an image or .pdf for a page.")
        .arg(QDir::toNativeSeparators(file));
}

QString notPrintedMessage(Printout printout)
{
    switch (printout) {
    case Printout::SessionPlan:
        return QStringLiteral("ERROR: The session plan could not be printed. Check the printer, or "
                              "print to a PDF file.");
    case Printout::ObserverSheet:
        return QStringLiteral("ERROR: The observer sheet could not be printed. Check the printer, "
                              "or print to a PDF file.");
    case Printout::StudyPicture:
        break;
    }
    return QStringLiteral("ERROR: The picture could not be printed. Check the printer, or save the "
                          "picture as PDF.");
}
