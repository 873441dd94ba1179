#include "replay/ReplayVerify.h"

#include "app/TForm1.h"
#include "replay/ReplayPlayer.h"

VerifyResult verifyReplay(Platform& platform, const Replay& replay) {
    VerifyResult r;
    ReplayPlayer player(platform, replay);
    if (!player.begin()) {
        r.outcome = VerifyOutcome::CannotStart;
        r.exitCode = player.exitCode();
        return r;
    }
    while (player.step()) {
    }
    const GameState& g = player.form().g;
    r.score = g.score;
    r.level = g.level;
    if ((replay.flags & kReplayRanked) != 0 && g.newrank < 10) r.name = g.ranking[g.newrank].name;
    r.desynchronised = player.desynchronised();
    const bool same = r.score.sameText(replay.score) && r.level == replay.level &&
                      r.name.sameText(replay.name) && !r.desynchronised;
    r.outcome = same ? VerifyOutcome::Matches : VerifyOutcome::Differs;
    player.end();
    return r;
}
