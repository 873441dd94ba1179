#pragma once
// Checks of the sound and music files before they reach the decoder. SDL_mixer accepts far
// more than it should: a MIDI file renamed to .wav is rendered as music for half a minute,
// and an empty or truncated file "loads" as silent music. So the audio back end reads a file
// itself, caps its size and looks at its structure, and hands the decoder only what passes.

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kMaxWavBytes = size_t(16) << 20;
constexpr size_t kMaxMidiBytes = size_t(1) << 20;
// A piece of music rendered to Ogg Vorbis for the browser: a few minutes at a modest bitrate.
constexpr size_t kMaxOggBytes = size_t(16) << 20;
// What a WAV may grow to once converted to 44.1 kHz 16-bit stereo.
constexpr uint64_t kMaxDecodedWavBytes = uint64_t(64) << 20;

// Reads a regular file of at most maxBytes. False for anything else (missing, a directory, a
// device, too large, unreadable).
bool readAudioFile(const char* path, size_t maxBytes, std::vector<uint8_t>& out);

// A RIFF/WAVE file with a "fmt " chunk of a format SDL decodes, sane channel count and rate, a
// "data" chunk that lies wholly inside the file, and a bounded decoded size.
bool isPlayableWav(const std::vector<uint8_t>& bytes);

// A standard MIDI file: an "MThd" header of format 0..2 with at least one track, every
// announced "MTrk" chunk present and wholly inside the file.
bool isPlayableMidi(const std::vector<uint8_t>& bytes);

// An Ogg Vorbis file: pages that follow one another up to the very end of the file (none cut
// short), the first flagged as the stream's beginning and carrying a Vorbis identification
// header with a sane channel count and sample rate.
bool isPlayableOgg(const std::vector<uint8_t>& bytes);
