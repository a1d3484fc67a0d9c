#include "settings/SettingsStore.h"

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

// The section's keys and texts as Qt reads them, in its (sorted) order of keys.
QList<SettingsEntry> entriesOf(QSettings &settings)
{
    QList<SettingsEntry> entries;
    for (const QString &key : settings.childKeys())
        entries.append({key, textOf(settings.value(key))});
    return entries;
}

// The text of `key` among `entries` as the store finds it: the exact spelling, else the first
// other spelling in Qt's order of keys.
std::optional<QString> textIn(const QList<SettingsEntry> &entries, const QString &key)
{
    QStringList keys;
    for (const SettingsEntry &entry : entries)
        keys << entry.key;
    keys.sort();
    const QString spelling = storedSpelling(keys, key);
    for (const SettingsEntry &entry : entries) {
        if (entry.key == spelling)
            return entry.text;
    }
    return std::nullopt;
}

// What a plain reading of one line makes of it. Its rules are those of Qt's INI reader for a
// single line: leading blanks are skipped, a line starting with ';' is a comment, a backslash
// takes the next character as it is, quotes hide '=' and ';', and an unquoted ';' ends the line.
// Where a line leaves a quote open or ends in a backslash, Qt's reader runs on into the next
// lines and swallows them into one value: such a line cannot stand on its own.
enum class LineKind {
    Blank,
    Comment,
    Section,
    KeyValue,
    // Damaged lines, in the order a line's damage is named.
    NotText,
    UnclosedQuote,
    JoinedToNext,
    UnclosedSection,
    NoEquals,
};

struct Line {
    int number = 0; // counted from 1, as an editor shows it
    QByteArray text;
    LineKind kind = LineKind::Blank;
    QByteArray name;  // a section's name, or the key of a line with '='
    QByteArray value; // what follows the '=', as it stands
};

bool isDamaged(LineKind kind)
{
    return kind >= LineKind::NotText;
}

Line readLine(int number, QByteArrayView text)
{
    Line line;
    line.number = number;
    line.text = text.toByteArray();
    qsizetype start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    if (start == text.size())
        return line;
    if (text[start] == ';') {
        line.kind = LineKind::Comment;
        return line;
    }
    bool quoted = false;
    bool joined = false;
    qsizetype equals = -1;
    qsizetype end = start;
    for (; end < text.size(); ++end) {
        const char c = text[end];
        if (c == '\\') {
            joined = end + 1 == text.size();
            ++end;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == '=' && !quoted && equals < 0) {
            equals = end;
        } else if (c == ';' && !quoted) {
            break;
        }
    }
    const QByteArrayView read = text.first(std::min(end, text.size())).sliced(start);
    const bool section = read.startsWith('[');
    if (section) {
        const qsizetype close = read.indexOf(']');
        line.name = read.first(close < 0 ? read.size() : close).sliced(1).trimmed().toByteArray();
        line.kind = close < 0 ? LineKind::UnclosedSection : LineKind::Section;
    } else if (equals >= 0) {
        line.name = text.first(equals).sliced(start).trimmed().toByteArray();
        line.value = text.sliced(equals + 1).trimmed().toByteArray();
        line.kind = LineKind::KeyValue;
    } else {
        line.kind = LineKind::NoEquals;
    }
    if (joined)
        line.kind = LineKind::JoinedToNext;
    if (quoted)
        line.kind = LineKind::UnclosedQuote;
    if (text.contains('\0') || !text.isValidUtf8())
        line.kind = LineKind::NotText;
    return line;
}

// The file's lines, split where Qt's reader splits them: at "\r\n", "\n" and "\r".
QList<Line> readLines(QByteArrayView bytes)
{
    QList<Line> lines;
    qsizetype start = 0;
    int number = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        lines.append(readLine(++number, bytes.sliced(start, end - start)));
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
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
    case LineKind::UnclosedSection:
        return shown(line) + QStringLiteral(" opens a section name without closing it with \"]\"");
    default:
        return shown(line) + QStringLiteral(" is neither a [section] nor key=value");
    }
}

// The plain reading of the file's lines.
struct LineReading {
    QList<Line> damaged;        // anywhere in the file
    QList<Line> intact;         // the section's lines key=value that stand on their own
    QList<Line> sectionDamaged; // the section's damaged lines
};

