// The skin configuration object through its interface: defaults, Store into a
// second object's Restore, the reset rule, failures that leave every setting
// (and the font objects) as they were, refused geometry, mutated documents,
// and the timings of Store, Restore and the recolouring passes.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cwctype>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/Text.h"
#include "base/win/ScopedWin.h"
#include "imaging/cDIBSection.h"
#include "imaging/core/BrightnessContrast.h"
#include "skin/SkinColourise.h"
#include "skin/cSkinConfiguration.h"

namespace veltrim {
namespace {

using px::win::ScopedBstr;
using px::win::ScopedComPtr;

constexpr HRESULT kLibraryError = static_cast<HRESULT>(0x80040619u);

ScopedComPtr<_cSkinConfiguration> NewSkin() {
    return ScopedComPtr<_cSkinConfiguration>(static_cast<_cSkinConfiguration*>(new cSkinConfiguration()));
}

ScopedComPtr<IPictureDisp> BitmapPicture(int w, int h) {
    px::win::ScopedGetDC screen(nullptr);
    PICTDESC pd{};
    pd.cbSizeofstruct = sizeof pd;
    pd.picType = PICTYPE_BITMAP;
    pd.bmp.hbitmap = ::CreateCompatibleBitmap(screen, w, h);
    ScopedComPtr<IPictureDisp> p;
    EXPECT_EQ(::OleCreatePictureIndirect(&pd, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(p.put())), S_OK);
    return p;
}

// Every plain property as text, in slot order, for whole-object comparisons.
std::vector<std::string> Plain(_cSkinConfiguration* s) {
    std::vector<std::string> out;
    auto l = [&](HRESULT (STDMETHODCALLTYPE _cSkinConfiguration::*get)(long*)) {
        long v = 0;
        EXPECT_EQ((s->*get)(&v), S_OK);
        out.push_back(std::to_string(v));
    };
    auto c = [&](HRESULT (STDMETHODCALLTYPE _cSkinConfiguration::*get)(OLE_COLOR*)) {
        OLE_COLOR v = 0;
        EXPECT_EQ((s->*get)(&v), S_OK);
        out.push_back(std::to_string(static_cast<int32_t>(v)));
    };
    auto b = [&](HRESULT (STDMETHODCALLTYPE _cSkinConfiguration::*get)(VARIANT_BOOL*)) {
        VARIANT_BOOL v = 0;
        EXPECT_EQ((s->*get)(&v), S_OK);
        out.push_back(v ? "yes" : "no");
    };
    auto f = [&](HRESULT (STDMETHODCALLTYPE _cSkinConfiguration::*get)(float*)) {
        float v = 0;
        EXPECT_EQ((s->*get)(&v), S_OK);
        out.push_back(std::to_string(v));
    };
    using S = _cSkinConfiguration;
    l(&S::get_ButtonWidth), l(&S::get_ButtonHeight), l(&S::get_ActiveLeftEnd), l(&S::get_ActiveRightStart);
    l(&S::get_ActiveRightEnd), l(&S::get_InactiveOffset), c(&S::get_ActiveCaptionColor), c(&S::get_InActiveCaptionColor);
    c(&S::get_ActiveMenuColor), c(&S::get_ActiveMenuColorOver), c(&S::get_InActiveMenuColor);
    c(&S::get_MenuBackgroundColor), b(&S::get_BorderHasInactiveVersion), l(&S::get_LeftBorderWidth);
    l(&S::get_RightBorderWidth), l(&S::get_TopSizingBorderHeight), l(&S::get_BottomSizingBorderHeight);
    b(&S::get_DrawTitle), l(&S::get_TitleStartOffsetY), b(&S::get_ControlButtonHasInactiveVersion);
    b(&S::get_CustomControlButtonPosition), l(&S::get_ControlButtonOffsetX), l(&S::get_ControlButtonOffsetY);
    l(&S::get_MenuStartOffsetY), l(&S::get_MenuStartOffsetX), b(&S::get_Colourise), f(&S::get_Hue);
    f(&S::get_Saturation), b(&S::get_AdjustRGB), f(&S::get_PercentRed), f(&S::get_PercentBlue);
    f(&S::get_PercentGreen), c(&S::get_TransparentColor);
    ECNCDrawMethodConstants m{};
    EXPECT_EQ(s->get_Method(&m), S_OK);
    out.push_back(std::to_string(static_cast<int>(m)));
    ScopedBstr name;
    EXPECT_EQ(s->get_Name(name.put()), S_OK);
    out.push_back(std::string(name.view().begin(), name.view().end()));
    return out;
}

std::string FontText(IFontDisp* font) {
    ScopedComPtr<IFont> f;
    if (!font || FAILED(font->QueryInterface(IID_IFont, reinterpret_cast<void**>(f.put())))) return "(none)";
    ScopedBstr name;
    CY size{};
    BOOL bold = 0, italic = 0, underline = 0, strike = 0;
    SHORT charset = 0;
    f->get_Name(name.put());
    f->get_Size(&size);
    f->get_Bold(&bold);
    f->get_Italic(&italic);
    f->get_Underline(&underline);
    f->get_Strikethrough(&strike);
    f->get_Charset(&charset);
    return std::string(name.view().begin(), name.view().end()) + " " + std::to_string(size.int64) + " " +
           std::to_string(bold) + std::to_string(italic) + std::to_string(underline) + std::to_string(strike) + " " +
           std::to_string(charset);
}

std::string Font(_cSkinConfiguration* s, bool caption) {
    ScopedComPtr<IFontDisp> f;
    EXPECT_EQ(caption ? s->get_CaptionFont(f.put()) : s->get_MenuFont(f.put()), S_OK);
    return FontText(f.get());
}

void SetFont(_cSkinConfiguration* s, bool caption, const wchar_t* name, int64_t size, bool bold, SHORT charset) {
    ScopedComPtr<IFontDisp> f;
    ASSERT_EQ(caption ? s->get_CaptionFont(f.put()) : s->get_MenuFont(f.put()), S_OK);
    ScopedComPtr<IFont> font;
    ASSERT_EQ(f->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.put())), S_OK);
    ScopedBstr n{std::wstring_view(name)};
    font->put_Name(n.get());
    CY cy;
    cy.int64 = size;
    font->put_Size(cy);
    font->put_Bold(bold);
    font->put_Italic(!bold);
    font->put_Charset(charset);
}

