#include "controls/core/CaptionText.h"

namespace px::controls {

CaptionText ParseCaption(const std::wstring& caption) {
    CaptionText out;
    out.lines.emplace_back();
    const size_t n = caption.size();
    for (size_t i = 0; i < n; ++i) {
        wchar_t c = caption[i];
        wchar_t next = i + 1 < n ? caption[i + 1] : 0;
        if (c == L'|' && next == L'|') {
            out.lines.emplace_back();
            ++i;
        } else if (c == L'&' && next == L'&') {
            out.lines.back().push_back(L'&');
            ++i;
        } else if (c == L'&') {
            // A mark before the end or before a line break has nothing to underline.
            bool breakFollows = next == L'|' && i + 2 < n && caption[i + 2] == L'|';
            if (next != 0 && !breakFollows) {
                out.accessKey = next;
                out.keyLine = static_cast<int>(out.lines.size()) - 1;
                out.keyPos = static_cast<int>(out.lines.back().size());
            }
        } else {
            out.lines.back().push_back(c);
        }
    }
    return out;
}

std::wstring PrefixedLine(const CaptionText& text, size_t li) {
    std::wstring t;
    if (li >= text.lines.size()) return t;
    const std::wstring& line = text.lines[li];
    for (size_t ci = 0; ci < line.size(); ++ci) {
        if (static_cast<int>(li) == text.keyLine && static_cast<int>(ci) == text.keyPos) t.push_back(L'&');
        if (line[ci] == L'&') t.push_back(L'&');
        t.push_back(line[ci]);
    }
    return t;
}

std::wstring MnemonicTitle(const CaptionText& text) {
    std::wstring t;
    for (size_t li = 0; li < text.lines.size(); ++li) {
        if (li) t.push_back(L' ');
        t += PrefixedLine(text, li);
    }
    return t;
}

namespace {
wchar_t FoldCase(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
    // Latin-1 lower-case letters, except the division sign and y-diaeresis.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 32);
    return c;
}
}  // namespace

bool MatchesAccessKey(const CaptionText& text, wchar_t typed) {
    return text.accessKey != 0 && typed != 0 && FoldCase(text.accessKey) == FoldCase(typed);
}

}  // namespace px::controls
