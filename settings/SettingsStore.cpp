#include "settings/SettingsStore.h"

#include "settings/SettingsLines.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QThread>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

// What stands in the place of a file that is not a regular one, for messages.
QString kindOf(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("a folder");
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        if (S_ISFIFO(status.st_mode))
            return QStringLiteral("a named pipe");
        if (S_ISSOCK(status.st_mode))
            return QStringLiteral("a socket");
        if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
            return QStringLiteral("a device");
    }
#endif
    return QStringLiteral("something other than a file");
}

bool isOtherThanAFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

// The temporary files of Qt's atomic save are named <file>.XXXXXX, six random letters; a save
// killed between writing and renaming one leaves it. A name a person would choose (backup, OLD,
// Before) is never taken for one of them.
bool isStrayTemporaryName(const QString &name, const QString &fileName)
{
    static const QRegularExpression random(QStringLiteral("^[A-Za-z]{6}$"));
    static const QRegularExpression chosen(QStringLiteral("^([a-z]+|[A-Z]+|[A-Z][a-z]+)$"));
    if (!name.startsWith(fileName + QLatin1Char('.')))
        return false;
    const QString suffix = name.sliced(fileName.size() + 1);
    return random.match(suffix).hasMatch() && !chosen.match(suffix).hasMatch();
}

// Qt's save waits 30 s before it takes over a lock file that names no owner, as a copy of the
// program killed while taking the lock leaves; one whose owner has ended it goes at once. The lock
// is taken once before Qt's save, calling a lock without an owner stale after a second: a live
// owner names itself at once, and no lock is ever removed while its owner holds it open. Holding
// it, no other copy is saving, so a temporary file of a save beside the file is a stray one.
void clearLeftovers(const QString &path)
{
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(1000);
    // Tried every 50 ms rather than by tryLock(1500), whose pauses double and would first find
    // a lock without an owner stale after 1.5 s.
    QElapsedTimer waited;
    waited.start();
    bool locked = lock.tryLock(0);
    while (!locked && waited.elapsed() < 1500) {
        QThread::msleep(50);
        locked = lock.tryLock(0);
    }
    if (!locked)
        return; // another copy is saving: Qt's save waits for it, and a later save tidies up
    const QFileInfo file(path);
    for (const QFileInfo &entry :
         file.dir().entryInfoList({file.fileName() + QStringLiteral(".??????")},
                                  QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (isStrayTemporaryName(entry.fileName(), file.fileName()))
            QFile::remove(entry.absoluteFilePath());
    }
}

// The bytes free beside `path` when they are too few for files of `sizes`, each rounded up to
// whole blocks, and a block to spare: Qt 6.4's atomic save commits a file cut short by a full
// disk as if it were whole, and so would replace every stored value with a part of them.
std::optional<qint64> tooLittleRoom(const QString &path, std::initializer_list<qint64> sizes)
{
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    if (!storage.isValid())
        return std::nullopt;
    const qint64 block = std::max(storage.blockSize(), 512);
    qint64 needed = block;
    for (const qint64 size : sizes)
        needed += (size + block - 1) / block * block;
    if (storage.bytesAvailable() >= needed)
        return std::nullopt;
    return storage.bytesAvailable();
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
        return unreadable(QStringLiteral("it is %1, not a regular file").arg(kindOf(path)));
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
    if (isOtherThanAFile(copy))
        return failed(kindOf(copy) + QStringLiteral(" of that name is in the way"));
    if (const std::optional<qint64> free = tooLittleRoom(copy, {bytes.size(), newFileSize}))
        return failed(QStringLiteral("only %1 bytes are free on its disk, too few for the copy "
                                     "and a new file")
                          .arg(*free));
    // A new copy replaces an earlier one only once it is whole. Unbuffered, so that a short write
    // shows at once: Qt's atomic save commits a file whose buffered end could not be written.
    QSaveFile file(copy);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    const qint64 written = file.write(bytes);
    if (written >= 0 && written < bytes.size())
        return failed(QStringLiteral("only %1 of its %2 bytes could be written; the disk may be "
                                     "full")
                          .arg(written)
                          .arg(bytes.size()));
    if (written < 0 || !file.commit())
        return failed(file.errorString());
    QFile copied(copy);
    if (!copied.open(QIODevice::ReadOnly) || copied.readAll() != bytes)
        return failed(QStringLiteral("it does not read back as the damaged file"));
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
    // The file is judged afresh: it may have changed since it was read, and a damaged copy must
    // hold the very bytes that are replaced.
    const Reading current = read(appName, section);
    // What cannot be read is never replaced: its values would be lost.
    if (current.status == SettingsStatus::Unreadable)
        return failed(current.problem + QStringLiteral(", so nothing was written"));
    const bool damaged = current.status == SettingsStatus::Damaged;
    if (!m_registry) {
        const QString lockPath = path + QStringLiteral(".lock");
        if (isOtherThanAFile(lockPath))
            return failed(QStringLiteral("its lock file \"%1\" is %2, not a regular file, so "
                                         "nothing was written")
                              .arg(lockPath, kindOf(lockPath)));
        // The new file holds at most the old one and the entries, each text escaped at worst
        // twice its length.
        qint64 size = current.bytes.size();
        for (const SettingsEntry &entry : entries)
            size += entry.key.toUtf8().size() + 2 * entry.text.toUtf8().size() + 4;
        if (damaged) {
            if (!keepDamagedCopy(appName, current.bytes, size)) {
                m_status = SettingsStatus::NotSaved;
                return false;
            }
        } else if (const std::optional<qint64> free = tooLittleRoom(path, {size})) {
            return failed(QStringLiteral("only %1 bytes are free on its disk, too few to replace "
                                         "it safely, so it was left as it is")
                              .arg(*free));
        }
        clearLeftovers(path);
    }
    {
        const auto settings = open(appName);
        if (damaged) {
            // The new file keeps only what could be read of this section; nothing of the damaged
            // file is lost, as it stays beside the new one.
            settings->clear();
            settings->beginGroup(section);
            QStringList written; // a key in two spellings of the section keeps the value read
            for (const SettingsEntry &entry : current.readable) {
                if (!entry.key.isEmpty() && !written.contains(entry.key)) { // "=text": no key
                    settings->setValue(entry.key, entry.text);
                    written << entry.key;
                }
            }
        } else {
            settings->beginGroup(storedSpelling(settings->childGroups(), section));
        }
        const QStringList stored = settings->childKeys();
        for (const SettingsEntry &entry : entries) {
            for (const QString &other : stored) {
                if (other != entry.key && other.compare(entry.key, Qt::CaseInsensitive) == 0)
                    settings->remove(other);
            }
            settings->setValue(entry.key, entry.text);
        }
        settings->endGroup();
        settings->sync(); // the one write of the file
        if (settings->status() == QSettings::AccessError)
            return failed(QStringLiteral("it could not be written"));
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