// Every value differs from its default.
void SetDistinct(_cSkinConfiguration* s) {
    s->put_ButtonWidth(19), s->put_ButtonHeight(20), s->put_ActiveLeftEnd(21), s->put_ActiveRightStart(775);
    s->put_ActiveRightEnd(779), s->put_InactiveOffset(400), s->put_ActiveCaptionColor(0x112233);
    s->put_InActiveCaptionColor(0x80000005u), s->put_ActiveMenuColor(0xFFFFFF), s->put_ActiveMenuColorOver(0xC0FFFF);
    s->put_InActiveMenuColor(0x010203), s->put_MenuBackgroundColor(11308659), s->put_BorderHasInactiveVersion(VARIANT_TRUE);
    s->put_LeftBorderWidth(1), s->put_RightBorderWidth(2), s->put_TopSizingBorderHeight(15);
    s->put_BottomSizingBorderHeight(3), s->put_DrawTitle(VARIANT_FALSE), s->put_TitleStartOffsetY(-4);
    s->put_ControlButtonHasInactiveVersion(VARIANT_TRUE), s->put_CustomControlButtonPosition(VARIANT_TRUE);
    s->put_ControlButtonOffsetX(-30), s->put_ControlButtonOffsetY(5), s->put_MenuStartOffsetY(6);
    s->put_MenuStartOffsetX(-20), s->put_Colourise(VARIANT_TRUE), s->put_Hue(2.5f), s->put_Saturation(0.1f);
    s->put_AdjustRGB(VARIANT_TRUE), s->put_PercentRed(-0.25f), s->put_PercentBlue(1.75f), s->put_PercentGreen(0.3f);
    s->put_TransparentColor(0xFF00FF), s->put_Method(static_cast<ECNCDrawMethodConstants>(1));
    ScopedBstr name{std::wstring_view(L"Steel <&\"> \u00e9")};
    s->put_Name(name.get());
    SetFont(s, true, L"Tahoma", 97500, true, 238);
    SetFont(s, false, L"Courier New", 120000, false, 0);
}

