#include "controls/core/ButtonState.h"

namespace px::controls {

bool ButtonState::set(uint32_t bit, bool on) noexcept {
    uint32_t before = bits_;
    bits_ = on ? (bits_ | bit) : (bits_ & ~bit);
    return bits_ != before;
}

ModeChangeOutcome ButtonState::SetMode(int mode) noexcept {
    ModeChangeOutcome out;
    if (mode < ModePush || mode > ModeOption || mode == mode_) return out;
    out.unregisterOption = mode_ == ModeOption;
    out.registerOption = mode == ModeOption;
    if (mode == ModePush && value_) {
        value_ = false;
        out.valueCleared = true;
    }
    mode_ = mode;
    return out;
}

bool ButtonState::SetValue(bool v) noexcept {
    if (mode_ == ModePush) return false;
    value_ = v;
    return true;
}

ClickOutcome ButtonState::LeftClick() noexcept {
    ClickOutcome out;
    switch (mode_) {
    case ModeCheck:
        value_ = !value_;
        out.valueChanged = true;
        out.raiseClick = true;
        break;
    case ModeOption:
        if (value_) break;  // already on: no click at all
        value_ = true;
        out.valueChanged = true;
        out.turnOthersOff = true;
        out.raiseClick = true;
        break;
    default:
        out.raiseClick = true;
        break;
    }
    return out;
}

}  // namespace px::controls
