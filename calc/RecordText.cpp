#include "calc/RecordText.h"

#include "calc/DosingState.h"
#include "calc/SessionRecord.h"

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

} // namespace

QByteArray RecordText::startText(const QDateTime &start)
{
    return start.isValid() ? start.toString(StartFormat).toLatin1() : QByteArray();
}

std::optional<QDateTime> RecordText::startFrom(QByteArrayView text)
{
    return timeFrom(text, StartFormat, Qt::LocalTime);
}

QByteArray RecordText::enteredAtText(const QDateTime &enteredAt)
{
    return enteredAt.isValid() ? enteredAt.toUTC().toString(EnteredAtFormat).toLatin1()
                               : QByteArray();
}

std::optional<QDateTime> RecordText::enteredAtFrom(QByteArrayView text)
{
    return timeFrom(text, EnteredAtFormat, Qt::UTC);
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
