#include "tools/uigen/rc_writer.h"

#include "res/dialog_layouts.h"

#include <sstream>
#include <string_view>
#include <vector>

namespace pw::uigen {
namespace {

using ui::Control;
using ui::ControlKind;
using ui::Dialog;

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string Join(const std::vector<std::string_view>& parts) {
    std::string out;
    for (std::string_view p : parts) {
        if (!out.empty()) out += " | ";
        out += p;
    }
    return out;
}

std::string DialogStyle(const Dialog& d) {
    std::vector<std::string_view> s;
    if (d.flags & ui::kModalFrame) s.push_back("DS_MODALFRAME");
    if (d.flags & ui::kShellFont) s.insert(s.end(), {"DS_SETFONT", "DS_FIXEDSYS"});
    if (d.flags & ui::kControlFont) s.push_back("DS_SETFONT");
    if (d.flags & ui::kCenter) s.push_back("DS_CENTER");
    if (d.flags & ui::kPopup) s.push_back("WS_POPUP");
    if (d.flags & ui::kChild) s.push_back("WS_CHILD");
    if (d.flags & ui::kVisible) s.push_back("WS_VISIBLE");
    if (d.flags & ui::kCaption) s.push_back("WS_CAPTION");
    if (d.flags & ui::kSysMenu) s.push_back("WS_SYSMENU");
    return Join(s);
}

std::string ExStyle(const Dialog& d) {
    std::vector<std::string_view> s;
    if (d.flags & ui::kToolWindow) s.push_back("WS_EX_TOOLWINDOW");
    if (d.flags & ui::kAppWindow) s.push_back("WS_EX_APPWINDOW");
    return Join(s);
}

// Style words added to the statement's own default style.
std::string ControlStyle(const Control& c, std::vector<std::string_view> s) {
    if (c.flags & ui::kHidden) s.push_back("NOT WS_VISIBLE");
    if (c.flags & ui::kDisabled) s.push_back("WS_DISABLED");
    if (c.flags & ui::kNotify) s.push_back("BS_NOTIFY");
    if (c.flags & ui::kNoTabStop) s.push_back("NOT WS_TABSTOP");
    return Join(s);
}

void WriteControl(std::ostream& out, const Control& c) {
    const ui::Rect& r = c.dlu;
    std::ostringstream rect;
    rect << r.x << ", " << r.y << ", " << r.cx << ", " << r.cy;
    const std::string at = std::string(c.symbol) + ", " + rect.str();
    std::string style;
    out << "    ";
    switch (c.kind) {
    case ControlKind::PushButton:
    case ControlKind::LinkButton:
    case ControlKind::PlainButton:
        out << (c.flags & ui::kDefault ? "DEFPUSHBUTTON " : "PUSHBUTTON ") << Quoted(c.text) << ", " << at;
        style = ControlStyle(c, {});
        break;
    case ControlKind::Static:
    case ControlKind::BoldStatic:
    case ControlKind::PlainStatic:
        out << "LTEXT " << Quoted(c.text) << ", " << at;
        style = ControlStyle(c, {});
        break;
    case ControlKind::CheckBox:
        out << "AUTOCHECKBOX " << Quoted(c.text) << ", " << at;
        style = ControlStyle(c, {"WS_TABSTOP"});
        break;
    case ControlKind::Picture:
        out << "CONTROL \"\", " << c.symbol << ", \"Static\", " << ControlStyle(c, {"SS_BITMAP"}) << ", "
            << rect.str();
        break;
    case ControlKind::ScrollBar:
        out << "SCROLLBAR " << at;
        style = ControlStyle(c, {"SBS_VERT"});
        break;
    case ControlKind::ProgressBar:
        out << "CONTROL \"\", " << c.symbol << ", \"msctls_progress32\", "
            << ControlStyle(c, {"WS_BORDER", "PBS_MARQUEE"}) << ", " << rect.str();
        break;
    case ControlKind::ListBox:
        out << "LISTBOX " << at;
        style =
            ControlStyle(c, {"LBS_NOINTEGRALHEIGHT", "LBS_NOTIFY", "WS_VSCROLL", "WS_BORDER", "WS_TABSTOP"});
        break;
    case ControlKind::Icon: out << "ICON IDR_MAINFRAME, " << at; break;
    }
    if (!style.empty()) out << ", " << style;
    out << "\n";
}

} // namespace

std::string DialogsRc() {
    std::ostringstream out;
    out << "// Generated from the dialog layout table (res/dialog_layouts.cpp); do not edit.\n"
           "#ifndef IDC_STATIC\n#define IDC_STATIC (-1)\n#endif\n"
           "#ifndef PBS_MARQUEE\n#define PBS_MARQUEE 0x08\n#endif\n\n"
           "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n\n";
    for (const Dialog& d : ui::Dialogs()) {
        out << "// " << d.className << "\n";
        out << d.symbol << " DIALOGEX 0, 0, " << d.dlu.cx << ", " << d.dlu.cy << "\n";
        out << "STYLE " << DialogStyle(d) << "\n";
        if (const std::string ex = ExStyle(d); !ex.empty()) out << "EXSTYLE " << ex << "\n";
        if (!d.caption.empty()) out << "CAPTION " << Quoted(d.caption) << "\n";
        if (!d.windowClass.empty()) out << "CLASS " << Quoted(d.windowClass) << "\n";
        if (d.flags & (ui::kShellFont | ui::kControlFont)) out << "FONT 8, \"MS Shell Dlg\", 400, 0, 0x1\n";
        out << "BEGIN\n";
        for (const Control& c : d.controls)
            WriteControl(out, c);
        out << "END\n\n";
    }
    return out.str();
}

} // namespace pw::uigen
