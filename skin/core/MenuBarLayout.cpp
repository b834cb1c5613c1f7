#include "skin/core/MenuBarLayout.h"

#include <cwctype>

namespace veltrim::core {

namespace {
wchar_t Upper(wchar_t c) { return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c))); }
}  // namespace

wchar_t AcceleratorLetter(std::wstring_view text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] == L'&') {  // a literal ampersand
            ++i;
            continue;
        }
        return Upper(text[i + 1]);
    }
    return 0;
}

SplitCaption SplitAtTab(std::wstring_view caption) {
    const size_t tab = caption.find(L'\t');
    if (tab == std::wstring_view::npos) return {caption, {}};
    return {caption.substr(0, tab), caption.substr(tab + 1)};
}

std::vector<MenuItemBox> LayoutMenuItems(const std::vector<TextSize>& texts) {
    std::vector<MenuItemBox> items;
    items.reserve(texts.size());
    int x = 8;
    for (const TextSize& t : texts) {
        MenuItemBox b;
        b.text = Box{x, 2, x + t.width, 2 + t.height};
        b.highlight = Box{b.text.left - 2, b.text.top - 2, b.text.right + 2, b.text.bottom + 2};
        items.push_back(b);
        x += t.width + 11;
    }
    return items;
}

int MenuItemsRight(const std::vector<MenuItemBox>& items) {
    return items.empty() ? 0 : items.back().highlight.right;
}

Box HighlightInClient(const Box& h, int left, int bandTop, const Margins& m) {
    const int dx = left - m.left, dy = bandTop + 2 - m.top;
    return Box{h.left + dx, h.top + dy, h.right + dx, h.bottom + dy};
}

int ItemAt(const std::vector<Box>& rects, int x, int y) {
    for (size_t i = 0; i < rects.size(); ++i) {
        const Box& r = rects[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return static_cast<int>(i) + 1;
    }
    return 0;
}

MenuCharAnswer AnswerMenuChar(wchar_t typed, const std::vector<EntryLetter>& dropDown,
                              const std::vector<wchar_t>& topLevelLetters, int openItem) {
    const wchar_t c = Upper(typed);
    if (c == 0) return {};
    for (size_t i = 0; i < dropDown.size(); ++i)
        if (dropDown[i].letter == c)
            return {dropDown[i].enabled ? MenuCharAnswer::Execute : MenuCharAnswer::Select, static_cast<int>(i)};
    for (size_t i = 0; i < topLevelLetters.size(); ++i)
        if (topLevelLetters[i] == c && static_cast<int>(i) + 1 != openItem)
            return {MenuCharAnswer::Switch, static_cast<int>(i) + 1};
    return {};
}

MenuCharAnswer AnswerMenuChar(wchar_t typed, const std::vector<wchar_t>& dropDownLetters,
                              const std::vector<wchar_t>& topLevelLetters, int openItem) {
    std::vector<EntryLetter> entries;
    entries.reserve(dropDownLetters.size());
    for (wchar_t l : dropDownLetters) entries.push_back({l, true});
    return AnswerMenuChar(typed, entries, topLevelLetters, openItem);
}

}  // namespace veltrim::core
