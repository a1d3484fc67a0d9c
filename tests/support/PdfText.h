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

// Each page's words, as words() gives the file's; pdftotext ends every page with a form feed.
inline QStringList pageWords(const QString &pdf)
{
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    extract.waitForFinished();
    QStringList pages = QString::fromUtf8(extract.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.constLast().trimmed().isEmpty())
        pages.removeLast();
    for (QString &page : pages)
        page = page.simplified();
    return pages;
}

inline QString words(const QString &pdf)
{
    return pageWords(pdf).join(QLatin1Char(' '));
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
