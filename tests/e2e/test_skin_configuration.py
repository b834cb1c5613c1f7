"""The skin configuration as a script client sees it (veltrim.dll registered,
VBScript under cscript, created by program identifier): every default, the
reset rule, Store into a second object's Restore, the stored text parsed
(element order, attribute names, yes/no, a system colour as its signed value),
numbers with a "," decimal separator in the user's settings, the errors, and
mutated documents that never crash the client."""
import subprocess
import xml.etree.ElementTree as ET

import pytest

import harness

DLL = harness.WIN_BUILD / "tests" / "win" / "veltrim.dll"
INTERNATIONAL = r"HKCU\Control Panel\International"


def wine(*args, timeout=120):
    return subprocess.run(["wine", *map(str, args)], capture_output=True, text=True, timeout=timeout)


@pytest.fixture(scope="module")
def registered():
    dll = harness.windows_path(DLL)
    r = wine("regsvr32", "/s", dll)
    assert r.returncode == 0, r.stderr
    yield
    wine("regsvr32", "/s", "/u", dll)


def run_vbs(tmp_path, body, name="client.vbs"):
    """Runs a script that ends with WScript.Quit 0 and returns its output lines.
    (cscript exits 0 after a script error, so the script's own last line counts.)"""
    script = tmp_path / name
    script.write_text((body.strip() + "\nWScript.Echo \"END\"\nWScript.Quit 0\n").replace("\n", "\r\n"))
    r = wine("cscript", "//nologo", harness.windows_path(script))
    lines = r.stdout.replace("\r\n", "\n").split("\n")
    assert "END" in lines, (r.returncode, r.stdout, r.stderr)
    return lines


