// Usage: settings_writer FOLDER NAME ROUNDS SIZE
// Saves the eight main-window keys ROUNDS times (0: until killed) in the store rooted at FOLDER,
// all eight in each save. Each value reads "NAME-round:" followed by SIZE x's and ":end", so a
// reader can tell a whole value from a cut one and the saves apart. Exits 0 when every save
// reached the store.

#include "appinfo/AppInfo.h"
#include "settings/SettingsStore.h"
#include "settings/StoredSettings.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    const SettingsStore store(args[1]);
    const QString name = args[2];
    const int rounds = args[3].toInt();
    const QString filler(args[4].toInt(), QLatin1Char('x'));
    bool allSaved = true;
    for (int round = 1; rounds == 0 || round <= rounds; ++round) {
        const QString text = QStringLiteral("%1-%2:%3:end").arg(name).arg(round).arg(filler);
        QList<SettingsEntry> entries;
        for (const StoredSettings::NumberKey &key : StoredSettings::MainWindowKeys)
            entries.append({QLatin1String(key.writtenName), text});
        allSaved = StoredSettings::save(store, entries) && allSaved;
    }
    return allSaved ? 0 : 1;
}
