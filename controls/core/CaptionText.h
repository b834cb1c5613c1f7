#pragma once
// How a button caption is read: "||" breaks the line, "&&" is a literal
// ampersand, and the character after the last single "&" is the access key
// (shown underlined). Other single "&" marks are dropped from the text.
#include <string>
#include <vector>

namespace px::controls {

struct CaptionText {
    std::vector<std::wstring> lines;  // at least one (possibly empty) line
    wchar_t accessKey = 0;            // 0 when the caption has none
    int keyLine = -1;                 // line and index of the underlined character
    int keyPos = -1;

    bool empty() const noexcept { return lines.size() == 1 && lines[0].empty(); }
};

CaptionText ParseCaption(const std::wstring& caption);

// A line as the platform's text drawing reads it: "&" before the access key
// (so it is underlined) and every literal "&" doubled.
std::wstring PrefixedLine(const CaptionText& text, size_t line);

// One-line text for the window title, with only the access key's "&" kept (so
// the platform's dialog navigation finds the same key) and other "&" doubled.
std::wstring MnemonicTitle(const CaptionText& text);

// Case-insensitive match of a typed character against the access key (ASCII
// and Latin-1 letters fold; other characters must match exactly).
bool MatchesAccessKey(const CaptionText& text, wchar_t typed);

}  // namespace px::controls
