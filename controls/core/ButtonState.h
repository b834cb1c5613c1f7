#pragma once
// The state rules of the button: modes, the pressed/focus/hover bits, what a
// left click does to `Value`, and what a change of `Mode` asks of the option
// group. The window class applies the outcomes (group, redraw, notifications).
#include <cstdint>

namespace px::controls {

enum ButtonMode : int { ModePush = 0, ModeCheck = 1, ModeOption = 2 };

namespace StateBit {
inline constexpr uint32_t Pressed = 1;  // pointer or space bar holds it down
inline constexpr uint32_t Focus = 2;
inline constexpr uint32_t Hover = 4;
}  // namespace StateBit

struct ClickOutcome {
    bool raiseClick = false;
    bool valueChanged = false;
    bool turnOthersOff = false;  // option button that has just been turned on
};

struct ModeChangeOutcome {
    bool registerOption = false;
    bool unregisterOption = false;
    bool valueCleared = false;
};

class ButtonState {
public:
    int mode() const noexcept { return mode_; }
    bool value() const noexcept { return value_; }
    uint32_t bits() const noexcept { return bits_; }
    bool has(uint32_t bit) const noexcept { return (bits_ & bit) != 0; }
    // Returns whether the bits changed (every change redraws the face).
    bool set(uint32_t bit, bool on) noexcept;

    // Modes outside 0..2 are ignored (outcome all false).
    ModeChangeOutcome SetMode(int mode) noexcept;
    // Refused (returns false, nothing changes) for push buttons.
    bool SetValue(bool v) noexcept;
    // A left-button release inside the button, or the space bar released.
    ClickOutcome LeftClick() noexcept;

    // The face is drawn down while held, and for check/option buttons that are on.
    bool ShowsDown() const noexcept { return has(StateBit::Pressed) || (mode_ != ModePush && value_); }

private:
    int mode_ = ModePush;
    bool value_ = false;
    uint32_t bits_ = 0;
};

}  // namespace px::controls
