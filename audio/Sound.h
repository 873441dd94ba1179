#pragma once
// Sound effects: ten WAV files played one at a time under a priority rule.

#include <cstdint>
#include <string>

struct GameState;

struct tsound {
    std::string file;     // relative to basedir, '\' between folders ("sound\get.wav")
    int32_t priority = 0; // higher wins
    int32_t duration = 0; // ms for which the effect is protected from lesser ones
    std::string path;     // basedir + file in the system's own form, made once at registration
};

// Registers one effect; a missing file stops start-up with the WAV warning (exit code 0).
void soundload(GameState& g, const std::string& file, int32_t priority, int32_t index,
               int32_t duration);
// Plays effect n if the priority rule lets it cut off the one last started.
void soundplay(GameState& g, int32_t n);
// Registers the ten effects of the game, entries 0..9.
void soundloadAll(GameState& g);