// The section's lines are those under its headers, in the spelling Qt's store would pick among
// the file's section names: the exact one, else the first other spelling in sorted order.
LineReading readSection(QByteArrayView bytes, const QString &section)
{
    const QList<Line> lines = readLines(bytes);
    QStringList names;
    for (const Line &line : lines) {
        const QString name = QString::fromUtf8(line.name);
        if (line.kind == LineKind::Section && name.compare(section, Qt::CaseInsensitive) == 0 &&
            !names.contains(name))
            names << name;
    }
    names.sort();
    const QByteArray chosen = storedSpelling(names, section).toUtf8();

    LineReading reading;
    bool inSection = false;
    for (const Line &line : lines) {
        if (line.kind == LineKind::Section || line.kind == LineKind::UnclosedSection)
            inSection = line.kind == LineKind::Section && line.name == chosen;
        if (isDamaged(line.kind)) {
            reading.damaged << line;
            if (inSection)
                reading.sectionDamaged << line;
        } else if (inSection && line.kind == LineKind::KeyValue) {
            reading.intact << line;
        }
    }
    return reading;
}

// The lines as Qt's reader reads them on their own, one section of nothing else: so a value
// keeps Qt's own escapes, quotes and lists. No value when there is nowhere to put the lines.
std::optional<QList<SettingsEntry>> readOnTheirOwn(const QList<Line> &lines)
{
    if (lines.isEmpty())
        return QList<SettingsEntry>();
    QByteArray text = "[s]\n";
    for (const Line &line : lines)
        text += line.text + '\n';
    QTemporaryFile scratch; // a new name each time: Qt keeps what it read of a file by its name
    if (!scratch.open() || scratch.write(text) != text.size())
        return std::nullopt;
    scratch.close();
    QSettings settings(scratch.fileName(), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("s"));
    return entriesOf(settings);
}

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

// Qt's lock file waits 30 s before it calls a lock stale that names no owner, and a copy killed
// between creating its lock and writing its owner into it leaves just that: an empty lock. A
// live owner fills its lock at once, so one that stays without an owner for a second is stale,
// and is removed the way Qt removes a stale lock (never while its owner still holds it open).
void removeLockWithoutOwner(const QString &lockPath)
{
    constexpr int WatchedMs = 1000;
    constexpr int PollMs = 20;
    QLockFile lock(lockPath);
    qint64 pid = 0;
    QString hostName, appName;
    QElapsedTimer watched;
    watched.start();
    while (QFileInfo::exists(lockPath) && !lock.getLockInfo(&pid, &hostName, &appName)) {
        if (watched.elapsed() >= WatchedMs) {
            lock.removeStaleLockFile();
            return;
        }
        QThread::msleep(PollMs);
    }
}

// The temporary files Qt's atomic save makes beside the file are named <file>.XXXXXX, six random
// letters; one killed between writing and renaming it stays. A name that reads as a person would
// choose one (backup, OLD, Before, 240501) is never taken for one of them.
bool isStrayTemporaryName(const QString &name, const QString &fileName)
{
    static const QRegularExpression random(QStringLiteral("^[A-Za-z0-9]{6}$"));
    static const QRegularExpression chosen(
        QStringLiteral("^([a-z0-9]+|[A-Z0-9]+|[A-Z][a-z0-9]+)$"));
    if (!name.startsWith(fileName + QLatin1Char('.')))
        return false;
    const QString suffix = name.sliced(fileName.size() + 1);
    return random.match(suffix).hasMatch() && !chosen.match(suffix).hasMatch();
}

// Only while holding the lock: a copy saving at the same moment holds it for as long as its own
// temporary file exists.
void removeStrayTemporaryFiles(const QString &path)
{
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(0))
        return; // another copy is saving; a later save tidies up
    const QFileInfo file(path);
    const QFileInfoList entries =
        file.dir().entryInfoList({file.fileName() + QStringLiteral(".??????")},
                                 QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        if (isStrayTemporaryName(entry.fileName(), file.fileName()))
            QFile::remove(entry.absoluteFilePath());
    }
}

// The bytes free beside the file, when fewer than `needed` and a file system block to spare: Qt's
// atomic save commits a file cut short by a full disk as if it were whole, and so would replace
// every stored value with a part of them.
std::optional<qint64> tooLittleRoom(const QString &path, qint64 needed)
{
    constexpr qint64 Headroom = 4096;
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    if (!storage.isValid() || storage.bytesAvailable() >= needed + Headroom)
        return std::nullopt;
    return storage.bytesAvailable();
}

} // namespace

