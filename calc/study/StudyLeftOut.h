#pragma once

#include "calc/record/RecordStatus.h"
#include "calc/study/AchievementTable.h"
#include "calc/study/StudyFiles.h"

#include <QString>
#include <QStringList>
#include <map>

// What a study's table leaves out, and why, so that no record is left out without a word: the
// records it does not count (the achievement's not counted by StudyCounting, the readings
// table's that cannot be read), the paths not read (StudyFiles::Skip) and the names of files
// already tabled. Each reason's paths are kept in the order met, and told as one warning.
class StudyLeftOut {
public:
    void add(RecordStatus status, const QString &file);
    void add(StudyFiles::Skip why, const QString &path);

    // One line per reason, each starting "WARNING: ": the records not counted (by status, from
    // unverified to unreadable), the paths not read, then the names of files already tabled.
    QStringList warnings() const;

private:
    std::map<RecordStatus, QStringList> m_records;
    std::map<StudyFiles::Skip, QStringList> m_paths;
};

// The records of a study counted by status, as the Study Summary's count line gives them: "12
// records: 10 counted, 1 unverified not counted, 1 unreadable" (the achievement's counted first,
// then every other status, from unverified to unreadable, that some record has).
QString studyCountLine(const std::map<RecordStatus, qint64> &statuses,
                       const StudyCounting &counting);
