#include "controls/core/PictureText.h"

#include "base/Rounding.h"

namespace px {

std::vector<std::wstring> SplitTextLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    std::wstring current;
    bool open = false;  // a line has started and not yet ended
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            lines.push_back(std::move(current));
            current.clear();
            open = false;
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            current.push_back(c);
            open = true;
        }
    }
    if (open) lines.push_back(std::move(current));
    return lines;
}

int FontCharacterHeight(double points, int dpi) { return -RoundHalfEven<int>(points * dpi / 72.0); }

}  // namespace px