# Echoes every plain property of skin s as name=value lines, prefixed.
DUMP = r'''
' (Wine's script engine has no Eval: each property is read by name.)
Sub Dump(prefix, s)
  WScript.Echo prefix & "ButtonWidth=" & CStr(s.ButtonWidth)
  WScript.Echo prefix & "ButtonHeight=" & CStr(s.ButtonHeight)
  WScript.Echo prefix & "ActiveLeftEnd=" & CStr(s.ActiveLeftEnd)
  WScript.Echo prefix & "ActiveRightStart=" & CStr(s.ActiveRightStart)
  WScript.Echo prefix & "ActiveRightEnd=" & CStr(s.ActiveRightEnd)
  WScript.Echo prefix & "InactiveOffset=" & CStr(s.InactiveOffset)
  WScript.Echo prefix & "ActiveCaptionColor=" & CStr(s.ActiveCaptionColor)
  WScript.Echo prefix & "InActiveCaptionColor=" & CStr(s.InActiveCaptionColor)
  WScript.Echo prefix & "ActiveMenuColor=" & CStr(s.ActiveMenuColor)
  WScript.Echo prefix & "ActiveMenuColorOver=" & CStr(s.ActiveMenuColorOver)
  WScript.Echo prefix & "InActiveMenuColor=" & CStr(s.InActiveMenuColor)
  WScript.Echo prefix & "MenuBackgroundColor=" & CStr(s.MenuBackgroundColor)
  WScript.Echo prefix & "BorderHasInactiveVersion=" & CStr(s.BorderHasInactiveVersion)
  WScript.Echo prefix & "LeftBorderWidth=" & CStr(s.LeftBorderWidth)
  WScript.Echo prefix & "RightBorderWidth=" & CStr(s.RightBorderWidth)
  WScript.Echo prefix & "TopSizingBorderHeight=" & CStr(s.TopSizingBorderHeight)
  WScript.Echo prefix & "BottomSizingBorderHeight=" & CStr(s.BottomSizingBorderHeight)
  WScript.Echo prefix & "DrawTitle=" & CStr(s.DrawTitle)
  WScript.Echo prefix & "TitleStartOffsetY=" & CStr(s.TitleStartOffsetY)
  WScript.Echo prefix & "ControlButtonHasInactiveVersion=" & CStr(s.ControlButtonHasInactiveVersion)
  WScript.Echo prefix & "CustomControlButtonPosition=" & CStr(s.CustomControlButtonPosition)
  WScript.Echo prefix & "ControlButtonOffsetX=" & CStr(s.ControlButtonOffsetX)
  WScript.Echo prefix & "ControlButtonOffsetY=" & CStr(s.ControlButtonOffsetY)
  WScript.Echo prefix & "MenuStartOffsetY=" & CStr(s.MenuStartOffsetY)
  WScript.Echo prefix & "MenuStartOffsetX=" & CStr(s.MenuStartOffsetX)
  WScript.Echo prefix & "Name=" & CStr(s.Name)
  WScript.Echo prefix & "Colourise=" & CStr(s.Colourise)
  WScript.Echo prefix & "Hue=" & CStr(s.Hue)
  WScript.Echo prefix & "Saturation=" & CStr(s.Saturation)
  WScript.Echo prefix & "AdjustRGB=" & CStr(s.AdjustRGB)
  WScript.Echo prefix & "PercentRed=" & CStr(s.PercentRed)
  WScript.Echo prefix & "PercentBlue=" & CStr(s.PercentBlue)
  WScript.Echo prefix & "PercentGreen=" & CStr(s.PercentGreen)
  WScript.Echo prefix & "TransparentColor=" & CStr(s.TransparentColor)
  WScript.Echo prefix & "Method=" & CStr(s.Method)
  WScript.Echo prefix & "CaptionFont=" & s.CaptionFont.Name & "|" & CStr(s.CaptionFont.Size * 100) & "|" & CStr(s.CaptionFont.Bold)
  WScript.Echo prefix & "MenuFont=" & s.MenuFont.Name & "|" & CStr(s.MenuFont.Size * 100) & "|" & CStr(s.MenuFont.Italic)
  WScript.Echo prefix & "CaptionIsNothing=" & CStr(s.Caption Is Nothing)
End Sub

Sub SetDistinct(s)
  s.ButtonWidth = 19 : s.ButtonHeight = 20 : s.ActiveLeftEnd = 21 : s.ActiveRightStart = 775
  s.ActiveRightEnd = 779 : s.InactiveOffset = 400 : s.ActiveCaptionColor = &H112233
  s.InActiveCaptionColor = &H80000005 : s.ActiveMenuColor = &HFFFFFF : s.ActiveMenuColorOver = 12648447
  s.InActiveMenuColor = 66051 : s.MenuBackgroundColor = 11308659 : s.BorderHasInactiveVersion = True
  s.LeftBorderWidth = 1 : s.RightBorderWidth = 2 : s.TopSizingBorderHeight = 15 : s.BottomSizingBorderHeight = 3
  s.DrawTitle = False : s.TitleStartOffsetY = -4 : s.ControlButtonHasInactiveVersion = True
  s.CustomControlButtonPosition = True : s.ControlButtonOffsetX = -30 : s.ControlButtonOffsetY = 5
  s.MenuStartOffsetY = 6 : s.MenuStartOffsetX = -20 : s.Name = "Steel <&> skin" : s.Colourise = True
  s.Hue = 2.5 : s.Saturation = 0.75 : s.AdjustRGB = True : s.PercentRed = -0.25 : s.PercentBlue = 1.75
  s.PercentGreen = 0.5 : s.TransparentColor = &HFF00FF : s.Method = 1
  s.CaptionFont.Name = "Tahoma" : s.CaptionFont.Size = 9.75 : s.CaptionFont.Bold = True
  s.MenuFont.Name = "Courier New" : s.MenuFont.Size = 12 : s.MenuFont.Italic = True
End Sub
'''

