#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

// What a PDF file says, as pdftotext (poppler-utils) reads it: its lines as they lie across the
// page, so that a table's row reads as one, run together with single spaces; none when
// pdftotext is not installed.
namespace PdfText {

inline bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

inline QString words(const QString &pdf)
{
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    extract.waitForFinished();
    return QString::fromUtf8(extract.readAllStandardOutput()).simplified();
}

// How many pages the file holds: its page objects, not the page tree ("/Type /Pages").
inline qsizetype pages(const QString &pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return QString::fromLatin1(file.readAll()).count(page);
}

} // namespace PdfText
