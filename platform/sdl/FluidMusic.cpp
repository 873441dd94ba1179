// MIDI music rendered by one FluidSynth synthesiser of our own, fed to SDL_mixer through its
// music hook while the sound effects keep SDL_mixer's channel.
//
// SDL_mixer's own MIDI player builds a new synthesiser and loads every sample of the
// soundfont (about 150 MB for FluidR3_GM) at each Mix_LoadMUS, and gives no way to change
// that. Our synthesiser is made once, with dynamic sample loading: a piece costs only the
// instruments it selects, a few megabytes, and is ready in tens of milliseconds. Each piece
// gets a new fluid_player on the same synthesiser.

#include "audio/AudioFiles.h"
#include "platform/sdl/MusicBackend.h"
#include "platform/sdl/SoundFonts.h"

#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// FluidSynth's own default is 0.2, at which the loudest of our pieces, the main theme, peaks
// at 13213 (-7.9 dBFS). SDL_mixer adds a sound effect on top of the music and saturates the
// sum, and the loudest effects heard during the theme (pick-ups, rate chime, level-up) peak
// at 23197 (-3 dBFS). At 0.13 the theme peaks near 8600, so even an effect's peak falling on
// the theme's stays below full scale; the explosions (28539 at most) come with the game-over
// piece, whose first seconds peak near 3300 at this gain.
constexpr double kGain = 0.13;

// Frames rendered at a time; also what is rendered ahead on the worker before a piece is
// handed to the audio thread.
constexpr int32_t kBlockFrames = 1024;

class FluidMusic : public MusicBackend {
  public:
    FluidMusic(const std::atomic<uint64_t>& wanted, std::vector<std::string> soundFonts)
        : wanted_(wanted), soundFonts_(std::move(soundFonts)) {
        bytes_.reserve(kMaxMidiBytes);
    }
    ~FluidMusic() override;
    FluidMusic(const FluidMusic&) = delete;
    FluidMusic& operator=(const FluidMusic&) = delete;

    bool open() override;
    bool load(const std::string& file) override;
    void play(uint64_t generation) override;
    void release() override;

  private:
    static void mixHook(void* self, Uint8* stream, int len) {
        static_cast<FluidMusic*>(self)->mix(stream, len);
    }
    void mix(uint8_t* stream, int32_t len); // audio thread
    bool renderBlock();                     // false once the piece has ended

    const std::atomic<uint64_t>& wanted_;
    std::vector<std::string> soundFonts_;
    std::vector<uint8_t> bytes_; // the file being loaded; the player keeps its own copy
    int32_t channels_ = 2;

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    bool hooked_ = false;

    // Set by the worker while the hook is out; used by the audio thread while it is in.
    // Installing and removing the hook takes the audio device's lock, which orders the two.
    uint64_t generation_ = 0;
    std::array<int16_t, kBlockFrames * 2> block_{}; // rendered stereo frames
    int32_t blockFrames_ = 0;                       // how many of them are valid
    int32_t blockPos_ = 0;                          // how many have gone to the mixer
};

// Copies stereo frames into the mixer's format: its channel count may differ from two when
// the device would not take stereo.
void spread(const int16_t* stereo, int32_t frames, uint8_t* out, int32_t channels) {
    if (channels == 2) {
        std::memcpy(out, stereo, size_t(frames) * 4);
        return;
    }
    const size_t frameBytes = size_t(channels) * 2;
    for (int32_t i = 0; i < frames; ++i) {
        if (channels == 1) {
            const int16_t mono = int16_t((int32_t(stereo[2 * i]) + stereo[2 * i + 1]) / 2);
            std::memcpy(out + size_t(i) * 2, &mono, 2);
        } else {
            // Front left and right; the mixer has already silenced the other channels.
            std::memcpy(out + size_t(i) * frameBytes, stereo + 2 * i, 4);
        }
    }
}

