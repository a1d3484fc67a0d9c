// A whole stored-settings file of arbitrary bytes, loaded as the main window loads it at start
// and then saved and loaded again as at the next start. The last byte, part of the file too,
// picks the user's regional format.
//
// Checked, with abort() on any breach:
// - Every key gets a value: its stored number where the text reads as one its key accepts,
//   otherwise its default, listed among the unreadable keys; never an infinity or NaN.
// - A key that stands on one line of [Settings] alone, that line intact as the store's own line
//   reading judges it (settings/SettingsLines.h) and its text one the key accepts, loads as that
//   text, whatever the lines around it. Files with '%' are left out of this: Qt decodes '%'
//   escapes in keys and section names, so "B%41L" is a second line of BAL.
// - There is a message starting "ERROR: " exactly when something was damaged or unreadable.
// - The save that follows reaches the store, keeps a copy of a damaged file, and the next load
//   finds a clean file holding the values saved: each the float its written text stands for
//   (seven significant digits), to the bit.

#include "calc/dose/NumberText.h"
#include "settings/SettingsLines.h"
#include "settings/SettingsStore.h"
#include "settings/StoredSettings.h"
#include "tests/fuzz/FuzzRequire.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

using StoredSettings::MainWindowChoices;
using StoredSettings::MainWindowKeys;

const char *const Locales[] = {"C", "de_DE", "sv_SE", "en_US"};

bool sameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// The line of `lines` naming `key` in any letter case when it is the only one and it is intact;
// null otherwise.
const SettingsLines::Line *onlyLineOf(const SettingsLines::LineReading &lines, const char *key)
{
    const SettingsLines::Line *found = nullptr;
    int count = 0;
    for (const QList<SettingsLines::Line> *each : {&lines.intact, &lines.damagedInSection}) {
        for (const SettingsLines::Line &line : *each) {
            if (QString::fromUtf8(line.name).compare(QLatin1String(key), Qt::CaseInsensitive) ==
                0) {
                found = &line;
                ++count;
            }
        }
    }
    return count == 1 && !SettingsLines::isDamaged(found->kind) ? found : nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_settings";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);

    QLocale::setDefault(QLocale(QLatin1String(Locales[size ? data[size - 1] % 4 : 0])));
    // A folder of its own for every input: Qt reads a file once per process and path.
    QTemporaryDir folder;
    FUZZ_REQUIRE(folder.isValid());
    const SettingsStore store(folder.path());
    const QString file = store.location(QStringLiteral("Pourwise"));
    FUZZ_REQUIRE(QDir().mkpath(QFileInfo(file).absolutePath()));
    {
        QFile ini(file);
        FUZZ_REQUIRE(ini.open(QIODevice::WriteOnly));
        FUZZ_REQUIRE(ini.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }

    const StoredSettings::Loaded first = StoredSettings::load(store);
    for (const StoredSettings::NumberKey &key : MainWindowKeys)
        FUZZ_REQUIRE(std::isfinite(first.values.number(key.readName)));
    for (const StoredSettings::Unreadable &key : first.unreadable) {
        bool known = false;
        for (const StoredSettings::NumberKey &each : MainWindowKeys) {
            if (key.key == QLatin1String(each.readName)) {
                known = true;
                FUZZ_REQUIRE(sameBits(first.values.number(each.readName), key.defaultValue));
            }
        }
        FUZZ_REQUIRE(known);
    }
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!bytes.contains('%')) {
        const SettingsLines::LineReading lines =
            SettingsLines::readLines(bytes, QLatin1String(StoredSettings::Section));
        for (const StoredSettings::NumberKey &key : MainWindowKeys) {
            const SettingsLines::Line *line = onlyLineOf(lines, key.readName);
            const std::optional<float> number =
                line ? StoredSettings::numberFromText(QString::fromUtf8(line->value))
                     : std::nullopt;
            if (number && (!key.accepts || key.accepts(*number)))
                FUZZ_REQUIRE(sameBits(first.values.number(key.readName), *number));
        }
        for (const StoredSettings::ChoiceKey &key : MainWindowChoices) {
            const SettingsLines::Line *line = onlyLineOf(lines, key.name);
            for (std::size_t i = 0; line && i < key.words.size(); ++i) {
                if (QString::fromUtf8(line->value)
                        .compare(QLatin1String(key.words[i]), Qt::CaseInsensitive) == 0)
                    FUZZ_REQUIRE(first.values.choice(key.name) == int(i));
            }
        }
    }
    const bool troubled = first.status != SettingsStatus::Ok || !first.unreadable.isEmpty();
    const QString message = first.problemMessage();
    FUZZ_REQUIRE(message.isEmpty() != troubled);
    FUZZ_REQUIRE(message.isEmpty() || message.startsWith(QLatin1String("ERROR: ")));

    FUZZ_REQUIRE(StoredSettings::save(store, first.values));
    FUZZ_REQUIRE(QFile::exists(store.damagedCopyLocation(QStringLiteral("Pourwise"))) ==
                 (first.status == SettingsStatus::Damaged));

    const StoredSettings::Loaded second = StoredSettings::load(store);
    FUZZ_REQUIRE(second.status == SettingsStatus::Ok);
    FUZZ_REQUIRE(second.unreadable.isEmpty());
    for (const StoredSettings::NumberKey &key : MainWindowKeys) {
        const std::optional<float> written =
            StoredSettings::numberFromText(SingleToText(first.values.number(key.readName)));
        FUZZ_REQUIRE(written && sameBits(second.values.number(key.readName), *written));
    }
    for (const StoredSettings::ChoiceKey &key : MainWindowChoices)
        FUZZ_REQUIRE(second.values.choice(key.name) == first.values.choice(key.name));
    return 0;
}