std::wstring Stored(_cSkinConfiguration* s) {
    ScopedBstr xml;
    EXPECT_EQ(s->Store(xml.put()), S_OK);
    return std::wstring(xml.view());
}

HRESULT Restore(_cSkinConfiguration* s, const std::wstring& xml, IPictureDisp* caption = nullptr,
                IPictureDisp* borders = nullptr) {
    ScopedBstr text{std::wstring_view(xml)};
    return s->Restore(text.get(), caption, borders);
}

struct ErrorText {
    std::wstring source, description;
};
ErrorText LastError() {
    ScopedComPtr<IErrorInfo> info;
    ErrorText t;
    if (::GetErrorInfo(0, info.put()) == S_OK && info) {
        ScopedBstr source, description;
        info->GetSource(source.put());
        info->GetDescription(description.put());
        t = {std::wstring(source.view()), std::wstring(description.view())};
    }
    return t;
}

class cSkinConfigurationTest : public testing::Test {
protected:
    px::win::ScopedOle ole_;
};

TEST_F(cSkinConfigurationTest, NewObjectHoldsTheDefaults) {
    auto s = NewSkin();
    const std::vector<std::string> want = {"0", "0", "0", "0", "0", "0", "13421772", "10066329", "0", "0", "8421504",
                                           "16777215", "no", "0", "0", "0", "0", "yes", "0", "no", "no", "0", "0", "0",
                                           "0", "no", "0.000000", "0.000000", "no", "0.000000", "0.000000", "0.000000",
                                           "-1", "0", ""};
    EXPECT_EQ(Plain(s.get()), want);
    // A font object reports the face it realises: under Wine, which has no
    // "MS Sans Serif", that is a substitute, so compare with a font object
    // named the same way here rather than with the text.
    ScopedComPtr<IFont> fresh;
    ASSERT_EQ(::CoCreateInstance(CLSID_StdFont, nullptr, CLSCTX_INPROC_SERVER, IID_IFont,
                                 reinterpret_cast<void**>(fresh.put())),
              S_OK);
    ScopedBstr face{std::wstring_view(L"MS Sans Serif")};
    fresh->put_Name(face.get());
    ScopedComPtr<IFontDisp> freshDisp;
    fresh->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(freshDisp.put()));
    EXPECT_EQ(Font(s.get(), true), FontText(freshDisp.get()));
    EXPECT_EQ(Font(s.get(), false), FontText(freshDisp.get()));
    ScopedComPtr<IFontDisp> a, b;
    s->get_CaptionFont(a.put());
    s->get_MenuFont(b.put());
    EXPECT_NE(a.get(), b.get());  // two font objects
    ScopedComPtr<IPictureDisp> p;
    EXPECT_EQ(s->get_Caption(p.put()), S_OK);
    EXPECT_EQ(p.get(), nullptr);
}

TEST_F(cSkinConfigurationTest, StoreThenRestoreIntoASecondObjectGivesEverythingBack) {
    auto a = NewSkin();
    SetDistinct(a.get());
    auto b = NewSkin();
    auto caption = BitmapPicture(60, 26), borders = BitmapPicture(12, 8);
    ASSERT_EQ(Restore(b.get(), Stored(a.get()), caption.get(), borders.get()), S_OK) << LastError().description.size();
    std::vector<std::string> want = Plain(a.get());
    want[want.size() - 2] = "0";  // Method is not stored: the second object keeps its own
    EXPECT_EQ(Plain(b.get()), want);
    EXPECT_EQ(Font(b.get(), true), Font(a.get(), true));
    EXPECT_EQ(Font(b.get(), false), Font(a.get(), false));
    EXPECT_EQ(Font(b.get(), true), "Tahoma 97500 1000 238");
    ScopedComPtr<IPictureDisp> p;
    b->get_Borders(p.put());
    EXPECT_EQ(p.get(), borders.get());
}

