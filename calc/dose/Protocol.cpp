#include "calc/dose/Protocol.h"

#include "calc/dose/ControlCharacters.h"
#include "calc/dose/NumberText.h"
#include "calc/files/FileKind.h"
#include "calc/files/SafeWrite.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

constexpr qsizetype LongestName = 100;

// The keys of the file, each written once here.
namespace Key {
const QString Name = QStringLiteral("name");
const QString Target = QStringLiteral("target");
const QString Value = QStringLiteral("value");
const QString Unit = QStringLiteral("unit");
const QString BreathRatio = QStringLiteral("breathRatio");
const QString DrinkingPeriod = QStringLiteral("drinkingPeriodMinutes");
const QString Proof = QStringLiteral("proof");
const QString MixerRatio = QStringLiteral("mixerRatio");
const QString Portions = QStringLiteral("portions");
const QString ReleaseLevel = QStringLiteral("releaseLevel");
const QString Limits = QStringLiteral("limits");
const QString EthanolPerKg = QStringLiteral("ethanolGramsPerKg");
const QString TotalMl = QStringLiteral("totalBeverageMl");
const QString Release = QStringLiteral("release");
const QString ConfirmingReadings = QStringLiteral("confirmingReadings");
const QString MinutesApart = QStringLiteral("minutesApart");
const QString Device = QStringLiteral("device");
const QString ReadingSd = QStringLiteral("readingSd");
const QString Schedule = QStringLiteral("schedule");
const QString ReadingEvery = QStringLiteral("readingEveryMinutes");
const QString DuringDrinking = QStringLiteral("readingsDuringDrinking");
} // namespace Key

// What a number must be to be used.
enum class Range {
    AboveZero,
    NotNegative,
    Proof,
    Ratio,
    Portions,
    Readings,
    MinutesApart,
    ReadingEvery
};

QString rangeText(Range range)
{
    switch (range) {
    case Range::AboveZero:
        return QStringLiteral("a number above 0");
    case Range::NotNegative:
        return QStringLiteral("a number of at least 0");
    case Range::Proof:
        return QStringLiteral("a number above 0 and at most 200");
    case Range::Ratio:
        return QStringLiteral("a number from %1 to %2")
            .arg(SingleToText(BreathRatio::Lowest, QLocale::c()),
                 SingleToText(BreathRatio::Highest, QLocale::c()));
    case Range::Readings:
        return QStringLiteral("a whole number from %1 to %2")
            .arg(ReleaseLimits::MinimumReadings)
            .arg(ReleaseLimits::MaximumReadings);
    case Range::MinutesApart:
        return QStringLiteral("a whole number of minutes from %1 to %2")
            .arg(ReleaseLimits::MinimumMinutesApart)
            .arg(ReleaseLimits::MaximumMinutesApart);
    case Range::ReadingEvery:
        return QStringLiteral("a whole number from %1 to %2")
            .arg(ProtocolSchedule::LeastReadingEveryMinutes)
            .arg(ProtocolSchedule::MostReadingEveryMinutes);
    case Range::Portions:
        break;
    }
    return QStringLiteral("a whole number from %1 to %2")
        .arg(SessionPlanLimits::MinimumPortions)
        .arg(SessionPlanLimits::MaximumPortions);
}

bool inRange(float value, Range range)
{
    switch (range) {
    case Range::AboveZero:
        return value > 0;
    case Range::NotNegative:
        return value >= 0;
    case Range::Proof:
        return value > 0 && value <= 200;
    case Range::Ratio:
        return acceptsBreathRatio(value);
    case Range::Readings:
        return acceptsConfirmingReadings(value);
    case Range::MinutesApart:
        return acceptsMinutesApart(value);
    case Range::ReadingEvery:
        return value >= ProtocolSchedule::LeastReadingEveryMinutes &&
               value <= ProtocolSchedule::MostReadingEveryMinutes && value == std::trunc(value);
    case Range::Portions:
        break;
    }
    return acceptsPortions(value);
}

} // namespace

bool acceptsLimit(float limit)
{
    return inRange(limit, Range::AboveZero);
}

bool acceptsReadingSd(float sd)
{
    return std::isfinite(sd) && inRange(sd, Range::AboveZero);
}

namespace {

// Reads the keys of one object, remembering the first problem, so that a file is either taken
// whole or not at all.
class Reader {
public:
    Reader(const QJsonObject &object, QString path) : m_object(object), m_path(std::move(path)) {}

    // A key the object may not have.
    bool has(const QString &key) const { return m_object.contains(key); }

