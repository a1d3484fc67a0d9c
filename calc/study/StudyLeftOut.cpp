#include "calc/study/StudyLeftOut.h"

#include "calc/study/StudyFaultTexts.h"

#include <array>

namespace {

// The statuses in the order the warnings and the count line name them, the best first.
constexpr std::array<RecordStatus, 6> StatusOrder{
    RecordStatus::Ok,  RecordStatus::Unverified, RecordStatus::DoseDiffers,
    RecordStatus::Cut, RecordStatus::Changed,    RecordStatus::Unreadable};

QString statusWord(RecordStatus status)
{
    const std::string_view word = recordStatusWord(status);
    return QString::fromLatin1(word.data(), qsizetype(word.size()));
}

// Why a record is not counted, in the words its warning gives.
QString notCountedWhy(RecordStatus status)
{
    return status == RecordStatus::Unverified ? QStringLiteral("unverified (version 1)")
                                              : statusWord(status);
}

QString notReadWhy(StudyFiles::Skip why)
{
    switch (why) {
    case StudyFiles::Skip::FolderNotListed:
        return QStringLiteral("a folder that cannot be listed");
    case StudyFiles::Skip::NotARegularFile:
        return QStringLiteral("not a regular file");
    case StudyFiles::Skip::NameNotUtf8:
        return QStringLiteral("a name that is not UTF-8");
    case StudyFiles::Skip::PathTooLong:
        return QStringLiteral("a path too long to open");
    case StudyFiles::Skip::SameFile:
        break;
    }
    return {};
}

} // namespace

void StudyLeftOut::add(RecordStatus status, const QString &file)
{
    m_records[status] << file;
}

void StudyLeftOut::add(StudyFiles::Skip why, const QString &path)
{
    m_paths[why] << path;
}

QStringList StudyLeftOut::warnings() const
{
    QStringList lines;
    for (RecordStatus status : StatusOrder) {
        if (const auto found = m_records.find(status); found != m_records.end())
            lines << studyRecordsNotCountedMessage(notCountedWhy(status), found->second);
    }
    for (const auto &[why, paths] : m_paths) {
        if (why != StudyFiles::Skip::SameFile)
            lines << studyPathsNotReadMessage(notReadWhy(why), paths);
    }
    if (const auto same = m_paths.find(StudyFiles::Skip::SameFile); same != m_paths.end())
        lines << studySameFilesMessage(same->second);
    return lines;
}

QString studyCountLine(const std::map<RecordStatus, qint64> &statuses,
                       const StudyCounting &counting)
{
    qint64 records = 0;
    qint64 counted = 0;
    QStringList others;
    for (RecordStatus status : StatusOrder) {
        const auto found = statuses.find(status);
        const qint64 count = found == statuses.end() ? 0 : found->second;
        records += count;
        if (counting.counts(status))
            counted += count;
        else if (count > 0)
            others << QStringLiteral("%1 %2%3").arg(count).arg(
                statusWord(status),
                status == RecordStatus::Unreadable ? QString() : QStringLiteral(" not counted"));
    }
    const QString line =
        records == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(records);
    if (records == 0)
        return line;
    return line + QStringLiteral(": %1 counted").arg(counted) +
           (others.isEmpty() ? QString()
                             : QStringLiteral(", ") + others.join(QStringLiteral(", ")));
}