TEST_F(cSkinConfigurationTest, ANewObjectsOwnStoreRestoresWithItsEmptyName) {
    auto a = NewSkin(), b = NewSkin();
    const std::wstring xml = Stored(a.get());
    EXPECT_NE(xml.find(L"<Name/>"), std::wstring::npos);
    ASSERT_EQ(Restore(b.get(), xml), S_OK);
    EXPECT_EQ(Plain(b.get()), Plain(a.get()));
}

TEST_F(cSkinConfigurationTest, RestoreResetsAllButButtonSizeCaptionGeometryAndMethod) {
    auto s = NewSkin();
    SetDistinct(s.get());
    ASSERT_EQ(Restore(s.get(), L"<NeoCaptionSkin/>"), S_OK);
    std::vector<std::string> want = Plain(NewSkin().get());
    const char* kept[] = {"19", "20", "21", "775", "779", "400"};
    for (size_t i = 0; i < 6; ++i) want[i] = kept[i];
    want[want.size() - 2] = "1";
    EXPECT_EQ(Plain(s.get()), want);
    EXPECT_EQ(Font(s.get(), true), Font(NewSkin().get(), true));
}

TEST_F(cSkinConfigurationTest, AFailedRestoreLeavesEverySettingAndObject) {
    auto s = NewSkin();
    SetDistinct(s.get());
    auto caption = BitmapPicture(60, 26);
    s->putref_Caption(caption.get());
    const std::vector<std::string> before = Plain(s.get());
    ScopedComPtr<IFontDisp> fontBefore;
    s->get_CaptionFont(fontBefore.put());
    std::wstring bad = Stored(s.get());
    bad.replace(bad.find(L"hue=\"2.5\""), 9, L"hue=\"2,5\"");
    EXPECT_EQ(Restore(s.get(), bad), kLibraryError);
    const ErrorText e = LastError();
    EXPECT_EQ(e.source, L"win_tests.cSkinConfiguration");
    EXPECT_EQ(e.description, L"Invalid value \"2,5\" for attribute \"hue\" of element \"Colourise\".");
    EXPECT_EQ(Restore(s.get(), L"<NeoCaptionSkin><Caption"), kLibraryError);
    EXPECT_EQ(LastError().description.rfind(L"The XML document could not be loaded: ", 0), 0u);
    EXPECT_EQ(Restore(s.get(), L"<Skin/>"), kLibraryError);
    EXPECT_EQ(LastError().description, L"NeoCaptionSkin element not found in XML document.");
    EXPECT_EQ(Plain(s.get()), before);
    ScopedComPtr<IFontDisp> fontAfter;
    ScopedComPtr<IPictureDisp> captionAfter;
    s->get_CaptionFont(fontAfter.put());
    s->get_Caption(captionAfter.put());
    EXPECT_EQ(fontAfter.get(), fontBefore.get());
    EXPECT_EQ(captionAfter.get(), caption.get());
}

TEST_F(cSkinConfigurationTest, BooleanTextsAndUnknownPartsAsStored) {
    auto s = NewSkin();
    ASSERT_EQ(Restore(s.get(), L"<x><NeoCaptionSkin><Caption drawTitle=\" Yes \"/><Buttons customControlButtonPosition=\"1\""
                               L" controlButtonOffsetX=\"12.5\"/><Other a=\"b\"/></NeoCaptionSkin></x>"),
              S_OK);
    VARIANT_BOOL title = 0, custom = -1;
    long offset = 0;
    s->get_DrawTitle(&title);
    s->get_CustomControlButtonPosition(&custom);
    s->get_ControlButtonOffsetX(&offset);
    EXPECT_EQ(title, VARIANT_TRUE);
    EXPECT_EQ(custom, VARIANT_FALSE);
    EXPECT_EQ(offset, 12);
}

