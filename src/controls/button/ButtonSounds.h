#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// The sound numbers of a TavloClick (SoundClick, SoundDown, SoundUp, SoundIn, SoundOut):
// 0 is silence, 98 plays the file SoundCustom1, 99 the file SoundCustom2, and any other N the
// built-in sound N, the resource "CUSTOM" N + 100 written out as "sound<Word>.wav" into a
// folder of this user's beside the temporary folder, and played from there. Playback is
// asynchronous; every failure is silence.
namespace ButtonSounds {

inline constexpr int32_t Silence = 0;
inline constexpr int32_t CustomFile1 = 98;
inline constexpr int32_t CustomFile2 = 99;
// Built-in sound N is the resource N + ResourceOffset.
inline constexpr int32_t ResourceOffset = 100;

// Where a sound number finds its files.
struct Sources {
    QString soundCustom1;
    QString soundCustom2;
    QString tempFolder;
};

// Plays the sound of Number for the event Word ("Click", "Down", "Up", "In", "Out").
void play(int32_t Number, const QString &Word, const Sources &sources);

// The file built-in sounds of Word are written to: "sound" + Word + ".wav" in the folder that
// privateSoundFolder(tempFolder) gives, so that no other user can plant a file or link there.
// Empty when there is no such folder.
QString builtInFileName(const QString &tempFolder, const QString &Word);

// What plays a file; PlaySoundFile unless replaced (tests record instead). An empty function
// restores PlaySoundFile.
using Player = std::function<void(const QString &fileName)>;
void setPlayer(Player player);

} // namespace ButtonSounds
