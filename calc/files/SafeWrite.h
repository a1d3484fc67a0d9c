#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>

// The one way Pourwise replaces a file it keeps (the settings, a session record, a protocol): a
// save is proved by what is on the disk, never by the system's word alone, which a full disk can
// give for a file cut short. So a save
// 1. checks that the disk has room for the new file;
// 2. writes a temporary file beside the target, named <target>.<6 random letters>, and flushes it
//    to the disk;
// 3. reads it back and compares it byte for byte, and checks what it holds where the caller knows
//    more of it (a session record is read back as a record);
// 4. renames it over the target in one step.
// Every step on the disk goes through DurableFile::current().
// If any step fails, the target stays exactly as it was and the temporary file is removed; the
// reason is the system's ("No space left on device"). A temporary file of ours left beside the
// target by a save that was cut short (the program killed, the power lost) is removed by a later
// save.
namespace SafeWrite {

// What a save checks of the bytes read back from the disk beyond their being the bytes given:
// empty when they hold what they should, else why not.
using ReadBackCheck = std::function<QString(const QByteArray &readBack)>;

// Writes `bytes` as the file `path` (a link is followed to its file), checked by `check` as read
// back. Empty when saved; else why not, in the system's words where the system gave the reason.
[[nodiscard]] QString write(const QString &path, const QByteArray &bytes,
                            const ReadBackCheck &check = {});

// Whether `name` is one of the temporary files of a save of `fileName`: the file's name, ".", and
// six random letters. A name a person would choose (backup, OLD, Before) is never taken for one.
bool isTemporaryName(const QString &name, const QString &fileName);

// Removes the temporary files of saves of `path` last changed at least `minimumAgeSeconds` ago.
// Only a caller that knows no other save of the file is under way may pass 0: write() leaves those
// of the last minute, which may belong to a save still going on.
void removeTemporaries(const QString &path, int minimumAgeSeconds);

} // namespace SafeWrite
