#pragma once

#include "MediaProbe.h"
#include "Translator.h"

// What a classic or today's line gets for the source at hand, known only once it is probed.
namespace SourceFit {

// Sound shorter than one frame of its encoder would come out as a file without sound: it is
// padded with silence to the longest frame of the encoders the presets use. Not where the
// arguments filter the sound themselves or copy it.
void padShortSound(Translation &translation, const MediaProbe &source);
// A cover picture is a still, not the video a classic preset converts: a source whose only
// pictures are covers gives sound alone.
void leaveOutCovers(Translation &translation, const MediaProbe &source);

}
