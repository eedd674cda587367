#include "settings/app_settings.h"

#include <climits>

#include "settings/profile_file.h"

namespace plumex {
namespace {

int ReadInt(const ProfileFile& p, const char* section, const char* key, int fallback) {
  long long v = p.ReadInteger(section, key, fallback);
  return v < INT_MIN || v > INT_MAX ? fallback : static_cast<int>(v);
}

}  // namespace

AppSettings AppSettings::Load(const std::filesystem::path& mail_root) {
  ProfileFile p = ProfileFile::Load(mail_root / kSettingsFileName);
  AppSettings s;
  s.current_account = p.ReadString("CurAccount", "Position", "");
  s.column_subject = ReadInt(p, "ListView", "Columns2", s.column_subject);
  s.column_from = ReadInt(p, "ListView", "Columns3", s.column_from);
  s.column_date = ReadInt(p, "ListView", "Columns4", s.column_date);
  s.column_size = ReadInt(p, "ListView", "Columns5", s.column_size);
  s.tree_pane_width = ReadInt(p, "Panel4", "Width", s.tree_pane_width);
  s.bottom_pane_height = ReadInt(p, "Panel2", "Height", s.bottom_pane_height);
  s.form_width = ReadInt(p, "Form", "Width", s.form_width);
  s.form_height = ReadInt(p, "Form", "Height", s.form_height);
  s.form_left = ReadInt(p, "Form", "Left", s.form_left);
  s.form_top = ReadInt(p, "Form", "Top", s.form_top);
  s.folder_path = p.ReadString("Folder", "Path", "");
  s.header_on = p.ReadBool("Header", "ON", s.header_on);
  s.start_password = p.ReadBool("Start", "Pass", s.start_password);
  return s;
}

void AppSettings::Save(const std::filesystem::path& mail_root) const {
  auto file = mail_root / kSettingsFileName;
  ProfileFile p = ProfileFile::Load(file);
  p.WriteString("CurAccount", "Position", current_account);
  p.WriteInteger("ListView", "Columns2", column_subject);
  p.WriteInteger("ListView", "Columns3", column_from);
  p.WriteInteger("ListView", "Columns4", column_date);
  p.WriteInteger("ListView", "Columns5", column_size);
  p.WriteInteger("Panel4", "Width", tree_pane_width);
  p.WriteInteger("Panel2", "Height", bottom_pane_height);
  p.WriteInteger("Form", "Width", form_width);
  p.WriteInteger("Form", "Height", form_height);
  if (has_position()) {
    p.WriteInteger("Form", "Left", form_left);
    p.WriteInteger("Form", "Top", form_top);
  }
  p.WriteString("Folder", "Path", folder_path);
  p.WriteBool("Header", "ON", header_on);
  p.WriteBool("Start", "Pass", start_password);
  p.Save(file);
}

}  // namespace plumex