TEST_F(cSkinConfigurationTest, GeometryThatWouldHangThePainterIsRefused) {
    auto s = NewSkin();
    const std::wstring inactiveRow = L"<NeoCaptionSkin><Borders borderHasInactiveVersion=\"yes\"/></NeoCaptionSkin>";
    auto oneRow = BitmapPicture(8, 1), twoRows = BitmapPicture(8, 2), caption = BitmapPicture(40, 20);
    EXPECT_EQ(Restore(s.get(), inactiveRow, caption.get(), oneRow.get()), kLibraryError);
    EXPECT_EQ(LastError().description, L"Invalid skin geometry: the border picture gives a border size of 0.");
    EXPECT_EQ(Restore(s.get(), inactiveRow, caption.get(), twoRows.get()), S_OK);
    EXPECT_EQ(Restore(s.get(), L"<NeoCaptionSkin><Buttons buttonWidth=\"-3\"/></NeoCaptionSkin>"), kLibraryError);
    ScopedComPtr<IPictureDisp> empty;  // a picture without a bitmap has no height
    PICTDESC pd{};
    pd.cbSizeofstruct = sizeof pd;
    pd.picType = PICTYPE_NONE;
    ASSERT_EQ(::OleCreatePictureIndirect(&pd, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(empty.put())), S_OK);
    EXPECT_EQ(Restore(s.get(), L"<NeoCaptionSkin/>", empty.get(), twoRows.get()), kLibraryError);
    EXPECT_EQ(LastError().description, L"Invalid skin geometry: the caption picture is 0 pixels high.");
}

TEST_F(cSkinConfigurationTest, MutatedDocumentsGiveSuccessOrTheLibraryError) {
    auto a = NewSkin();
    SetDistinct(a.get());
    const std::wstring stored = Stored(a.get());
    const std::wstring junk = L"<>&\"'=/!?-. 0123456789abcxyzYESno\r\n\t\u00e9";
    std::mt19937 rng(77);
    int failed = 0;
    for (int round = 0; round < 200; ++round) {
        std::wstring text = stored;
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < edits && !text.empty(); ++k) {
            const size_t at = rng() % text.size();
            switch (rng() % 3) {
            case 0: text[at] = junk[rng() % junk.size()]; break;
            case 1: text.erase(at, 1 + rng() % 12); break;
            case 2: text.insert(at, 1, junk[rng() % junk.size()]); break;
            }
        }
        auto s = NewSkin();
        const HRESULT hr = Restore(s.get(), text);
        ASSERT_TRUE(hr == S_OK || hr == kLibraryError) << std::hex << hr;
        failed += hr == kLibraryError;
    }
    EXPECT_GT(failed, 20);
    EXPECT_LT(failed, 200);
}

double MeanMs(int rounds, const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / rounds;
}

// Printed, not asserted: speed is a benchmark's business. The DC passes run
// beside the pixel engine's brightness/contrast over the same buffer size.
TEST_F(cSkinConfigurationTest, Timings) {
    auto a = NewSkin(), b = NewSkin();
    SetDistinct(a.get());
    const std::wstring xml = Stored(a.get());
    const double store = MeanMs(200, [&] { Stored(a.get()); });
    const double restore = MeanMs(200, [&] { Restore(b.get(), xml); });
    px::cDIBSection screen, other;
    ASSERT_TRUE(screen.Create(3840, 2160));
    ASSERT_TRUE(other.Create(3840, 2160));
    screen.RandomiseBits(false);
    px::cBrightnessContrast bc;
    bc.Contrast(px::ContrastFromSlider(137));
    bc.Brightness(px::BrightnessFromSlider(300));
    const double brightness = MeanMs(10, [&] { bc.process(screen.Bits(), other.Bits()); });
    const double adjust = MeanMs(10, [&] { AdjustRGBDC(screen.hDC(), 3840, 2160, 0.25f, -0.3f, 0.1f, 0xFF00FF); });
    const double colourise = MeanMs(10, [&] { ColouriseDC(screen.hDC(), 3840, 2160, 3.6f, 0.45f, 0xFF00FF); });
    px::cDIBSection caption;
    ASSERT_TRUE(caption.Create(840, 30));
    caption.RandomiseBits(false);
    const double captionPass = MeanMs(50, [&] { ColouriseDC(caption.hDC(), 840, 30, 3.6f, 0.45f, 0xFF00FF); });
    std::printf("[ skin     ] Store %.3f ms, Restore %.3f ms; at 3840x2160: brightness/contrast %.1f ms, AdjustRGBDC "
                "%.1f ms, ColouriseDC %.1f ms; ColouriseDC on 840x30 %.3f ms\n",
                store, restore, brightness, adjust, colourise, captionPass);
}

}  // namespace
}  // namespace veltrim

