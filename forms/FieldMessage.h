#pragma once

#include "calc/NumberText.h"

#include <QLocale>
#include <QString>

// The operator's message for a field whose text is not a number this program can read, naming
// the field by its caption ("Alcohol Proof") and quoting what was typed.
inline QString conversionMessage(const QString &fieldName, const QString &typed,
                                 NumberTextError error)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return QStringLiteral("ERROR: %1 is empty. Please enter a number.").arg(fieldName);
    if (error == NumberTextError::OutOfRange)
        return QStringLiteral("ERROR: %1 \"%2\" is too large: it is beyond the largest number "
                              "this program can hold.")
            .arg(fieldName, text);
    return QStringLiteral("ERROR: %1 \"%2\" is not a number. Type digits with \"%3\" as the "
                          "decimal separator and no thousands separators.")
        .arg(fieldName, text, QLocale().decimalPoint());
}
