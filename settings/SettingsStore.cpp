#include "settings/SettingsStore.h"

#include "settings/SettingsLines.h"

#include "calc/files/DiskRoom.h"
#include "calc/files/FileKind.h"
#include "calc/files/SafeWrite.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>
#include <algorithm>
#include <functional>

namespace {

using SettingsLines::Line;
using SettingsLines::LineKind;

// The spelling already stored for `name` among `names`, or `name` itself when there is none.
// An exact match wins over other spellings.
QString storedSpelling(const QStringList &names, const QString &name)
{
    if (names.contains(name))
        return name;
    for (const QString &candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return name;
}

// An unquoted comma makes the INI reader split the text into a list; the stored text is the
// list joined again.
QString textOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// The keys and texts of the group `settings` is in, in Qt's (sorted) order of keys.
QList<SettingsEntry> entriesOf(QSettings &settings)
{
    QList<SettingsEntry> entries;
    for (const QString &key : settings.childKeys())
        entries.append({key, textOf(settings.value(key))});
    return entries;
}

// The keys and texts of `section` in every letter case it is headed in, listed in `spellings`:
// Qt keeps [Settings] and [settings] apart, where the store takes them for one. The exact
// spelling comes first, so that its key wins where both hold one.
QList<SettingsEntry> sectionEntries(QSettings &settings, const QString &section,
                                    QStringList &spellings)
{
    spellings.clear();
    for (const QString &group : settings.childGroups()) {
        if (group.compare(section, Qt::CaseInsensitive) == 0)
            spellings << group;
    }
    std::stable_partition(spellings.begin(), spellings.end(),
                          [&section](const QString &group) { return group == section; });
    QList<SettingsEntry> entries;
    for (const QString &group : std::as_const(spellings)) {
        settings.beginGroup(group);
        entries += entriesOf(settings);
        settings.endGroup();
    }
    return entries;
}

// The entry of `key` among `entries` as the store finds it: the exact spelling, else the first
// other spelling in their order.
const SettingsEntry *entryOf(const QList<SettingsEntry> &entries, const QString &key)
{
    const SettingsEntry *other = nullptr;
    for (const SettingsEntry &entry : entries) {
        if (entry.key == key)
            return &entry;
        if (!other && entry.key.compare(key, Qt::CaseInsensitive) == 0)
            other = &entry;
    }
    return other;
}

// Qt writes each slash of a key as a backslash, and a key's section is what comes before its
// first slash. A key whose rest ends in an odd number of slashes so comes out as "A\=4", the last
// backslash hiding the '=': Qt reads such a key ("A/=4" under "[Other]") but cannot write it back
// readable. The first such key as Qt names it; empty when there is none.
QString firstKeyNotWrittenBack(const QSettings &settings)
{
    for (const QString &key : settings.allKeys()) {
        const qsizetype section = key.indexOf(QLatin1Char('/'));
        if (section < 0)
            continue;
        qsizetype slashes = 0;
        while (slashes < key.size() - section - 1 &&
               key.at(key.size() - 1 - slashes) == QLatin1Char('/'))
            ++slashes;
        if (slashes % 2 == 1)
            return key;
    }
    return {};
}

// A line as the operator finds it in the file, for messages: its number and its start.
QString shown(const Line &line)
{
    constexpr qsizetype ShownLength = 40;
    const QString text = QString::fromUtf8(line.text);
    return QStringLiteral("line %1 (\"%2\")")
        .arg(line.number)
        .arg(text.size() > ShownLength ? text.left(ShownLength) + QChar(0x2026) : text);
}

QString describe(const Line &line)
{
    switch (line.kind) {
    case LineKind::NotText:
        return QStringLiteral("line %1 holds bytes that are not text").arg(line.number);
    case LineKind::UnclosedQuote:
        return shown(line) + QStringLiteral(" has a quote (\") that is not closed on that line");
    case LineKind::JoinedToNext:
        return shown(line) +
               QStringLiteral(" ends in a backslash (\\), which joins the next line to it");
    case LineKind::UnclosedHeader:
        return shown(line) + QStringLiteral(" opens a section name without closing it with \"]\"");
    default:
        return shown(line) + QStringLiteral(" is neither a [section] nor key=value");
    }
}

// Qt's reading of `section` in `bytes`, from a temporary file of their own: Qt keeps what it has
// read of a file by its name, so every reading needs a new name. No value when no such file can
// be written.
std::optional<QList<SettingsEntry>> qtReading(const QByteArray &bytes, const QString &section,
                                              QStringList &spellings)
{
    QTemporaryFile scratch;
    if (!scratch.open() || scratch.write(bytes) != bytes.size() || !scratch.flush())
        return std::nullopt;
    scratch.close();
    QSettings settings(scratch.fileName(), QSettings::IniFormat);
    return sectionEntries(settings, section, spellings);
}

const QString NoScratchCopy =
    QStringLiteral("no copy of it could be made in the temporary folder to read it");

// The file Qt's INI writer makes of `base` once `change` has been made to it, written through a
// scratch copy of its own in the temporary folder, so that the store's file itself is only ever
// replaced whole by SafeWrite. No value when the scratch copy cannot be made.
std::optional<QByteArray> iniWrittenBy(const QByteArray &base,
                                       const std::function<void(QSettings &)> &change)
{
    QTemporaryFile scratch;
    if (!scratch.open() || scratch.write(base) != base.size() || !scratch.flush())
        return std::nullopt;
    scratch.close();
    {
        QSettings settings(scratch.fileName(), QSettings::IniFormat);
        change(settings);
        settings.sync();
        if (settings.status() == QSettings::AccessError)
            return std::nullopt; // a format error is the damage the store reads around
    }
    QFile written(scratch.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return std::nullopt;
    return written.readAll();
}

// The lock a save holds from reading the file to replacing it, under the name Qt's own save has
// always used, so that two copies of the program never interleave their saves. A lock without an
// owner, as a copy killed while taking it leaves, is taken over after a second; one whose owner
// has ended goes at once; a live owner keeps the lock open, and no lock is ever taken from it.
// Tried every 50 ms rather than by tryLock(timeout), whose pauses double; a save takes well under
// a second, so `waitMs` is long enough to outlast another copy's save.
bool lockForSaving(QLockFile &lock, int waitMs)
{
    lock.setStaleLockTime(1000);
    QElapsedTimer waited;
    waited.start();
    bool locked = lock.tryLock(0);
    while (!locked && lock.error() == QLockFile::LockFailedError && waited.elapsed() < waitMs) {
        QThread::msleep(50);
        locked = lock.tryLock(0);
    }
    return locked;
}

} // namespace

struct SettingsStore::Reading {
    SettingsStatus status = SettingsStatus::Ok;
    QString problem;
    QByteArray bytes;              // the file as it was read, for a copy of a damaged one
    QList<SettingsEntry> readable; // the section's values as the store uses them
    QList<SettingsEntry> damaged;  // the keys of the section's damaged lines, with their texts

    // The stored text of `key`; for a key whose only lines are damaged, the last one's text, so
    // the caller can name it.
    std::optional<QString> text(const QString &key) const
    {
        if (const SettingsEntry *entry = entryOf(readable, key))
            return entry->text;
        for (auto entry = damaged.crbegin(); entry != damaged.crend(); ++entry) {
            if (entry->key.compare(key, Qt::CaseInsensitive) == 0)
                return entry->text;
        }
        return std::nullopt;
    }
};

SettingsStore::SettingsStore()
{
#ifdef Q_OS_WIN
    m_registry = true;
#else
    m_folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (m_folder.isEmpty())
        m_folder = QDir::homePath() + QStringLiteral("/.config");
#endif
}

SettingsStore::SettingsStore(const QString &folder) : m_folder(folder) {}

QString SettingsStore::location(const QString &appName) const
{
    if (m_registry)
        return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + appName;
    return QDir::cleanPath(m_folder + QLatin1Char('/') + appName + QLatin1Char('/') + appName +
                           QStringLiteral(".ini"));
}

QString SettingsStore::lockLocation(const QString &appName) const
{
    return m_registry ? QString() : location(appName) + QStringLiteral(".lock");
}

QString SettingsStore::damagedCopyLocation(const QString &appName) const
{
    return location(appName) + QStringLiteral(".damaged");
}

std::unique_ptr<QSettings> SettingsStore::open(const QString &appName) const
{
    return std::make_unique<QSettings>(location(appName),
                                       m_registry ? QSettings::NativeFormat : QSettings::IniFormat);
}

SettingsStore::Reading SettingsStore::read(const QString &appName, const QString &section) const
{
    Reading reading;
    const auto unreadable = [&reading](const QString &why) {
        reading.status = SettingsStatus::Unreadable;
        reading.problem = why;
        return reading;
    };
    QStringList spellings; // of the section, as Qt reads them
    QString notWrittenBack;
    const auto qtReadingOfStore = [&]() -> std::optional<QList<SettingsEntry>> {
        const auto settings = open(appName);
        if (settings->status() == QSettings::AccessError)
            return std::nullopt;
        notWrittenBack = firstKeyNotWrittenBack(*settings);
        return sectionEntries(*settings, section, spellings);
    };
    if (m_registry) {
        const auto entries = qtReadingOfStore();
        if (!entries)
            return unreadable(QStringLiteral("it cannot be read"));
        reading.readable = *entries;
        return reading;
    }

    const QString path = location(appName);
    const QFileInfo info(path);
    if (!info.exists())
        return reading;
    // Qt would open whatever is there, and opening a named pipe waits for a writer forever.
    if (!info.isFile())
        return unreadable(QStringLiteral("it is %1, not a regular file").arg(otherThanAFile(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(QStringLiteral("it cannot be opened (%1)").arg(file.errorString()));
    reading.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(QStringLiteral("it cannot be read (%1)").arg(file.errorString()));

    const SettingsLines::LineReading lines = SettingsLines::readLines(reading.bytes, section);
    // Where every line stands on its own, Qt reads the file as it is; else a copy of it whose
    // damaged lines are mended or blank, so that each intact line keeps its value.
    if (lines.damaged.isEmpty()) {
        const auto entries = qtReadingOfStore();
        if (!entries)
            return unreadable(QStringLiteral("it cannot be read"));
        reading.readable = *entries;
    } else {
        const auto entries = qtReading(lines.cleaned, section, spellings);
        if (!entries)
            return unreadable(NoScratchCopy);
        reading.readable = *entries;
    }
    for (const Line &line : lines.damagedInSection)
        reading.damaged.append({QString::fromUtf8(line.name), QString::fromUtf8(line.value)});

    if (!lines.damaged.isEmpty()) {
        reading.problem = describe(lines.damaged.first());
        if (lines.damaged.size() == 2)
            reading.problem += QStringLiteral(" (and 1 more damaged line)");
        else if (lines.damaged.size() > 2)
            reading.problem +=
                QStringLiteral(" (and %1 more damaged lines)").arg(lines.damaged.size() - 1);
    } else if (spellings.size() > 1) {
        // Read as one, but a save must leave a single section for another reader to find.
        reading.problem = QStringLiteral("the section [%1] is headed in more than one letter "
                                         "case ([%2])")
                              .arg(section, spellings.join(QStringLiteral("], [")));
    } else if (!notWrittenBack.isEmpty() && !m_registry) {
        // Left as it is, the next save would turn that line into one nobody can read.
        reading.problem = QStringLiteral("the key \"%1\" ends in a slash (/), which cannot be "
                                         "written back to the file")
                              .arg(notWrittenBack);
    } else {
        // Every key on an intact line of the section is read, in one spelling or another; Qt
        // decodes '%' escapes in keys and makes '\' and '/' subsections, so those are left out.
        for (const Line &line : lines.intact) {
            const QString key = QString::fromUtf8(line.name);
            const bool decoded = key.contains(QLatin1Char('%')) || key.contains(QLatin1Char('/')) ||
                                 key.contains(QLatin1Char('\\'));
            if (!key.isEmpty() && !decoded && !entryOf(reading.readable, key)) {
                reading.problem =
                    shown(line) + QStringLiteral(" is not read as a value of [%1]").arg(section);
                break;
            }
        }
    }
    if (!reading.problem.isEmpty())
        reading.status = SettingsStatus::Damaged;
    return reading;
}

bool SettingsStore::keepDamagedCopy(const QString &appName, const QByteArray &bytes,
                                    qint64 newFileSize) const
{
    const QString copy = damagedCopyLocation(appName);
    const auto failed = [this, &copy](const QString &why) {
        m_problem =
            QStringLiteral("the damaged file could not be kept as \"%1\" (%2), so it was left as "
                           "it is")
                .arg(copy, why);
        return false;
    };
    const QString other = otherThanAFile(copy);
    if (!other.isEmpty())
        return failed(other + QStringLiteral(" of that name is in the way"));
    if (const std::optional<qint64> free = tooLittleRoom(copy, {bytes.size(), newFileSize}))
        return failed(QStringLiteral("only %1 bytes are free on its disk, too few for the copy "
                                     "and a new file")
                          .arg(*free));
    // A new copy replaces an earlier one only once it is whole.
    const QString reason = SafeWrite::write(copy, bytes);
    if (!reason.isEmpty())
        return failed(reason);
    return true;
}

QString SettingsStore::GetSetting(const QString &appName, const QString &section,
                                  const QString &key, const QString &defaultText) const
{
    return GetSettings(appName, section, {key}).first().value_or(defaultText);
}

bool SettingsStore::SaveSetting(const QString &appName, const QString &section, const QString &key,
                                const QString &text) const
{
    return SaveSettings(appName, section, {{key, text}});
}

QList<std::optional<QString>> SettingsStore::GetSettings(const QString &appName,
                                                         const QString &section,
                                                         const QStringList &keys) const
{
    const Reading reading = read(appName, section);
    m_status = reading.status;
    m_problem = reading.problem;
    QList<std::optional<QString>> texts;
    for (const QString &key : keys)
        texts << reading.text(key);
    return texts;
}

bool SettingsStore::SaveSettings(const QString &appName, const QString &section,
                                 const QList<SettingsEntry> &entries) const
{
    const QString path = location(appName);
    const auto failed = [this](const QString &why) {
        m_status = SettingsStatus::NotSaved;
        m_problem = why;
        return false;
    };
    m_problem.clear();
    // The entries written into `settings`, each replacing every other spelling of its key.
    const auto putEntries = [&entries](QSettings &settings) {
        const QStringList stored = settings.childKeys();
        for (const SettingsEntry &entry : entries) {
            for (const QString &other : stored) {
                if (other != entry.key && other.compare(entry.key, Qt::CaseInsensitive) == 0)
                    settings.remove(other);
            }
            settings.setValue(entry.key, entry.text);
        }
    };
    std::optional<QLockFile> lock;
    if (m_registry) {
        const Reading current = read(appName, section);
        if (current.status == SettingsStatus::Unreadable)
            return failed(current.problem + QStringLiteral(", so nothing was written"));
        const auto settings = open(appName);
        settings->beginGroup(storedSpelling(settings->childGroups(), section));
        putEntries(*settings);
        settings->endGroup();
        settings->sync();
        if (settings->status() == QSettings::AccessError)
            return failed(QStringLiteral("it could not be written"));
    } else {
        const QString lockPath = lockLocation(appName);
        const QString lockKind = otherThanAFile(lockPath);
        if (!lockKind.isEmpty())
            return failed(QStringLiteral("its lock file \"%1\" is %2, not a regular file, so "
                                         "nothing was written")
                              .arg(lockPath, lockKind));
        // Whether `reading` of the file may be replaced: it can be read, and the disk has room
        // for the new file (and for a copy of a damaged one, which is made here).
        const auto mayReplace = [&](const Reading &reading) {
            // What cannot be read is never replaced: its values would be lost.
            if (reading.status == SettingsStatus::Unreadable)
                return failed(reading.problem + QStringLiteral(", so nothing was written"));
            // The new file holds at most the old one and the entries, each text escaped at
            // worst twice its length.
            qint64 size = reading.bytes.size();
            for (const SettingsEntry &entry : entries)
                size += entry.key.toUtf8().size() + 2 * entry.text.toUtf8().size() + 4;
            if (reading.status == SettingsStatus::Damaged) {
                if (keepDamagedCopy(appName, reading.bytes, size))
                    return true;
                m_status = SettingsStatus::NotSaved;
                return false;
            }
            if (const std::optional<qint64> free = tooLittleRoom(path, {size}))
                return failed(QStringLiteral("only %1 bytes are free on its disk, too few to "
                                             "replace it safely, so it was left as it is")
                                  .arg(*free));
            return true;
        };
        // Judged before the lock is taken, whose own file takes a block of a nearly full disk.
        Reading current = read(appName, section);
        if (!mayReplace(current))
            return false;
        // Held until what was written has been read back, so that no other save comes between.
        lock.emplace(lockPath);
        const QString folder = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(folder))
            return failed(QStringLiteral("its folder \"%1\" cannot be made (%2), so nothing was "
                                         "written; make room for it in the folder above it")
                              .arg(QDir::toNativeSeparators(folder), whyNoFileCanBeMade(folder)));
        if (!lockForSaving(*lock, m_lockWaitMs)) {
            if (lock->error() == QLockFile::LockFailedError) {
                failed(QStringLiteral("another copy of Pourwise holds its lock file \"%1\" and is "
                                      "saving the settings, so nothing was written")
                           .arg(QDir::toNativeSeparators(lockPath)));
                m_status = SettingsStatus::Locked;
                return false;
            }
            return failed(QStringLiteral("its lock file \"%1\" cannot be made (%2), so nothing "
                                         "was written; let your user write in \"%3\" or make "
                                         "room on its disk")
                              .arg(QDir::toNativeSeparators(lockPath), whyNoFileCanBeMade(lockPath),
                                   QDir::toNativeSeparators(folder)));
        }
        // Judged again if another copy saved it meanwhile: a damaged copy must hold the very
        // bytes that are replaced.
        if (const Reading locked = read(appName, section);
            locked.status != current.status || locked.bytes != current.bytes) {
            current = locked;
            if (!mayReplace(current))
                return false;
        }
        const bool damaged = current.status == SettingsStatus::Damaged;
        // Holding the lock, no other copy is saving: a temporary file beside the file is left
        // over from a save that was cut short.
        SafeWrite::removeTemporaries(path, 0);
        // A damaged file is replaced by one of only what could be read of this section; nothing
        // of it is lost, as it stays beside the new one.
        const std::optional<QByteArray> bytes =
            iniWrittenBy(damaged ? QByteArray() : current.bytes, [&](QSettings &settings) {
                if (damaged) {
                    settings.beginGroup(section);
                    QStringList written; // a key in two spellings of the section keeps the value
                    for (const SettingsEntry &entry : current.readable) {
                        if (!entry.key.isEmpty() && !written.contains(entry.key)) { // "=text"
                            settings.setValue(entry.key, entry.text);
                            written << entry.key;
                        }
                    }
                } else {
                    settings.beginGroup(storedSpelling(settings.childGroups(), section));
                }
                putEntries(settings);
                settings.endGroup();
            });
        if (!bytes)
            return failed(QStringLiteral("it could not be written, as no copy of it could be made "
                                         "in the temporary folder"));
        const QString reason = SafeWrite::write(path, *bytes);
        if (!reason.isEmpty())
            return failed(QStringLiteral("it could not be written (%1), so it was left as it is")
                              .arg(reason));
    }
    // Read back from the file as it now is, not from what Qt keeps of it, which a write cut short
    // leaves whole; a failed write hides behind the read error of a damaged file, too.
    const Reading check = read(appName, section);
    QStringList spellings;
    const std::optional<QList<SettingsEntry>> stored =
        check.status != SettingsStatus::Ok ? std::optional(QList<SettingsEntry>())
        : m_registry                       ? std::optional(check.readable)
                                           : qtReading(check.bytes, section, spellings);
    if (!stored)
        return failed(QStringLiteral("what was written could not be checked, as ") + NoScratchCopy);
    for (const SettingsEntry &entry : entries) {
        const SettingsEntry *found = entryOf(*stored, entry.key);
        if (!found || found->key != entry.key || found->text != entry.text)
            return failed(QStringLiteral("what was written does not read back as saved; the "
                                         "disk may be full"));
    }
    m_status = SettingsStatus::Ok;
    return true;
}
