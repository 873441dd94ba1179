#pragma once
// The program's life after the window exists, cut into steps that return: starting (FormCreate),
// then one frame per step, until one of the program's ends. The desktop calls the steps in a
// loop; a browser calls one step per animation frame, because it must get control back between
// frames to deliver keys and to paint.

#include <cstdint>

class TForm1;

class ProgramSteps {
  public:
    explicit ProgramSteps(TForm1& form) : form_(form) {}

    // Runs FormCreate. False when the program already ended there (a start-up warning).
    bool begin();
    // The same, one part of FormCreate per call, for a caller that must return between them;
    // `more` is set while parts remain. False when the program ended in this part.
    bool beginPart(bool& more);
    // True when the game's clock says the next frame may begin: 16 ms after the previous one.
    // A step called sooner would wait inside the frame loop, which a browser must not do.
    bool frameDue() const;
    // Handles pending messages and runs one frame, waiting inside the frame loop until it is
    // due. False when the program has ended; the window's destroy handler has run by then.
    bool step();
    // The same for a caller that must never wait: nothing before the frame is due; then the
    // pending messages, and the frame only if it is still due after them (going back to the
    // title restarts the frame clock, and that frame then waits for a later call).
    bool stepWhenDue();

    bool ended() const { return ended_; }
    int32_t exitCode() const { return code_; }

  private:
    void end(int32_t code);
    bool pump(); // false when a message ended the program

    TForm1& form_;
    int32_t createdParts_ = 0;
    bool ended_ = false;
    int32_t code_ = 0;
};
