' Drives Gridora.ActiveGridora as a page's script would. Prints one line per
' check and "vbs: failed N" at the end; the caller fails on any FAIL line.
Option Explicit
Dim failed : failed = 0
Sub Check(what, ok)
  If ok Then
    WScript.Echo "ok   " & what
  Else
    WScript.Echo "FAIL " & what
    failed = failed + 1
  End If
End Sub

Dim packet
packet = "<?xml version=""1.0"" standalone=""yes""?><DATAPACKET Version=""2.0""><METADATA><FIELDS>" & _
  "<FIELD attrname=""SPCODE"" fieldtype=""string"" WIDTH=""10""/></FIELDS><PARAMS/></METADATA>" & _
  "<ROWDATA><ROW SPCODE=""100232""/><ROW SPCODE=""100233""/></ROWDATA></DATAPACKET>"

Dim g
Set g = CreateObject("Gridora.ActiveGridora")
Check "CreateObject", IsObject(g)
Check "Visible before it is shown reads 0", g.Visible = 0
g.Visible = True
Check "Visible once shown reads -1", g.Visible = -1
Check "Visible is a boolean", VarType(g.Visible) = vbBoolean
g.Visible = 256
Check "any non-zero 16-bit value is true", g.Visible = -1
g.Visible = False
Check "Visible written false reads 0", g.Visible = 0

' The stand-in form answers HelpFile with what DoPrint1 did to it.
Check "no packet before DoPrint1", g.HelpFile = "rows=0 messages=0 preview= title=abc"
Dim e
On Error Resume Next
g.DoPrint1 "标题", "   " & vbCrLf & packet, "1"
e = Err.Number : Err.Clear
Check "DoPrint1 with blanks before the declaration succeeds", e = 0
Check "and loads both rows", g.HelpFile = "rows=2 messages=0 preview=1 title=标题"
g.DoPrint1 "t", "<DATAPACKET><ROWDATA>", "true"
e = Err.Number : Err.Clear
Check "DoPrint1 with text that is not well-formed succeeds", e = 0
Check "shows one message and keeps the rows", g.HelpFile = "rows=2 messages=1 preview=true title=t"
g.DoPrint
e = Err.Number : Err.Clear
Check "DoPrint succeeds", e = 0
g.GETFCGPATH "C:\a b", packet
e = Err.Number : Err.Clear
Check "GETFCGPATH succeeds", e = 0
Check "DoPrint and GETFCGPATH change nothing", g.HelpFile = "rows=2 messages=1 preview=true title=t"
g.DoPrint1 "x", "<?xml version=""1.0""?><root/>", ""
e = Err.Number : Err.Clear
Check "DoPrint1 with a document that is no packet succeeds", e = 0
Check "and leaves the table closed", g.HelpFile = "rows=0 messages=2 preview= title=x"
g.Visible = "no boolean"
e = Err.Number : Err.Clear
Check "a text that is no boolean is refused", e <> 0
g.PixelsPerInch = 0
Check "a failing member raises an error", Err.Number <> 0
Check "with the failure's text", Err.Description = "bad resolution"
Err.Clear
On Error GoTo 0

g.Caption = "清单"
Check "Caption round trip", g.Caption = "清单"
g.Color = &HFFFF&
' OLE_COLOR arrives as an unsigned 32-bit value, which this script engine
' compares only as text.
Check "Color round trip", CStr(g.Color) = "65535"
g.Cursor = -2
Check "Cursor round trip", g.Cursor = -2
Check "PixelsPerInch", g.PixelsPerInch = 96
Check "AxBorderStyle afbNone", g.AxBorderStyle = 0
g.HelpKeyword = "abc"
Check "HelpKeyword round trip", g.HelpKeyword = "abc"
Dim f
Set f = g.Font
Check "Font is a font object", IsObject(f)
f.Bold = True
f.Size = 12
Set g.Font = f
Check "Font written by reference comes back bold", g.Font.Bold
Check "Font written by reference keeps its size", g.Font.Size = 12
Check "Enabled", g.Enabled = -1

Set g = Nothing
WScript.Echo "vbs: failed " & failed