    float number(const QString &key, Range range)
    {
        const QJsonValue value = m_object.value(key);
        std::optional<float> number;
        if (value.isString()) {
            const QByteArray text = value.toString().toUtf8();
            const SingleFromText read =
                TextToSingle(std::string_view(text.constData(), std::size_t(text.size())));
            if (read.ok() && std::isfinite(read.value))
                number = read.value;
        } else if (value.isDouble() && std::isfinite(float(value.toDouble()))) {
            number = float(value.toDouble());
        }
        if (!number) {
            fail(key, value.isUndefined() ? QStringLiteral("is missing")
                                          : QStringLiteral("is not a number"));
            return 0;
        }
        if (!inRange(*number, range))
            fail(key, QStringLiteral("is %1, not %2")
                          .arg(SingleToText(*number, QLocale::c()), rangeText(range)));
        return *number;
    }

    std::optional<float> optionalNumber(const QString &key, Range range)
    {
        if (!has(key) || m_object.value(key).isNull())
            return std::nullopt;
        return number(key, range);
    }

    // A key that may be left out for `otherwise`; else true or false.
    bool flag(const QString &key, bool otherwise)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined())
            return otherwise;
        if (!value.isBool())
            fail(key, QStringLiteral("is not true or false"));
        return value.toBool(otherwise);
    }

    QString text(const QString &key)
    {
        const QJsonValue value = m_object.value(key);
        if (!value.isString())
            fail(key, value.isUndefined() ? QStringLiteral("is missing")
                                          : QStringLiteral("is not a text"));
        return value.toString();
    }

    QJsonObject object(const QString &key, bool optional)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isObject() || (optional && value.isUndefined()))
            return value.toObject();
        fail(key, value.isUndefined() ? QStringLiteral("is missing")
                                      : QStringLiteral("is not an object {...}"));
        return {};
    }

    // Every key of the object must be one of `known`: a misspelt limit must not be ignored.
    void onlyKeys(const QStringList &known)
    {
        for (const QString &key : m_object.keys()) {
            if (!known.contains(key))
                fail(key, QStringLiteral("is not a key of a protocol; the keys are %1")
                              .arg(known.join(QStringLiteral(", "))));
        }
    }

    // The key's full name, for messages: "limits.totalBeverageMl".
    QString path(const QString &key) const
    {
        return m_path.isEmpty() ? key : m_path + QLatin1Char('.') + key;
    }

    void fail(const QString &key, const QString &what)
    {
        if (m_error && m_error->isEmpty())
            *m_error =
                QStringLiteral("the key \"%1\" %2").arg(escapedControlCharacters(path(key)), what);
    }

    void reportTo(QString &error) { m_error = &error; }

private:
    QJsonObject m_object;
    QString m_path;
    QString *m_error = nullptr;
};

// The first key given twice in one object of the JSON text `bytes`, as "limits.target"; empty
// when there is none. `bytes` must be JSON that QJsonDocument reads, which keeps only the last
// of such keys, so the text itself is scanned: each object's keys, in its own scope.
QString firstKeyGivenTwice(const QByteArray &bytes)
{
    struct Scope {
        bool object = false;
        bool keyNext = false; // the next text of an object is a key
        QString path;         // of the value the scope is, as messages name keys
        QStringList keys;
    };
    QList<Scope> scopes;
    const auto childPath = [&scopes]() -> QString {
        if (scopes.isEmpty())
            return {};
        const Scope &parent = scopes.constLast();
        if (!parent.object || parent.keys.isEmpty())
            return parent.path;
        return parent.path.isEmpty() ? parent.keys.constLast()
                                     : parent.path + QLatin1Char('.') + parent.keys.constLast();
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '"') {
            qsizetype end = i + 1;
            while (end < bytes.size() && bytes[end] != '"')
                end += bytes[end] == '\\' ? 2 : 1;
            if (!scopes.isEmpty() && scopes.constLast().object && scopes.constLast().keyNext) {
                // The key as the JSON reader decodes it, escapes and all.
                const QString key = QJsonDocument::fromJson('[' + bytes.mid(i, end + 1 - i) + ']')
                                        .array()
                                        .first()
                                        .toString();
                Scope &scope = scopes.last();
                if (scope.keys.contains(key))
                    return scope.path.isEmpty() ? key : scope.path + QLatin1Char('.') + key;
                scope.keys << key;
                scope.keyNext = false;
            }
            i = end;
        } else if (c == '{' || c == '[') {
            scopes.append({c == '{', c == '{', childPath(), {}});
        } else if ((c == '}' || c == ']') && !scopes.isEmpty()) {
            scopes.removeLast();
        } else if (c == ',' && !scopes.isEmpty() && scopes.constLast().object) {
            scopes.last().keyNext = true;
        }
    }
    return {};
}

