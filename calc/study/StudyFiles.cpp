#include "calc/study/StudyFiles.h"

#include "calc/files/FolderNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <climits>
#include <cstring>
#include <utility>

namespace {

using StudyFiles::Skip;

bool namedCsv(const QFileInfo &entry)
{
    return entry.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

bool tooLong(const QString &path)
{
#if defined(Q_OS_UNIX) && defined(PATH_MAX)
    return QFile::encodeName(path).size() >= PATH_MAX;
#else
    Q_UNUSED(path);
    return false; // Qt opens long paths where the system lets it
#endif
}

Skip whyNotListed(const QString &folder)
{
    return tooLong(folder) ? Skip::PathTooLong : Skip::FolderNotListed;
}

bool listable(const QFileInfo &folder)
{
#ifdef Q_OS_UNIX
    return folder.isReadable() && folder.isExecutable();
#else
    return folder.isReadable();
#endif
}

class Walker {
public:
    explicit Walker(const StudyFiles::Walk &walk) : m_walk(walk) {}

    void given(const QString &path)
    {
        const QFileInfo info(path);
        if (!info.isDir())
            found(path, canonicalOf(info));
        else if (!listable(info))
            skipped(whyNotListed(path), path);
        else if (in(path) == 0)
            m_walk.emptyFolder(path);
    }

private:
    using Digest = std::pair<quint64, quint64>;
    static Digest digestOf(const QString &path)
    {
        const QByteArray digest =
            QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256);
        Digest key;
        std::memcpy(&key.first, digest.constData(), sizeof key.first);
        std::memcpy(&key.second, digest.constData() + sizeof key.first, sizeof key.second);
        return key;
    }

    // The records in `folder` and below it, in name order; how many paths named one, read or not.
    qint64 in(const QString &folder)
    {
        qint64 named = 0;
        QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
        if (!canonicalFolder.isEmpty() && !canonicalFolder.endsWith(QLatin1Char('/')))
            canonicalFolder += QLatin1Char('/');
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir()) {
                if (entry.isSymLink())
                    continue;
                if (listable(entry)) {
                    named += in(entry.filePath());
                    continue;
                }
                skipped(whyNotListed(entry.filePath()), entry.filePath());
            } else if (entry.isFile()) {
                if (!namedCsv(entry))
                    continue;
                // In a folder known by its canonical path, a name that is no link is one too.
                found(entry.filePath(), entry.isSymLink() || canonicalFolder.isEmpty()
                                            ? canonicalOf(entry)
                                            : canonicalFolder + entry.fileName());
            } else if (tooLong(entry.filePath())) {
                // It cannot be looked at, so it may be a folder of records.
                skipped(Skip::PathTooLong, entry.filePath());
            } else {
                // A pipe, a socket, a device or a link to nothing: told of when named *.csv.
                if (!namedCsv(entry))
                    continue;
                skipped(Skip::NotARegularFile, entry.filePath());
            }
            ++named;
        }
        // Qt lists no name that is not UTF-8: the system's own listing gives them.
        for (const QString &name : FolderNames::notUtf8(folder)) {
            skipped(Skip::NameNotUtf8, QDir(folder).filePath(name));
            ++named;
        }
        return named;
    }

    // A path not read, told once however often it is reached (a folder given twice).
    void skipped(Skip why, const QString &path)
    {
        const Digest digest = digestOf(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
        if (!m_told.contains(digest)) {
            m_told.insert(digest);
            m_walk.skipped(why, path);
        }
    }

    // The path a file is tabled once by: its canonical path, or for one not there its absolute
    // path.
    static QString canonicalOf(const QFileInfo &file)
    {
        const QString canonical = file.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
    }

    // Each real file once: its canonical path is kept as 16 bytes of its SHA-256, so that the
    // memory grows little with the records.
    void found(const QString &file, const QString &canonical)
    {
        const Digest digest = digestOf(canonical);
        if (!m_seen.contains(digest)) {
            m_seen.insert(digest);
            m_walk.record(file);
        } else {
            m_walk.skipped(Skip::SameFile, file); // told each time: a name of its own
        }
    }

    const StudyFiles::Walk &m_walk;
    // QSet keeps its entries in arrays, some 20 bytes each: 10,000 records take 0.2 MB.
    QSet<Digest> m_seen; // the records found
    QSet<Digest> m_told; // the paths not read
};

} // namespace

void StudyFiles::forEach(const QStringList &paths, const Walk &walk)
{
    Walker walker(walk);
    for (const QString &path : paths)
        walker.given(path);
}

bool StudyFiles::unread(Skip why)
{
    return why != Skip::SameFile;
}
