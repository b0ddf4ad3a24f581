// The resource script: dialog templates, menus, pictures, strings and the version record in windres's syntax.
#include "res/windows/tool/ResourceScript.h"

#include <cstdio>
#include <sstream>

namespace tilvane::rc {

namespace {

// A string literal of the script: quotes are doubled and backslashes escaped; UTF-8 passes as it is, since
// the script declares its code page.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"')
      out += "\"\"";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out + "\"";
}

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

std::string Numbers(const VersionNumber& v) {
  return std::to_string(v.major) + "," + std::to_string(v.minor) + "," + std::to_string(v.build) + "," +
         std::to_string(v.revision);
}

// The control's text, or for an icon static the icon's id, which the dialog manager loads from the module.
std::string ControlText(const platform::DialogControlResource& control) {
  if (control.iconId != 0) return std::to_string(control.iconId);
  return Quoted(control.text);
}

void WriteDialog(std::ostream& out, UINT id, const platform::DialogResource& dialog) {
  const RECT& d = dialog.dlu;
  out << id << " DIALOGEX " << d.left << ", " << d.top << ", " << d.right - d.left << ", " << d.bottom - d.top
      << "\nSTYLE " << Hex(dialog.style) << "\n";
  if (!dialog.title.empty()) out << "CAPTION " << Quoted(dialog.title) << "\n";
  if (!dialog.fontFace.empty())
    out << "FONT " << dialog.fontPoints << ", " << Quoted(dialog.fontFace) << "\n";
  out << "BEGIN\n";
  for (const platform::DialogControlResource& control : dialog.controls) {
    const RECT& c = control.dlu;
    out << "  CONTROL " << ControlText(control) << ", " << control.id << ", "
        << (control.cls == platform::ControlClass::Button ? "\"Button\"" : "\"Static\"") << ", "
        << Hex(control.style) << ", " << c.left << ", " << c.top << ", " << c.right - c.left << ", "
        << c.bottom - c.top << "\n";
  }
  out << "END\n\n";
}

void WriteMenuItems(std::ostream& out, const std::vector<platform::MenuItemResource>& items, int depth) {
  const std::string indent(static_cast<std::size_t>(2 * depth), ' ');
  out << indent << "BEGIN\n";
  for (const platform::MenuItemResource& item : items) {
    if (item.separator) {
      out << indent << "  MENUITEM SEPARATOR\n";
    } else if (item.IsPopup()) {
      out << indent << "  POPUP " << Quoted(item.caption) << "\n";
      WriteMenuItems(out, item.submenu, depth + 1);
    } else {
      out << indent << "  MENUITEM " << Quoted(item.caption) << ", " << Hex(item.id) << "\n";
    }
  }
  out << indent << "END\n";
}

void WriteStrings(std::ostream& out, const std::map<UINT, std::string>& strings) {
  if (strings.empty()) return;
  out << "STRINGTABLE\nBEGIN\n";
  for (const auto& [id, text] : strings) out << "  " << id << ", " << Quoted(text) << "\n";
  out << "END\n\n";
}

// The fixed part for a 32-bit Windows application (VOS_NT_WINDOWS32, VFT_APP), then one Unicode string
// block (code page 1200) in the record's language and the translation that points at it.
void WriteVersion(std::ostream& out, const VersionRecord& v, const std::string& executable) {
  char block[16];
  std::snprintf(block, sizeof block, "%04X04B0", v.language);
  out << "1 VERSIONINFO\nFILEVERSION " << Numbers(v.fileVersion) << "\nPRODUCTVERSION "
      << Numbers(v.productVersion) << "\nFILEFLAGSMASK 0x3F\nFILEFLAGS 0x0\nFILEOS 0x40004\nFILETYPE 0x1\n"
      << "FILESUBTYPE 0x0\nBEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"" << block
      << "\"\n    BEGIN\n";
  const std::pair<const char*, std::string> values[] = {
      {"Comments", v.comments},
      {"FileDescription", v.fileDescription},
      {"FileVersion", v.fileVersionText},
      {"InternalName", v.internalName},
      {"LegalCopyright", v.legalCopyright},
      {"OriginalFilename", executable},
      {"ProductName", v.productName},
      {"ProductVersion", v.productVersionText},
  };
  for (const auto& [name, text] : values) out << "      VALUE \"" << name << "\", " << Quoted(text) << "\n";
  out << "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", " << Hex(v.language)
      << ", 1200\n  END\nEND\n";
}

}  // namespace

std::string ResourceScript(const platform::ResourceSet& set, const VersionRecord& version,
                           const ScriptFiles& files) {
  std::ostringstream out;
  out << "// Made by the resource tool from res/; changes belong there.\n#pragma code_page(65001)\n"
      << "LANGUAGE " << Hex(version.language & 0x3FF) << ", " << Hex(version.language >> 10) << "\n\n";
  // Explorer shows a program's first icon group, the one of the lowest id: the program has only one.
  for (const auto& [id, file] : files.icons) out << id << " ICON " << Quoted(file) << "\n";
  for (const auto& [id, file] : files.cursors) out << id << " CURSOR " << Quoted(file) << "\n";
  for (const auto& [id, file] : files.bitmaps) out << id << " BITMAP " << Quoted(file) << "\n";
  out << "\n";
  for (const auto& [id, menu] : set.menus) {
    out << id << " MENU\n";
    WriteMenuItems(out, menu.items, 0);
    out << "\n";
  }
  for (const auto& [id, dialog] : set.dialogs) WriteDialog(out, id, dialog);
  WriteStrings(out, set.strings);
  WriteVersion(out, version, files.executable);
  // The application manifest: resource type 24, id 1, the one the loader reads when the process starts.
  if (!files.manifest.empty()) out << "\n1 24 " << Quoted(files.manifest) << "\n";
  return out.str();
}

}  // namespace tilvane::rc