DEFAULTS = {
    "ButtonWidth": "0", "ButtonHeight": "0", "ActiveLeftEnd": "0", "ActiveRightStart": "0", "ActiveRightEnd": "0",
    "InactiveOffset": "0", "ActiveCaptionColor": "13421772", "InActiveCaptionColor": "10066329",
    "ActiveMenuColor": "0", "ActiveMenuColorOver": "0", "InActiveMenuColor": "8421504",
    "MenuBackgroundColor": "16777215", "BorderHasInactiveVersion": "False", "LeftBorderWidth": "0",
    "RightBorderWidth": "0", "TopSizingBorderHeight": "0", "BottomSizingBorderHeight": "0", "DrawTitle": "True",
    "TitleStartOffsetY": "0", "ControlButtonHasInactiveVersion": "False", "CustomControlButtonPosition": "False",
    "ControlButtonOffsetX": "0", "ControlButtonOffsetY": "0", "MenuStartOffsetY": "0", "MenuStartOffsetX": "0",
    "Name": "", "Colourise": "False", "Hue": "0", "Saturation": "0", "AdjustRGB": "False", "PercentRed": "0",
    "PercentBlue": "0", "PercentGreen": "0", "Method": "0", "CaptionIsNothing": "True",
    # OLE_COLOR is unsigned in the type library: a script reads "no colour" (-1) as 2^32 - 1.
    "TransparentColor": "4294967295",
}
KEPT_BY_RESET = ["ButtonWidth", "ButtonHeight", "ActiveLeftEnd", "ActiveRightStart", "ActiveRightEnd",
                 "InactiveOffset", "Method"]


def values(lines, prefix):
    out = {}
    for line in lines:
        if line.startswith(prefix) and "=" in line:
            k, v = line[len(prefix):].split("=", 1)
            out[k] = v
    return out


def stored_text(lines):
    start, end = lines.index("XML-BEGIN"), lines.index("XML-END")
    return "\n".join(lines[start + 1:end])


def test_defaults_and_the_reset_rule(registered, tmp_path):
    lines = run_vbs(tmp_path, DUMP + r'''
Set a = CreateObject("veltrim.cSkinConfiguration")
Dump "new.", a
Set f = CreateObject("StdFont")
f.Name = "MS Sans Serif"
WScript.Echo "fresh.Font=" & f.Name & "|" & CStr(f.Size * 100) & "|" & CStr(f.Bold)
SetDistinct a
a.Restore "<NeoCaptionSkin/>", Nothing, Nothing
Dump "reset.", a
''')
    new = values(lines, "new.")
    for k, v in DEFAULTS.items():
        assert new[k] == v, k
    # A font object reports the face it realises (under Wine, without "MS Sans Serif", a substitute):
    # the skin's fonts read as a standard font object named "MS Sans Serif" does.
    fresh = values(lines, "fresh.")["Font"]
    assert new["CaptionFont"] == fresh and new["MenuFont"].split("|")[:2] == fresh.split("|")[:2]
    reset = values(lines, "reset.")
    distinct = {"ButtonWidth": "19", "ButtonHeight": "20", "ActiveLeftEnd": "21", "ActiveRightStart": "775",
                "ActiveRightEnd": "779", "InactiveOffset": "400", "Method": "1"}
    for k, v in DEFAULTS.items():
        assert reset[k] == distinct.get(k, v), k
    assert reset["CaptionFont"] == new["CaptionFont"] and reset["MenuFont"] == new["MenuFont"]