struct SettingsStore::Reading {
    SettingsStatus status = SettingsStatus::Ok;
    QString problem;
    QByteArray bytes;              // the file as it was read, for a copy of a damaged one
    QList<SettingsEntry> readable; // the section's values as the store uses them
    QList<Line> damagedLines;      // the section's damaged lines, for their keys
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
    const QString path = location(appName);
    if (!m_registry) {
        // Qt would open whatever is there, and opening a named pipe waits for a writer forever.
        if (isOtherThanAFile(path)) {
            reading.status = SettingsStatus::Unreadable;
            reading.problem = QStringLiteral("it is %1, not a regular file").arg(kindOf(path));
            return reading;
        }
        QFile file(path);
        if (file.exists()) {
            if (!file.open(QIODevice::ReadOnly)) {
                reading.status = SettingsStatus::Unreadable;
                reading.problem =
                    QStringLiteral("it cannot be opened (%1)").arg(file.errorString());
                return reading;
            }
            reading.bytes = file.readAll();
        }
    }

    const auto settings = open(appName);
    settings->allKeys(); // parses every section, so a malformed line anywhere is found
    const QSettings::Status qtStatus = settings->status();
    if (qtStatus == QSettings::AccessError) {
        reading.status = SettingsStatus::Unreadable;
        reading.problem = QStringLiteral("it cannot be read");
        return reading;
    }
    settings->beginGroup(storedSpelling(settings->childGroups(), section));
    const QList<SettingsEntry> whole = entriesOf(*settings);
    reading.readable = whole;
    if (m_registry || reading.bytes.isEmpty()) {
        if (qtStatus == QSettings::FormatError)
            reading.status = SettingsStatus::Damaged;
        return reading;
    }

    // Qt 6.4's reader calls a byte-order mark a malformed line, but reads every value after it.
    static constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
    const bool marked = reading.bytes.startsWith(ByteOrderMark);
    const LineReading lines = readSection(
        QByteArrayView(reading.bytes).sliced(marked ? sizeof ByteOrderMark - 1 : 0), section);
    reading.damagedLines = lines.sectionDamaged;
    if (!lines.damaged.isEmpty()) {
        reading.problem = describe(lines.damaged.first());
        if (lines.damaged.size() == 2)
            reading.problem += QStringLiteral(" (and 1 more damaged line)");
        else if (lines.damaged.size() > 2)
            reading.problem +=
                QStringLiteral(" (and %1 more damaged lines)").arg(lines.damaged.size() - 1);
    }

    // The intact lines decide their keys' values; Qt's reading of the whole file adds only keys
    // no line of the section names, such as those of a section Qt decodes from escapes.
    const std::optional<QList<SettingsEntry>> own = readOnTheirOwn(lines.intact);
    if (own) {
        reading.readable = *own;
        const auto named = [&lines](const QString &key) {
            for (const QList<Line> *found : {&lines.intact, &lines.sectionDamaged}) {
                for (const Line &line : *found) {
                    if (QString::fromUtf8(line.name).compare(key, Qt::CaseInsensitive) == 0)
                        return true;
                }
            }
            return false;
        };
        for (const SettingsEntry &entry : whole) {
            if (!named(entry.key) && !textIn(*own, entry.key))
                reading.readable.append(entry);
        }
        for (const SettingsEntry &entry : *own) {
            const auto inWhole = std::find_if(
                whole.begin(), whole.end(), [&entry](const auto &e) { return e.key == entry.key; });
            if (inWhole != whole.end() && inWhole->text == entry.text)
                continue;
            if (reading.problem.isEmpty()) {
                reading.problem =
                    QStringLiteral("key %1 is not read as its line holds it").arg(entry.key);
                for (const Line &line : lines.intact) {
                    if (QString::fromUtf8(line.name).compare(entry.key, Qt::CaseInsensitive) == 0)
                        reading.problem = shown(line) + QStringLiteral(" is not read as it stands");
                }
            }
        }
    }
    if (qtStatus == QSettings::FormatError && !marked && reading.problem.isEmpty())
        reading.problem = QStringLiteral("a line is neither a [section] nor key=value");
    if (!reading.problem.isEmpty())
        reading.status = SettingsStatus::Damaged;
    return reading;
}

