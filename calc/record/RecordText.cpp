#include "calc/record/RecordText.h"

#include "calc/dose/DosingState.h"
#include "calc/session/SessionRecord.h"

namespace {

const QString StartFormat = QStringLiteral("yyyy-MM-dd'T'HH:mm");
const QString EnteredAtFormat = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'");

// `text` read with `format` only when writing the time again gives the very same text: no
// blanks, no missing zeros, no 24:00. The date and the time are read apart and only then placed
// in `spec`: read whole, the text would be taken as local time first, and a time in the hour the
// computer's clock skips for summer time would not be read at all, though in UTC it exists.
std::optional<QDateTime> timeFrom(QByteArrayView text, const QString &format, Qt::TimeSpec spec)
{
    const QString written = QString::fromLatin1(text);
    const QString dateFormat = format.section(QStringLiteral("'T'"), 0, 0);
    const QString timeFormat = format.section(QStringLiteral("'T'"), 1);
    const qsizetype dateLength = dateFormat.size();
    if (written.size() <= dateLength || written[dateLength] != QLatin1Char('T'))
        return std::nullopt;
    const QDate date = QDate::fromString(written.left(dateLength), dateFormat);
    const QTime time = QTime::fromString(written.mid(dateLength + 1), timeFormat);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    const QDateTime moment(date, time, spec);
    if (!moment.isValid() || moment.toString(format) != written)
        return std::nullopt;
    return moment;
}

// The number the `count` digits at `text[at]` write; -1 when one of them is no digit.
int digitsAt(QByteArrayView text, qsizetype at, qsizetype count)
{
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

void putDigits(char *text, int value, int count)
{
    for (int i = count - 1; i >= 0; --i, value /= 10)
        text[i] = char('0' + value % 10);
}

} // namespace

QByteArray RecordText::startText(const QDateTime &start)
{
    return start.isValid() ? start.toString(StartFormat).toLatin1() : QByteArray();
}

std::optional<QDateTime> RecordText::startFrom(QByteArrayView text)
{
    return timeFrom(text, StartFormat, Qt::LocalTime);
}

// Every entry has its time of entry: written and read digit by digit, as a record of many
// thousands of entries is saved after each of them.
QByteArray RecordText::enteredAtText(const QDateTime &enteredAt)
{
    if (!enteredAt.isValid())
        return {};
    const QDateTime utc = enteredAt.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    if (date.year() < 0 || date.year() > 9999)
        return utc.toString(EnteredAtFormat).toLatin1();
    QByteArray text("0000-00-00T00:00:00Z");
    putDigits(text.data(), date.year(), 4);
    putDigits(text.data() + 5, date.month(), 2);
    putDigits(text.data() + 8, date.day(), 2);
    putDigits(text.data() + 11, time.hour(), 2);
    putDigits(text.data() + 14, time.minute(), 2);
    putDigits(text.data() + 17, time.second(), 2);
    return text;
}

std::optional<QDateTime> RecordText::enteredAtFrom(QByteArrayView text)
{
    // yyyy-mm-ddThh:mm:ssZ, each field of its digits: a date and a time that exist, no blanks.
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z')
        return std::nullopt;
    const QDate date(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    const int hour = digitsAt(text, 11, 2);
    const int minute = digitsAt(text, 14, 2);
    const int second = digitsAt(text, 17, 2);
    if (!date.isValid() || date.year() < 1 || !QTime::isValid(hour, minute, second, 0))
        return std::nullopt;
    return QDateTime(date, QTime(hour, minute, second), Qt::UTC);
}

QByteArray RecordText::genderText(std::int16_t gender, int version)
{
    const bool first = version == RecordVersion::First;
    if (gender == Gender::Male)
        return first ? "1" : "m";
    if (gender == Gender::Female)
        return first ? "0" : "f";
    return QByteArray::number(gender);
}

std::optional<std::int16_t> RecordText::genderFrom(QByteArrayView text, int version)
{
    for (const std::int16_t gender : {Gender::Male, Gender::Female}) {
        if (text == genderText(gender, version))
            return gender;
    }
    return std::nullopt;
}
