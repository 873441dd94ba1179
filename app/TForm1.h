#pragma once
// The game window: its event handlers and the per-frame idle handler, over the one GameState.

#include "app/GameState.h"
#include "platform/Platform.h"

class TForm1 : public WindowEvents {
  public:
    explicit TForm1(Platform& platform);

    void FormCreate();
    // FormCreate in its parts, 0 to kFormCreateParts - 1, called in that order, for a caller
    // that must return between them: a browser page, whose thread the whole start would hold
    // for a tenth of a second on a slow phone. FormCreate runs them all at once.
    static constexpr int32_t kFirstSheetPart = 4;
    static constexpr int32_t kFormCreateParts = kFirstSheetPart + kSheetCount + 1;
    void FormCreatePart(int32_t part);
    void FormDestroy();
    void FormCloseQuery();
    void FormKeyDown(uint8_t key);
    void mainloop(bool& done);

    void onKeyDown(uint8_t key) override { FormKeyDown(key); }
    void onCloseRequest() override { FormCloseQuery(); }

    GameState g;
    Platform& platform;

  private:
    void playFrame();
    // Takes the fullscreen state the player left the window in, for saving.
    void keepFullscreen();
    bool destroyed_ = false;
};

// The program's life after the window exists: FormCreate, then the message loop calling
// mainloop whenever no message is pending, until the program ends; FormDestroy runs on every
// way out. frameLimit > 0 stops after that many frames (for the headless runner), returning -1.
int runProgram(TForm1& form, int64_t frameLimit = 0);
