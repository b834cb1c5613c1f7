#include "skin/SkinFontObject.h"

#include "skin/SkinXmlDom.h"
#include "skin/core/SkinDocument.h"

namespace veltrim {
namespace {

using px::win::ScopedBstr;
using px::win::ScopedComPtr;

ScopedComPtr<IFont> AsFont(IFontDisp* font) {
    ScopedComPtr<IFont> f;
    if (font) font->QueryInterface(IID_IFont, reinterpret_cast<void**>(f.put()));
    return f;
}

void Check(HRESULT hr) {
    if (FAILED(hr)) throw px::SkinError("The font object could not be set up.");
}

}  // namespace

ScopedComPtr<IFontDisp> NewSkinFont() {
    ScopedComPtr<IFontDisp> font;
    if (FAILED(::CoCreateInstance(CLSID_StdFont, nullptr, CLSCTX_INPROC_SERVER, IID_IFontDisp,
                                  reinterpret_cast<void**>(font.put()))))
        throw px::SkinError("The font object could not be created.");
    ScopedComPtr<IFont> f = AsFont(font.get());
    if (!f) throw px::SkinError("The font object could not be created.");
    ScopedBstr name{std::wstring_view(WideFromUtf8(px::kSkinFontName))};
    Check(f->put_Name(name.get()));
    return font;
}

ScopedComPtr<IFontDisp> NewSkinFont(const px::SkinFont& values) {
    ScopedComPtr<IFontDisp> font = NewSkinFont();
    ScopedComPtr<IFont> f = AsFont(font.get());
    ScopedBstr name{std::wstring_view(WideFromUtf8(values.name))};
    Check(f->put_Name(name.get()));
    CY size;
    size.int64 = values.size;
    Check(f->put_Size(size));
    Check(f->put_Bold(values.bold ? TRUE : FALSE));
    Check(f->put_Italic(values.italic ? TRUE : FALSE));
    Check(f->put_Underline(values.underline ? TRUE : FALSE));
    Check(f->put_Strikethrough(values.strikethrough ? TRUE : FALSE));
    Check(f->put_Charset(values.charSet));
    return font;
}

px::SkinFont ReadSkinFont(IFontDisp* font) {
    ScopedComPtr<IFont> f = AsFont(font);
    if (!f) return NewSkinFontValues();
    px::SkinFont out;
    ScopedBstr name;
    if (SUCCEEDED(f->get_Name(name.put()))) out.name = Utf8FromWide(name.view());
    CY size{};
    if (SUCCEEDED(f->get_Size(&size))) out.size = size.int64;
    BOOL flag = FALSE;
    out.bold = SUCCEEDED(f->get_Bold(&flag)) && flag;
    out.italic = SUCCEEDED(f->get_Italic(&flag)) && flag;
    out.underline = SUCCEEDED(f->get_Underline(&flag)) && flag;
    out.strikethrough = SUCCEEDED(f->get_Strikethrough(&flag)) && flag;
    SHORT charSet = 0;
    if (SUCCEEDED(f->get_Charset(&charSet))) out.charSet = charSet;
    return out;
}

const px::SkinFont& NewSkinFontValues() {
    static const px::SkinFont values = ReadSkinFont(NewSkinFont().get());
    return values;
}

}  // namespace veltrim
