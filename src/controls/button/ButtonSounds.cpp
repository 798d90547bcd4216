#include "controls/button/ButtonSounds.h"

#include "common/ReplaceableHandler.h"
#include "common/RuntimeError.h"
#include "controls/button/SoundFiles.h"

#include <limits>
#include <utility>

namespace ButtonSounds {

namespace {

struct PlayerTag;
using PlayerService = ReplaceableHandler<PlayerTag, void(const QString &fileName)>;

void playFile(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    if (const Player player = PlayerService::current())
        player(fileName);
    else
        PlaySoundFile(fileName);
}

} // namespace

QString builtInFileName(const QString &tempFolder, const QString &Word)
{
    const QString folder = privateSoundFolder(tempFolder);
    return folder.isEmpty() ? QString() : folder + QLatin1String("/sound") + Word + QLatin1String(".wav");
}

void play(int32_t Number, const QString &Word, const Sources &sources)
{
    switch (Number) {
    case Silence:
        return;
    case CustomFile1:
        playFile(sources.soundCustom1);
        return;
    case CustomFile2:
        playFile(sources.soundCustom2);
        return;
    default:
        break;
    }
    // Resource identifiers are 16-bit: a number whose identifier does not fit has no sound.
    const int64_t resource = int64_t(Number) + ResourceOffset;
    if (resource < std::numeric_limits<int16_t>::min() || resource > std::numeric_limits<int16_t>::max())
        return;
    const QString fileName = builtInFileName(sources.tempFolder, Word);
    if (fileName.isEmpty())
        return;
    try {
        SaveResourceToFile(static_cast<int16_t>(resource), fileName);
    } catch (const RuntimeError &) {
        // No such built-in sound, or the temporary folder is not writable: silence.
        return;
    }
    playFile(fileName);
}

void setPlayer(Player replacement)
{
    PlayerService::install(std::move(replacement));
}

} // namespace ButtonSounds