QString numberText(float value)
{
    char buffer[32];
    const std::string_view text = ExactSingleToText(value, buffer);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

std::optional<float> Protocol::parameter(DoseValue value) const
{
    switch (value) {
    case DoseValue::BAL:
        return target;
    case DoseValue::DD:
        return drinkingPeriod;
    case DoseValue::Proof:
        return proof;
    case DoseValue::Ratio:
        return mixerRatio;
    default:
        return std::nullopt;
    }
}

ProtocolReading readProtocol(const QByteArray &bytes)
{
    ProtocolReading reading;
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError) {
        reading.error = QStringLiteral("it is not a JSON file: %1 at byte %2")
                            .arg(parse.errorString())
                            .arg(parse.offset + 1);
        return reading;
    }
    if (!document.isObject()) {
        reading.error = QStringLiteral("it holds no JSON object {...}");
        return reading;
    }
    if (const QString twice = firstKeyGivenTwice(bytes); !twice.isEmpty()) {
        reading.error =
            QStringLiteral("the key \"%1\" is given twice").arg(escapedControlCharacters(twice));
        return reading;
    }

    QString error;
    Protocol protocol;
    Reader top(document.object(), {});
    top.reportTo(error);
    top.onlyKeys({Key::Name, Key::Target, Key::DrinkingPeriod, Key::Proof, Key::MixerRatio,
                  Key::Portions, Key::ReleaseLevel, Key::Limits, Key::Device, Key::Schedule,
                  Key::Release});
    protocol.name = top.text(Key::Name).trimmed();
    if (error.isEmpty() && (protocol.name.isEmpty() || protocol.name.size() > LongestName))
        top.fail(Key::Name, QStringLiteral("must hold 1 to %1 characters").arg(LongestName));
    else if (error.isEmpty() && holdsControlCharacter(protocol.name))
        top.fail(Key::Name, QStringLiteral("holds a control character (\"%1\"): a name is one line "
                                           "of text, without tabs or other control characters, "
                                           "so that every record dosed under it stays readable")
                                .arg(escapedControlCharacters(protocol.name)));

    Reader target(top.object(Key::Target, false), top.path(Key::Target));
    target.reportTo(error);
    target.onlyKeys({Key::Value, Key::Unit, Key::BreathRatio});
    const QString unit = target.text(Key::Unit);
    const QByteArray unitText = unit.toUtf8();
    const std::optional<LevelUnit> level =
        levelUnitFromText(std::string_view(unitText.constData(), std::size_t(unitText.size())));
    if (!level)
        target.fail(
            Key::Unit,
            QStringLiteral("is \"%1\", not a unit of levels").arg(escapedControlCharacters(unit)));
    protocol.level.unit = level.value_or(LevelUnit::GramsPer100Ml);
    protocol.level.breathRatio = target.has(Key::BreathRatio)
                                     ? target.number(Key::BreathRatio, Range::Ratio)
                                     : BreathRatio::Default;
    protocol.target = target.number(Key::Value, Range::AboveZero);

    protocol.drinkingPeriod = top.number(Key::DrinkingPeriod, Range::NotNegative);
    protocol.proof = top.number(Key::Proof, Range::Proof);
    protocol.mixerRatio = top.number(Key::MixerRatio, Range::NotNegative);
    // Converted only when in range: a float beyond int's range has no int.
    const float portions = top.number(Key::Portions, Range::Portions);
    protocol.portions = acceptsPortions(portions) ? int(portions) : 0;
    protocol.releaseLevel = top.number(Key::ReleaseLevel, Range::AboveZero);

    Reader limits(top.object(Key::Limits, true), top.path(Key::Limits));
    limits.reportTo(error);
    limits.onlyKeys({Key::EthanolPerKg, Key::TotalMl, Key::Target});
    protocol.limits.ethanolPerKg = limits.optionalNumber(Key::EthanolPerKg, Range::AboveZero);
    protocol.limits.totalMl = limits.optionalNumber(Key::TotalMl, Range::AboveZero);
    protocol.limits.target = limits.optionalNumber(Key::Target, Range::AboveZero);

    Reader device(top.object(Key::Device, true), top.path(Key::Device));
    device.reportTo(error);
    device.onlyKeys({Key::ReadingSd});
    protocol.readingSd = device.optionalNumber(Key::ReadingSd, Range::AboveZero);
    Reader schedule(top.object(Key::Schedule, true), top.path(Key::Schedule));
    schedule.reportTo(error);
    schedule.onlyKeys({Key::ReadingEvery, Key::DuringDrinking});
    if (const std::optional<float> every =
            schedule.optionalNumber(Key::ReadingEvery, Range::ReadingEvery);
        every && error.isEmpty())
        protocol.schedule.readingEveryMinutes = int(*every);
    protocol.schedule.readingsDuringDrinking =
        schedule.flag(Key::DuringDrinking, ProtocolSchedule{}.readingsDuringDrinking);

    Reader release(top.object(Key::Release, true), top.path(Key::Release));
    release.reportTo(error);
    release.onlyKeys({Key::ConfirmingReadings, Key::MinutesApart});
    // Converted only when in range, as the portions are.
    const auto whole = [&release](const QString &key, Range range, int otherwise) {
        const std::optional<float> value = release.optionalNumber(key, range);
        return value && inRange(*value, range) ? int(*value) : otherwise;
    };
    protocol.release.confirmingReadings =
        whole(Key::ConfirmingReadings, Range::Readings, ReleaseRule{}.confirmingReadings);
    protocol.release.minutesApart =
        whole(Key::MinutesApart, Range::MinutesApart, ReleaseRule{}.minutesApart);

    if (error.isEmpty())
        reading.protocol = protocol;
    reading.error = error;
    return reading;
}