namespace veltrim {
namespace {

// Hostile texts through the public Restore: document type declarations in
// every spelling, every truncation of a stored text, and numbers out of any
// sane range. Each is refused with the library's error or taken whole; a
// refusal leaves every setting as it was.
TEST_F(cSkinConfigurationTest, HostileTextsAreRefusedAndLeaveTheSettings) {
    auto s = NewSkin();
    SetDistinct(s.get());
    const std::vector<std::string> before = Plain(s.get());
    std::wstring stored = Stored(s.get());
    while (!stored.empty() && std::iswspace(stored.back())) stored.pop_back();
    const std::wstring doctypes[] = {
        L"<!DOCTYPE NeoCaptionSkin [<!ENTITY x SYSTEM \"file:///C:/windows/win.ini\">]><NeoCaptionSkin/>",
        L"\uFEFF  \r\n<!DOCTYPE NeoCaptionSkin><NeoCaptionSkin/>",
        L"<?xml version=\"1.0\"?><!doctype NeoCaptionSkin><NeoCaptionSkin/>",
        L"<!-- a --><!DOCTYPE a [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
        L"<NeoCaptionSkin><Name>&b;</Name></NeoCaptionSkin>",
    };
    for (const std::wstring& text : doctypes) {
        EXPECT_EQ(Restore(s.get(), text), kLibraryError) << px::Narrow(text);
        EXPECT_EQ(Plain(s.get()), before);
    }
    // Every cut of the stored text ends in the library's error (an unclosed root)
    // and never changes a setting.
    for (size_t cut = 0; cut + 1 < stored.size(); cut += 5) {
        const HRESULT hr = Restore(s.get(), stored.substr(0, cut));
        ASSERT_EQ(hr, kLibraryError) << "cut at " << cut;
    }
    EXPECT_EQ(Plain(s.get()), before);
    // Numbers no setting can hold.
    const wchar_t* outOfRange[] = {
        L"<NeoCaptionSkin><Buttons buttonWidth=\"99999999999999999999\"/></NeoCaptionSkin>",
        L"<NeoCaptionSkin><Buttons buttonHeight=\"-2147483649\"/></NeoCaptionSkin>",
        L"<NeoCaptionSkin><Caption activeLeftEnd=\"1e40\"/></NeoCaptionSkin>",
        L"<NeoCaptionSkin><Caption activeColor=\"4294967296\"/></NeoCaptionSkin>",
        L"<NeoCaptionSkin><Effects><Colourise hue=\"NaN\"/></Effects></NeoCaptionSkin>",
        L"<NeoCaptionSkin><Effects><Colourise hue=\"inf\"/></Effects></NeoCaptionSkin>",
        L"<NeoCaptionSkin><Effects><AdjustRGB percentRed=\"1e39\"/></Effects></NeoCaptionSkin>",
    };
    for (const wchar_t* text : outOfRange) {
        const HRESULT hr = Restore(s.get(), text);
        EXPECT_TRUE(hr == kLibraryError || hr == S_OK) << px::Narrow(text) << std::hex << hr;
        if (hr == kLibraryError) {
            EXPECT_EQ(Plain(s.get()), before) << px::Narrow(text);
        } else {
            // Taken: then what it stores must read back in a fresh object.
            auto again = NewSkin();
            EXPECT_EQ(Restore(again.get(), Stored(s.get())), S_OK) << px::Narrow(text);
            ASSERT_EQ(Restore(s.get(), stored), S_OK);
        }
    }
}

}  // namespace
}  // namespace veltrim
