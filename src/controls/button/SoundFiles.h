#pragma once

#include <QString>

#include <cstdint>

// The button's sounds: embedded resources written out to files, and asynchronous playback.

// Writes the Qt resource ":/CUSTOM/<resourceId>" (the resource of type "CUSTOM" with that
// identifier, e.g. ":/CUSTOM/101") to the file, from its start. An existing file is not
// truncated first: a longer old file keeps its tail. A link at that name is not followed. A
// missing resource, or a file that cannot be opened (a link included) or written, throws
// RuntimeError (326 and 75).
void SaveResourceToFile(int16_t resourceId, const QString &fileName);

// A folder only this user may enter, for the sounds written out: $XDG_RUNTIME_DIR/vidomar when
// that variable is set (made with mode 0700 when missing, and used only when it is a folder of
// this user closed to others), else a folder made with mkdtemp (mode 0700) in tempFolder, once
// per process and removed when the process ends. Empty when neither can be had.
QString privateSoundFolder(const QString &tempFolder);

// Starts playing a wave file and returns at once; a new sound replaces the one playing. One
// player serves the whole process. A missing or unplayable file, or no audio device, is silent.
void PlaySoundFile(const QString &fileName);