QByteArray writeProtocol(const Protocol &protocol)
{
    QJsonObject limits;
    const auto putLimit = [&limits](const QString &key, const std::optional<float> &limit) {
        if (limit)
            limits.insert(key, numberText(*limit));
    };
    putLimit(Key::EthanolPerKg, protocol.limits.ethanolPerKg);
    putLimit(Key::TotalMl, protocol.limits.totalMl);
    putLimit(Key::Target, protocol.limits.target);
    // The ratio is written for blood units too: a file that gives one must read back the same.
    const QJsonObject target{{Key::Value, numberText(protocol.target)},
                             {Key::Unit, QString::fromUtf8(protocol.level.info().option)},
                             {Key::BreathRatio, numberText(protocol.level.breathRatio)}};
    QJsonObject object{{Key::Name, protocol.name},
                       {Key::Target, target},
                       {Key::DrinkingPeriod, numberText(protocol.drinkingPeriod)},
                       {Key::Proof, numberText(protocol.proof)},
                       {Key::MixerRatio, numberText(protocol.mixerRatio)},
                       {Key::Portions, numberText(float(protocol.portions))},
                       {Key::ReleaseLevel, numberText(protocol.releaseLevel)}};
    if (!limits.isEmpty())
        object.insert(Key::Limits, limits);
    if (protocol.readingSd)
        object.insert(Key::Device, QJsonObject{{Key::ReadingSd, numberText(*protocol.readingSd)}});
    // Written only when it is not the default, so that a file without one reads back the same.
    if (protocol.schedule != ProtocolSchedule{})
        object.insert(Key::Schedule,
                      QJsonObject{{Key::ReadingEvery,
                                   numberText(float(protocol.schedule.readingEveryMinutes))},
                                  {Key::DuringDrinking, protocol.schedule.readingsDuringDrinking}});
    // Written only when it asks for more than the one reading a protocol without it asks for, so
    // that such a protocol's file stays as it was.
    if (protocol.release != ReleaseRule{})
        object.insert(
            Key::Release,
            QJsonObject{
                {Key::ConfirmingReadings, numberText(float(protocol.release.confirmingReadings))},
                {Key::MinutesApart, numberText(float(protocol.release.minutesApart))}});
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

ProtocolReading readProtocolFile(const QString &path)
{
    // Opening a named pipe would wait for a writer for ever.
    const QString other = otherThanAFile(path);
    if (!other.isEmpty())
        return {std::nullopt, QStringLiteral("it is %1, not a file").arg(other)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, file.errorString()};
    constexpr qint64 LargestFile = 1 << 20; // a protocol is a few hundred bytes
    const QByteArray bytes = file.read(LargestFile + 1);
    if (bytes.size() > LargestFile)
        return {std::nullopt, QStringLiteral("it is larger than a protocol can be")};
    ProtocolReading reading = readProtocol(bytes);
    reading.sha256 = protocolSha256(bytes);
    return reading;
}

QString writeProtocolFile(const QString &path, const Protocol &protocol)
{
    return SafeWrite::write(path, writeProtocol(protocol));
}

QByteArray protocolSha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}