def test_store_restore_into_a_second_object_and_the_stored_text(registered, tmp_path):
    lines = run_vbs(tmp_path, DUMP + r'''
Set a = CreateObject("veltrim.cSkinConfiguration")
SetDistinct a
x = a.Store()
WScript.Echo "XML-BEGIN"
WScript.Echo x
WScript.Echo "XML-END"
Set b = CreateObject("veltrim.cSkinConfiguration")
b.Restore x, Nothing, Nothing
Dump "a.", a
Dump "b.", b
''')
    a, b = values(lines, "a."), values(lines, "b.")
    assert a["Hue"] == "2.5" and a["Name"] == "Steel <&> skin" and a["CaptionFont"] == "Tahoma|975|True"
    a["Method"] = "0"  # not stored: the second object keeps its own
    assert b == a
    root = ET.fromstring(stored_text(lines))
    assert root.tag == "NeoCaptionSkin"
    assert [c.tag for c in root] == ["Name", "Caption", "Buttons", "Menu", "Borders", "Effects"]
    caption, buttons, menu, borders, effects = root[1:]
    assert list(caption.attrib) == ["activeLeftEnd", "activeRightStart", "activeRightEnd", "inactiveOffset",
                                    "activeColor", "inactiveColor", "drawTitle", "titleStartOffsetY"]
    assert list(buttons.attrib) == ["buttonWidth", "buttonHeight", "controlButtonHasInactiveVersion",
                                    "customControlButtonPosition", "controlButtonOffsetX", "controlButtonOffsetY"]
    assert list(menu.attrib) == ["activeMenuColor", "activeMenuColorOver", "inActiveMenuColor",
                                 "menuBackgroundColor", "menuStartOffsetY", "menuStartOffsetX"]
    assert list(borders.attrib) == ["borderHasInactiveVersion", "leftBorderWidth", "rightBorderWidth",
                                    "topSizingBorderHeight", "bottomSizingBorderHeight"]
    assert list(effects.attrib) == ["transparentColor"]
    assert [c.tag for c in effects] == ["Colourise", "AdjustRGB"]
    assert list(effects[0].attrib) == ["active", "hue", "saturation"]
    assert list(effects[1].attrib) == ["active", "percentRed", "percentBlue", "percentGreen"]
    font = ["name", "size", "bold", "italic", "underline", "strikethrough", "charSet"]
    assert [c.tag for c in caption] == ["Font"] and list(caption[0].attrib) == font
    assert [c.tag for c in menu] == ["Font"] and list(menu[0].attrib) == font
    assert root[0].text == "Steel <&> skin"
    assert caption.get("inactiveColor") == "-2147483643" and caption.get("drawTitle") == "no"
    assert buttons.get("customControlButtonPosition") == "yes"
    assert caption[0].get("size") == "9.75" and caption[0].get("bold") == "yes" and menu[0].get("size") == "12"
    assert effects[0].get("hue") == "2.5" and effects[1].get("percentRed") == "-0.25"


@pytest.fixture
def comma_decimals():
    """The test prefix's decimal separator set to ",", put back afterwards."""
    before = wine("reg", "query", INTERNATIONAL, "/v", "sDecimal")
    old = None
    for line in before.stdout.splitlines():
        if "sDecimal" in line:
            old = line.split("REG_SZ")[-1].strip()
    wine("reg", "add", INTERNATIONAL, "/v", "sDecimal", "/t", "REG_SZ", "/d", ",", "/f")
    yield
    if old is None:
        wine("reg", "delete", INTERNATIONAL, "/v", "sDecimal", "/f")
    else:
        wine("reg", "add", INTERNATIONAL, "/v", "sDecimal", "/t", "REG_SZ", "/d", old, "/f")


def test_numbers_are_stored_with_a_point_whatever_the_decimal_separator(registered, comma_decimals, tmp_path):
    lines = run_vbs(tmp_path, r'''
WScript.Echo "live=" & CStr(2.5)
Set a = CreateObject("veltrim.cSkinConfiguration")
a.Hue = 2.5
a.CaptionFont.Size = 8.25
x = a.Store()
WScript.Echo "XML-BEGIN"
WScript.Echo x
WScript.Echo "XML-END"
Set b = CreateObject("veltrim.cSkinConfiguration")
b.Restore x, Nothing, Nothing
WScript.Echo "hue=" & CStr(b.Hue = 2.5) & " size=" & CStr(b.CaptionFont.Size * 100)
''')
    assert "live=2,5" in lines  # the setting is in force for locale-following conversions
    root = ET.fromstring(stored_text(lines))
    assert root.find("Effects/Colourise").get("hue") == "2.5"
    assert root.find("Caption/Font").get("size") == "8.25"
    assert "hue=True size=825" in lines


