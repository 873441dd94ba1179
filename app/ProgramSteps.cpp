#include "app/ProgramSteps.h"

#include "app/TForm1.h"

bool ProgramSteps::begin() {
    try {
        form_.FormCreate();
    } catch (const ProgramExit& e) {
        end(e.code);
    }
    return !ended_;
}

bool ProgramSteps::beginPart(bool& more) {
    more = false;
    if (ended_) return false;
    if (createdParts_ >= TForm1::kFormCreateParts) return true;
    try {
        form_.FormCreatePart(createdParts_++);
    } catch (const ProgramExit& e) {
        end(e.code);
        return false;
    }
    more = createdParts_ < TForm1::kFormCreateParts;
    return true;
}

bool ProgramSteps::frameDue() const {
    const uint32_t now = form_.platform.timeGetTime();
    return int32_t(now - uint32_t(form_.g.lastframe)) >= 16;
}

bool ProgramSteps::step() {
    if (ended_) return false;
    try {
        form_.platform.pumpMessages();
        bool done = true;
        form_.mainloop(done);
    } catch (const ProgramExit& e) {
        end(e.code);
    }
    return !ended_;
}

bool ProgramSteps::pump() {
    try {
        form_.platform.pumpMessages();
    } catch (const ProgramExit& e) {
        end(e.code);
    }
    return !ended_;
}

bool ProgramSteps::stepWhenDue() {
    if (ended_) return false;
    if (!frameDue()) return true;
    if (!pump()) return false;
    if (!frameDue()) return true;
    try {
        bool done = true;
        form_.mainloop(done);
    } catch (const ProgramExit& e) {
        end(e.code);
    }
    return !ended_;
}

void ProgramSteps::end(int32_t code) {
    ended_ = true;
    code_ = code;
    form_.FormDestroy();
}
