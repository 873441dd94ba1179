#pragma once
// The recipes of the ten sound effects, one function each. Every recipe returns the raw mix;
// levels and edge fades are applied when the file is written.

#include "tools/assetgen/sound_synth.h"

namespace synth {

Signal makePickup();    // sound\get.wav: two quick rising square notes with a sparkle
Signal makeRateChime(); // sound\comp01.wav: a chime struck twice, a fifth apart
Signal makeLevelUp();   // sound\lvup.wav: C major arpeggio climbing an octave and ringing on
Signal makeScratch();   // sound\scratch.wav: a tiny glassy tick for grazing the trail
Signal makeCountBeep(); // sound\count1..3.wav: the steady count-down beep
Signal makeStartBeep(); // sound\count02.wav: the same beep an octave higher and brighter
Signal makeSmallBoom(); // sound\baku03.wav: a short, round explosion
Signal makeBigBoom();   // sound\baku05.wav: the long final explosion with a second blast

} // namespace synth
