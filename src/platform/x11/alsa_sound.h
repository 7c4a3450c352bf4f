// The native firing sound: wave files played in-process through ALSA. Each
// file is read and parsed once; a new sound cuts off the one playing, and the
// call returns at once, the playing being done by a thread of its own.
#pragma once

#include "platform/x11/wave.h"

namespace alsa {
// Plays the file on the default device. A bad file, or no device, plays
// nothing and says nothing.
void play(const char* fileName);
// Waits until the sound playing has ended.
void waitIdle();
}  // namespace alsa
