#include "app/core/CaptureKey.h"

#include <iterator>

namespace px {

namespace {

constexpr unsigned kKnownModifiers = kHotkeyAlt | kHotkeyCtrl | kHotkeyShift;
constexpr unsigned kVkF1 = 0x70, kVkF24 = 0x87;
constexpr unsigned kVkNumpad0 = 0x60, kVkNumpad9 = 0x69;

struct NamedKey {
    unsigned vk;
    const wchar_t* name;
};

// Keys other than letters, digits, the number pad's digits and F1-F24 (named by rule below).
constexpr NamedKey kNamedKeys[] = {
    {0x08, L"Backspace"},   {0x09, L"Tab"},         {0x0D, L"Enter"},     {0x13, L"Pause"},
    {0x1B, L"Esc"},         {0x20, L"Space"},       {0x21, L"Page Up"},   {0x22, L"Page Down"},
    {0x23, L"End"},         {0x24, L"Home"},        {0x25, L"Left"},      {0x26, L"Up"},
    {0x27, L"Right"},       {0x28, L"Down"},        {kVkSnapshot, L"Print Screen"},
    {0x2D, L"Insert"},      {0x2E, L"Delete"},      {0x6A, L"Num *"},     {0x6B, L"Num +"},
    {0x6D, L"Num -"},       {0x6E, L"Num ."},       {0x6F, L"Num /"},     {0x91, L"Scroll Lock"},
    {0xBA, L";"},           {0xBB, L"="},           {0xBC, L","},         {0xBD, L"-"},
    {0xBE, L"."},           {0xBF, L"/"},           {0xC0, L"`"},         {0xDB, L"["},
    {0xDC, L"\\"},          {0xDD, L"]"},           {0xDE, L"'"},
};

bool IsFunctionKey(unsigned vk) { return vk >= kVkF1 && vk <= kVkF24; }

std::wstring KeyOwnName(unsigned vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::wstring(1, static_cast<wchar_t>(vk));
    if (IsFunctionKey(vk)) return L"F" + std::to_wstring(vk - kVkF1 + 1);
    if (vk >= kVkNumpad0 && vk <= kVkNumpad9) return L"Num " + std::to_wstring(vk - kVkNumpad0);
    for (const NamedKey& k : kNamedKeys)
        if (k.vk == vk) return k.name;
    return {};
}

}  // namespace

std::wstring CaptureKeyName(CaptureKey key) {
    std::wstring own = KeyOwnName(key.virtualKey);
    if (own.empty()) return {};
    std::wstring name;
    if (key.modifiers & kHotkeyCtrl) name += L"Ctrl+";
    if (key.modifiers & kHotkeyAlt) name += L"Alt+";
    if (key.modifiers & kHotkeyShift) name += L"Shift+";
    return name + own;
}

CaptureKeyVerdict CheckCaptureKey(CaptureKey key) {
    if (key.virtualKey == 0) return CaptureKeyVerdict::NoKey;
    if ((key.modifiers & ~kKnownModifiers) != 0 || KeyOwnName(key.virtualKey).empty())
        return CaptureKeyVerdict::UnknownKey;
    const bool ctrlOrAlt = (key.modifiers & (kHotkeyCtrl | kHotkeyAlt)) != 0;
    if (!ctrlOrAlt && key.virtualKey != kVkSnapshot && !IsFunctionKey(key.virtualKey))
        return CaptureKeyVerdict::NeedsModifier;
    return CaptureKeyVerdict::Usable;
}

std::wstring CaptureKeyRefusalText(CaptureKey key, CaptureKeyVerdict verdict) {
    switch (verdict) {
    case CaptureKeyVerdict::Usable: return {};
    case CaptureKeyVerdict::NoKey: return L"Press the key that should start \"Capture Selection\", with Ctrl or Alt.";
    case CaptureKeyVerdict::UnknownKey:
        return L"This key cannot start \"Capture Selection\". Choose a letter, digit or function key with Ctrl or Alt, "
               L"or Print Screen.";
    case CaptureKeyVerdict::NeedsModifier:
        return L"The key " + CaptureKeyName(key) +
               L" is part of typing: as a capture key it would be taken from every program.\r\n\r\n"
               L"Add Ctrl or Alt, or choose Print Screen or a function key.";
    }
    return {};
}

std::wstring CaptureKeyTakenText(CaptureKey wanted, std::optional<CaptureKey> kept) {
    std::wstring text = L"The key " + CaptureKeyName(wanted) +
                        L" is already taken by another program, so it cannot start \"Capture Selection\".\r\n\r\n";
    text += kept ? L"The capture key stays " + CaptureKeyName(*kept) + L"." : std::wstring(L"There is no capture key.");
    return text;
}

CaptureKey CaptureKeyFromHotkeyControl(uint16_t word) {
    const unsigned flags = word >> 8;
    CaptureKey key{0, word & 0xFFu};
    if (flags & 0x01) key.modifiers |= kHotkeyShift;
    if (flags & 0x02) key.modifiers |= kHotkeyCtrl;
    if (flags & 0x04) key.modifiers |= kHotkeyAlt;
    return key;
}

uint16_t HotkeyControlWord(CaptureKey key) {
    unsigned flags = 0;
    if (key.modifiers & kHotkeyShift) flags |= 0x01;
    if (key.modifiers & kHotkeyCtrl) flags |= 0x02;
    if (key.modifiers & kHotkeyAlt) flags |= 0x04;
    return static_cast<uint16_t>((flags << 8) | (key.virtualKey & 0xFFu));
}

uint32_t EncodeStoredCaptureKey(CaptureKey key) {
    return ((key.modifiers & 0xFFu) << 8) | (key.virtualKey & 0xFFu);
}

std::optional<CaptureKey> DecodeStoredCaptureKey(uint32_t value) {
    if (value > 0xFFFFu) return std::nullopt;
    const CaptureKey key{value >> 8, value & 0xFFu};
    if (CheckCaptureKey(key) != CaptureKeyVerdict::Usable) return std::nullopt;
    return key;
}

}  // namespace px
