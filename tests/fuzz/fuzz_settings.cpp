// A whole stored-settings file of arbitrary bytes, loaded as the main window loads it at start
// and then saved and loaded again as at the next start. The last byte, part of the file too,
// picks the user's regional format.
//
// Checked, with abort() on any breach:
// - Every key gets a value: its stored number where the text reads as one its key accepts,
//   otherwise its default, listed among the unreadable keys; never an infinity or NaN.
// - There is a message starting "ERROR: " exactly when something was damaged or unreadable.
// - The save that follows reaches the store, keeps a copy of a damaged file, and the next load
//   finds a clean file holding the values saved: each the float its written text stands for
//   (seven significant digits), to the bit.

#include "calc/NumberText.h"
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