FluidMusic::~FluidMusic() {
    release();
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

bool FluidMusic::open() {
    int freq = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&freq, &format, &channels) == 0 || format != AUDIO_S16SYS || channels < 1) {
        std::fprintf(stderr, "vortalix: the audio device takes no 16-bit samples; the music "
                             "stays silent\n");
        return false;
    }
    channels_ = channels;
    settings_ = new_fluid_settings();
    if (!settings_) return false;
    // The synthesiser renders at the mixer's own rate, so SDL_mixer has nothing to convert.
    const bool set =
        fluid_settings_setnum(settings_, "synth.sample-rate", freq) == FLUID_OK &&
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1) == FLUID_OK &&
        fluid_settings_setnum(settings_, "synth.gain", kGain) == FLUID_OK &&
        // A reset at the end of a piece would unload its instruments on the audio
        // thread; the worker resets the synthesiser between pieces instead.
        fluid_settings_setint(settings_, "player.reset-synth", 0) == FLUID_OK;
    if (!set) {
        std::fprintf(stderr,
                     "vortalix: FluidSynth refuses the mixer's rate of %d Hz; the music "
                     "stays silent\n",
                     freq);
        return false;
    }
    synth_ = new_fluid_synth(settings_);
    if (!synth_) return false;
    // Like SDL_mixer, every soundfont of the list is loaded; a later one lies over the
    // earlier ones.
    bool any = false;
    for (const std::string& path : soundFonts_)
        any = fluid_synth_sfload(synth_, path.c_str(), 1) != FLUID_FAILED || any;
    if (!any)
        std::fprintf(stderr, "vortalix: no soundfont could be loaded; the music stays silent\n");
    return any;
}

bool FluidMusic::load(const std::string& file) {
    // Checked here rather than left to FluidSynth, which "plays" an empty file, a picture or
    // a truncated MIDI file as silence.
    if (!readAudioFile(file.c_str(), kMaxMidiBytes, bytes_) || !isPlayableMidi(bytes_))
        return false;
    player_ = new_fluid_player(synth_);
    if (!player_) return false;
    if (fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK ||
        fluid_player_set_loop(player_, 1) != FLUID_OK || // once, never repeated
        fluid_player_play(player_) != FLUID_OK)
        return false; // release() frees the player
    // The instruments a piece selects load during the first block it renders (tens of
    // milliseconds for the first use of a soundfont's samples): done here, not on the audio
    // thread, where it would cut a hole in the sound.
    blockFrames_ = blockPos_ = 0;
    renderBlock();
    return true;
}

void FluidMusic::play(uint64_t generation) {
    if (!player_) return;
    generation_ = generation;
    Mix_HookMusic(&FluidMusic::mixHook, this);
    hooked_ = true;
}

void FluidMusic::release() {
    // Once the hook is out, the audio thread no longer touches the player or the synthesiser.
    if (hooked_) Mix_HookMusic(nullptr, nullptr);
    hooked_ = false;
    if (player_) {
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
    }
    // Silences the voices still ringing and sets every channel back to its first instrument,
    // which also unloads the instruments of the piece that ended.
    if (synth_) fluid_synth_system_reset(synth_);
}

bool FluidMusic::renderBlock() {
    if (fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) return false;
    if (fluid_synth_write_s16(synth_, kBlockFrames, block_.data(), 0, 2, block_.data(), 1, 2) !=
        FLUID_OK)
        return false;
    blockFrames_ = kBlockFrames;
    blockPos_ = 0;
    return true;
}

void FluidMusic::mix(uint8_t* stream, int32_t len) {
    // A newer request has come in: silent from now on, though the worker may still be busy.
    // The mixer has filled the stream with silence before it called the hook.
    if (wanted_.load(std::memory_order_relaxed) != generation_) return;
    const int32_t frameBytes = 2 * channels_;
    int32_t frames = len / frameBytes;
    while (frames > 0) {
        if (blockPos_ == blockFrames_ && !renderBlock()) return; // the piece has ended
        const int32_t n = std::min(frames, blockFrames_ - blockPos_);
        spread(block_.data() + 2 * blockPos_, n, stream, channels_);
        blockPos_ += n;
        frames -= n;
        stream += ptrdiff_t(n) * frameBytes;
    }
}

} // namespace

std::unique_ptr<MusicBackend> makeMusicBackend(const std::atomic<uint64_t>& wanted) {
    std::vector<std::string> soundFonts = chooseSoundFonts();
    if (soundFonts.empty()) return nullptr;
    return std::make_unique<FluidMusic>(wanted, std::move(soundFonts));
}