bool SettingsStore::keepDamagedCopy(const QString &appName, const QByteArray &bytes) const
{
    const QString copy = damagedCopyLocation(appName);
    const auto failed = [this, &copy](const QString &why) {
        m_problem = QStringLiteral("the damaged file could not be copied to \"%1\" (%2), so it "
                                   "was left as it is")
                        .arg(copy, why);
        return false;
    };
    if (isOtherThanAFile(copy))
        return failed(kindOf(copy) + QStringLiteral(" of that name is in the way"));
    // A new copy replaces an earlier one only once it is whole.
    // Unbuffered, as Qt's atomic save commits a file whose buffered end could not be written.
    QSaveFile file(copy);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    // A short write must stop it, or the copy would be committed cut short.
    const qint64 written = file.write(bytes);
    if (written >= 0 && written < bytes.size())
        return failed(
            QStringLiteral("only %1 of its %2 bytes could be written; the disk may be full")
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
    return GetSettings(appName, section, {key}).constFirst().value_or(defaultText);
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
    for (const QString &key : keys) {
        std::optional<QString> text = textIn(reading.readable, key);
        // A key whose only lines are damaged gets the last one's text, so the caller can name it.
        for (auto line = reading.damagedLines.crbegin();
             !text && line != reading.damagedLines.crend(); ++line) {
            if (!line->name.isEmpty() &&
                QString::fromUtf8(line->name).compare(key, Qt::CaseInsensitive) == 0)
                text = QString::fromUtf8(line->value);
        }
        texts << text;
    }
    return texts;
}

bool SettingsStore::SaveSettings(const QString &appName, const QString &section,
                                 const QList<SettingsEntry> &entries) const
{
    const QString path = location(appName);
    const QString lockPath = path + QStringLiteral(".lock");
    m_problem.clear();
    // The file is judged afresh: it may have changed since it was read, and a damaged copy must
    // hold the very bytes that are replaced.
    const Reading current = read(appName, section);
    if (!m_registry) {
        const QString blocked = isOtherThanAFile(path)       ? path
                                : isOtherThanAFile(lockPath) ? lockPath
                                                             : QString();
        if (!blocked.isEmpty()) {
            m_status = SettingsStatus::NotSaved;
            m_problem = QStringLiteral("\"%1\" is %2, not a regular file, so nothing was written")
                            .arg(blocked, kindOf(blocked));
            return false;
        }
        if (current.status == SettingsStatus::Unreadable) {
            // What cannot be read is never replaced: its values would be lost.
            m_status = SettingsStatus::NotSaved;
            m_problem = QStringLiteral("\"%1\" cannot be read, so it was not replaced").arg(path);
            return false;
        }
    }
    const bool damaged = current.status == SettingsStatus::Damaged;
    if (!m_registry) {
        // The new file is at most the old one and the entries, each text escaped at worst
        // twice its length; a damaged file's copy comes first.
        qint64 needed = current.bytes.size() * (damaged ? 2 : 1);
        for (const SettingsEntry &entry : entries)
            needed += entry.key.toUtf8().size() + 2 * entry.text.toUtf8().size() + 4;
        if (const std::optional<qint64> free = tooLittleRoom(path, needed)) {
            m_status = SettingsStatus::NotSaved;
            m_problem = QStringLiteral("only %1 bytes are free on the disk of \"%2\", too few to "
                                       "replace it safely, so it was left as it is")
                            .arg(*free)
                            .arg(path);
            return false;
        }
    }
    if (damaged && !m_registry && !keepDamagedCopy(appName, current.bytes)) {
        m_status = SettingsStatus::NotSaved;
        return false;
    }
    {
        const auto settings = open(appName);
        if (damaged) {
            // The new file keeps only what could be read of this section; nothing of the damaged
            // file is lost, as it stays beside the new one.
            settings->clear();
            settings->beginGroup(section);
            for (const SettingsEntry &entry : current.readable) {
                if (!entry.key.isEmpty()) // a line "=text" names no key
                    settings->setValue(entry.key, entry.text);
            }
        } else {
            settings->beginGroup(storedSpelling(settings->childGroups(), section));
        }
        const QStringList stored = settings->childKeys();
        for (const SettingsEntry &entry : entries) {
            for (const QString &spelling : stored) {
                if (spelling != entry.key && spelling.compare(entry.key, Qt::CaseInsensitive) == 0)
                    settings->remove(spelling);
            }
            settings->setValue(entry.key, entry.text);
        }
        settings->endGroup();
        if (!m_registry)
            removeLockWithoutOwner(lockPath);
        settings->sync(); // the one write of the file
    }
    // A damaged file keeps its read error in the status and hides a failed write, so the save
    // is judged by a fresh look at the store instead.
    const auto check = open(appName);
    check->beginGroup(storedSpelling(check->childGroups(), section));
    bool saved = check->status() == QSettings::NoError;
    const QStringList stored = check->childKeys();
    for (const SettingsEntry &entry : entries)
        saved =
            saved && stored.contains(entry.key) && textOf(check->value(entry.key)) == entry.text;
    m_status = saved ? SettingsStatus::Ok : SettingsStatus::NotSaved;
    if (!saved)
        m_problem = QStringLiteral("\"%1\" could not be written").arg(path);
    else if (!m_registry)
        removeStrayTemporaryFiles(path);
    return saved;
}