def test_errors_and_mutated_documents(registered, tmp_path):
    lines = run_vbs(tmp_path, r'''
Set a = CreateObject("veltrim.cSkinConfiguration")
a.ButtonWidth = 19 : a.Hue = 1.5 : a.Name = "kept"
On Error Resume Next
a.Restore "<NeoCaptionSkin><Name>x</Name", Nothing, Nothing
WScript.Echo "broken=" & Hex(Err.Number) & "|" & Err.Source & "|" & Err.Description
Err.Clear
a.Restore "<Skin/>", Nothing, Nothing
WScript.Echo "missing=" & Hex(Err.Number) & "|" & Err.Description
Err.Clear
a.Restore "<NeoCaptionSkin><Name>new</Name><Effects><Colourise hue=""high""/></Effects></NeoCaptionSkin>", Nothing, Nothing
WScript.Echo "convert=" & Hex(Err.Number) & "|" & Err.Description
WScript.Echo "after=" & a.ButtonWidth & "|" & CStr(a.Hue * 10) & "|" & a.Name
Err.Clear
a.Restore "<!DOCTYPE NeoCaptionSkin [<!ENTITY e ""x"">]><NeoCaptionSkin><Name>&e;</Name></NeoCaptionSkin>", Nothing, Nothing
WScript.Echo "doctype=" & Hex(Err.Number) & "|" & Err.Description & "|" & a.Name
Err.Clear
a.Restore "<NeoCaptionSkin><Caption drawTitle="" Yes ""/><Buttons customControlButtonPosition=""1""/></NeoCaptionSkin>", Nothing, Nothing
WScript.Echo "booleans=" & Hex(Err.Number) & "|" & CStr(a.DrawTitle) & "|" & CStr(a.CustomControlButtonPosition)
Err.Clear
Set b = CreateObject("veltrim.cSkinConfiguration")
b.Hue = 4.25 : b.Name = "mutated" : b.CaptionFont.Size = 9.75
x = b.Store()
Rnd -1
Randomize 12
junk = "<>&""'=/!?-. 0123456789abcYESno"
ok = 0 : refused = 0 : other = 0
For i = 1 To 200
  m = x
  For k = 1 To 1 + Int(Rnd * 5)
    p = 1 + Int(Rnd * Len(m))
    c = Mid(junk, 1 + Int(Rnd * Len(junk)), 1)
    Select Case Int(Rnd * 3)
      Case 0: m = Left(m, p - 1) & c & Mid(m, p + 1)
      Case 1: m = Left(m, p - 1) & Mid(m, p + 1 + Int(Rnd * 10))
      Case 2: m = Left(m, p - 1) & c & Mid(m, p)
    End Select
  Next
  Set t = CreateObject("veltrim.cSkinConfiguration")
  Err.Clear
  t.Restore m, Nothing, Nothing
  If Err.Number = 0 Then
    ok = ok + 1
  ElseIf Err.Number = &H80040619 Then
    refused = refused + 1
  Else
    other = other + 1
    WScript.Echo "unexpected " & Hex(Err.Number) & " " & Err.Description
  End If
Next
WScript.Echo "mutated=" & ok & "|" & refused & "|" & other
''')
    got = dict(line.split("=", 1) for line in lines if "=" in line)
    number, source, description = got["broken"].split("|", 2)
    assert number == "80040619" and source == "cscript.cSkinConfiguration"
    assert description.startswith("The XML document could not be loaded: ") and " at position " in description
    assert got["missing"] == "80040619|NeoCaptionSkin element not found in XML document."
    assert got["convert"] == '80040619|Invalid value "high" for attribute "hue" of element "Colourise".'
    assert got["after"] == "19|15|kept"
    assert got["doctype"].startswith("80040619|The XML document could not be loaded: document type declarations")
    assert got["doctype"].endswith("|kept")
    assert got["booleans"] == "0|True|False"
    ok, refused, other = map(int, got["mutated"].split("|"))
    assert other == 0 and ok + refused == 200 and refused > 20, got["mutated"]
