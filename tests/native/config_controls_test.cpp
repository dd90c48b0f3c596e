// The configuration dialog's control table against the dialog template and
// the tooltip string table it describes. The resource scripts are read as
// text from the source tree, so a control added, dropped, reordered or
// restyled on one side only is caught without a Windows build.
#include "config/config_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "resources/resource.h"

namespace veltra {
namespace {

std::string ReadSource(const std::string& relative) {
  std::ifstream file(std::string(VELTRA_SOURCE_DIR) + "/" + relative, std::ios::binary);
  EXPECT_TRUE(file) << relative;
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The numeric #defines of resource.h, plus the dialog manager's own two.
std::map<std::string, int> ResourceIds() {
  std::map<std::string, int> ids{{"IDOK", 1}, {"IDCANCEL", 2}, {"-1", -1}};
  std::istringstream lines(ReadSource("src/resources/resource.h"));
  const std::regex define(R"(^#define\s+(\w+)\s+(0x[0-9A-Fa-f]+|\d+)\b)");
  std::smatch m;
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_search(line, m, define)) ids[m[1]] = static_cast<int>(std::stoul(m[2], nullptr, 0));
  }
  return ids;
}

// Every statement between BEGIN and END of the blocks opened by a line that
// starts with `opening`; blank lines and comments left out.
std::vector<std::string> Statements(const std::string& rc, const std::string& opening) {
  std::vector<std::string> statements;
  std::istringstream lines(rc);
  bool opened = false, inside = false;
  for (std::string raw; std::getline(lines, raw);) {
    const std::string line = Trim(raw);
    if (line.empty() || line.starts_with("//")) continue;
    if (line.starts_with(opening)) opened = true;
    if (!inside) {
      inside = opened && line == "BEGIN";
    } else if (line == "END") {
      inside = opened = false;
    } else {
      statements.push_back(line);
    }
  }
  return statements;
}

struct TemplateControl {
  std::string caption, window_class;
  int id = 0;
  std::set<std::string> styles;  // "NOT X" kept as written
  bool Has(const std::string& style) const { return styles.contains(style); }
};

// The template is written one CONTROL statement per line with the whole
// style; any other statement fails, so nothing slips past this reader.
std::vector<TemplateControl> ReadTemplate(const std::map<std::string, int>& ids) {
  const std::regex control(R"re(CONTROL "([^"]*)", ([\w-]+), "(\w+)", ([^,]+), \d+, \d+, \d+, \d+)re");
  std::vector<TemplateControl> controls;
  std::smatch m;
  for (const std::string& line : Statements(ReadSource("src/resources/config_dialog.rc"), "IDD_CONFIG_DIALOG ")) {
    if (!std::regex_match(line, m, control) || !ids.contains(m[2])) {
      ADD_FAILURE() << "not a CONTROL statement of a known identifier: " << line;
      continue;
    }
    TemplateControl c{m[1], m[3], ids.at(m[2]), {}};
    std::istringstream terms(m[4].str());
    for (std::string term; std::getline(terms, term, '|');) c.styles.insert(Trim(term));
    controls.push_back(c);
  }
  return controls;
}

// What a template control is in the table's terms; nullopt for a frame.
std::optional<ControlKind> KindOf(const TemplateControl& c) {
  const std::string& k = c.window_class;
  if (k == "Button" && (c.Has("BS_PUSHBUTTON") || c.Has("BS_DEFPUSHBUTTON"))) return ControlKind::PushButton;
  if (k == "Button" && c.Has("BS_AUTOCHECKBOX")) return ControlKind::CheckBox;
  if (k == "Button" && c.Has("BS_AUTORADIOBUTTON")) return ControlKind::RadioButton;
  if (k == "Button" && c.Has("BS_GROUPBOX")) return std::nullopt;
  if (k == "Edit" && c.Has("ES_AUTOHSCROLL") && c.Has("WS_BORDER")) return ControlKind::Edit;
  if (k == "ScrollBar" && c.Has("SBS_HORZ")) return ControlKind::ScrollBar;
  if (k == "msctls_hotkey32" && c.Has("WS_BORDER")) return ControlKind::HotKey;
  if (k == "msctls_updown32" && c.styles == std::set<std::string>{"UDS_ARROWKEYS"}) return ControlKind::UpDown;
  if (k == "Static") return c.Has("SS_NOTIFY") ? ControlKind::ClickLabel : ControlKind::Label;
  ADD_FAILURE() << "control " << c.id << " \"" << c.caption << "\" is of no known kind";
  return std::nullopt;
}

bool IsTabStop(std::optional<ControlKind> kind) {
  return kind == ControlKind::PushButton || kind == ControlKind::CheckBox || kind == ControlKind::Edit ||
         kind == ControlKind::ScrollBar || kind == ControlKind::HotKey;
}

// The address of the (first) setting a row reaches, to tell settings apart.
struct AddressOf {
  const void* operator()(std::monostate) const { return nullptr; }
  const void* operator()(const ColorFields& f) const { return f.r; }
  const void* operator()(const IconFields& f) const { return f.file; }
  const void* operator()(const HotKeyFields& f) const { return f.virtkey; }
  const void* operator()(const void* member) const { return member; }
};
const void* Target(const ConfigControl& row, Settings& s) {
  return row.field == nullptr ? nullptr : std::visit(AddressOf{}, row.field(s));
}

TEST(ConfigDialogTemplate, ListsTheTableControlsInOrderWithTheirKindsTabStopsAndGroups) {
  const std::map<std::string, int> ids = ResourceIds();
  ASSERT_EQ(ids.at("IDD_CONFIG_DIALOG"), 136);
  const std::vector<TemplateControl> controls = ReadTemplate(ids);
  std::vector<int> template_ids, table_ids;
  for (const TemplateControl& c : controls) {
    if (c.id != -1) template_ids.push_back(c.id);
  }
  for (const ConfigControl& row : ConfigControls()) table_ids.push_back(row.id);
  // Both directions and the order at once; the order is the tab order.
  EXPECT_EQ(template_ids, table_ids);

  Settings s;
  const void* previous_radio_setting = nullptr;
  for (const TemplateControl& c : controls) {
    SCOPED_TRACE("control " + std::to_string(c.id) + " \"" + c.caption + "\"");
    const std::optional<ControlKind> kind = KindOf(c);
    const ConfigControl* row = FindConfigControl(c.id);
    if (c.id == -1) {
      EXPECT_TRUE(!kind || kind == ControlKind::Label);  // frames and plain labels
    } else if (row != nullptr) {
      EXPECT_EQ(kind, row->kind);
    }
    EXPECT_EQ(c.Has("WS_TABSTOP"), IsTabStop(kind));
    // A radio button starts a group exactly when it is the first of the set
    // that edits one setting; nothing else starts one.
    if (kind == ControlKind::RadioButton && row != nullptr) {
      EXPECT_EQ(c.Has("WS_GROUP"), Target(*row, s) != previous_radio_setting);
      previous_radio_setting = Target(*row, s);
    } else {
      EXPECT_FALSE(c.Has("WS_GROUP"));
    }
    // Only Cancel is hidden and disabled; only OK is the default.
    EXPECT_EQ(c.Has("NOT WS_VISIBLE"), c.id == 2);
    EXPECT_EQ(c.Has("WS_DISABLED"), c.id == 2);
    EXPECT_EQ(c.Has("BS_DEFPUSHBUTTON"), c.id == 1);
  }
}

TEST(ConfigDialogTemplate, ControlsReachTheirSettingsConsistently) {
  const std::vector<TemplateControl> controls = ReadTemplate(ResourceIds());
  Settings s;
  std::map<const void*, int> editor_of;
  for (const ConfigControl& row : ConfigControls()) {
    SCOPED_TRACE("control " + std::to_string(row.id));
    const auto c = std::ranges::find(controls, row.id, &TemplateControl::id);
    ASSERT_NE(c, controls.end());
    const ControlField field = row.field ? row.field(s) : ControlField{};
    const auto same_setting = [&](const ConfigControl& r) { return Target(r, s) == Target(row, s); };
    if (row.kind == ControlKind::ScrollBar || row.kind == ControlKind::UpDown) {
      // The label a bar writes its value to shows that same setting.
      EXPECT_TRUE(std::holds_alternative<std::int32_t*>(field));
      const ConfigControl* label = FindConfigControl(row.value_label);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->kind, ControlKind::Label);
      EXPECT_TRUE(same_setting(*label));
      EXPECT_LT(row.min, row.max);
    }
    if (row.kind == ControlKind::RadioButton || row.kind == ControlKind::ClickLabel) {
      // Values 0, 1, 2... of one setting, each once among the radios and
      // at most once among the click labels, which never stand for the
      // first radio: that one carries its own text.
      const auto radios = std::ranges::count_if(ConfigControls(), [&](const ConfigControl& r) {
        return r.kind == ControlKind::RadioButton && same_setting(r);
      });
      EXPECT_GE(radios, 2);
      EXPECT_LT(row.radio_value, radios);
      EXPECT_GE(row.radio_value, row.kind == ControlKind::ClickLabel ? 1 : 0);
      EXPECT_EQ(std::ranges::count_if(ConfigControls(),
                                      [&](const ConfigControl& r) {
                                        return r.kind == row.kind && same_setting(r) &&
                                               r.radio_value == row.radio_value;
                                      }),
                1);
    }
    // Check boxes, edits and bars each edit a setting of their own.
    if (row.kind == ControlKind::CheckBox || row.kind == ControlKind::Edit || row.kind == ControlKind::ScrollBar) {
      const auto [other, fresh] = editor_of.emplace(Target(row, s), row.id);
      EXPECT_TRUE(fresh) << "shares its setting with " << other->second;
    }
    // The labels that are more than text: the wallpaper paths (sunken, cut
    // in the middle, "&" shown as it is) and the bordered response time.
    const bool path = row.kind == ControlKind::Label && std::holds_alternative<std::wstring*>(field);
    EXPECT_EQ(c->Has("SS_SUNKEN") && c->Has("SS_PATHELLIPSIS") && c->Has("SS_NOPREFIX"), path);
    EXPECT_EQ(c->Has("SS_RIGHT") && c->Has("SS_CENTERIMAGE") && c->Has("WS_BORDER"),
              row.id == IDC_CFG_WINKEY_RESPONSE_VALUE);
  }
}

TEST(ConfigDialogTemplate, EveryTooltipInCreationOrderWithEnglishAndJapaneseText) {
  // The string table as written, escapes left as they are.
  const std::map<std::string, int> ids = ResourceIds();
  std::map<int, std::string> english, japanese;
  const std::regex entry(R"re((IDS_\w+)( \+ IDS_JAPANESE_OFFSET)?\s+"(.*)")re");
  std::smatch m;
  for (const std::string& line : Statements(ReadSource("src/resources/config_tooltips.rc"), "STRINGTABLE")) {
    if (!std::regex_match(line, m, entry) || !ids.contains(m[1])) {
      ADD_FAILURE() << "not an entry of a known string: " << line;
      continue;
    }
    auto& texts = m[2].matched ? japanese : english;
    EXPECT_TRUE(texts.emplace(ids.at(m[1]), m[3]).second) << "twice: " << m[1];
  }
  const auto lines = [](const std::string& text) {
    int count = 1;
    for (auto at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 1)) ++count;
    return count;
  };
  // The tips on two lines: {English, Japanese}; all others take one.
  const std::map<int, std::pair<int, int>> two_lines = {
      {IDC_CFG_LBUTTON_MODE_0, {2, 2}},        {IDC_CFG_LBUTTON_MODE_1, {2, 2}}, {IDC_CFG_WINKEY_RESPONSE, {2, 2}},
      {IDC_CFG_WINKEY_RESPONSE_VALUE, {2, 2}}, {IDC_CFG_REDRAW_TRAY, {1, 2}},    {IDC_CFG_OVERRIDE_WINKEY, {1, 2}},
  };

  const std::vector<const ConfigControl*> tips = ConfigTooltipOrder();
  ASSERT_EQ(tips.size(), static_cast<std::size_t>(kConfigTooltipCount));
  std::map<unsigned, std::vector<int>> controls_of_text;
  for (std::size_t i = 0; i < tips.size(); ++i) {
    const ConfigControl& row = *tips[i];
    SCOPED_TRACE("tooltip " + std::to_string(i + 1) + " of control " + std::to_string(row.id));
    EXPECT_EQ(row.tooltip_order, static_cast<int>(i + 1));
    controls_of_text[row.tooltip_text].push_back(row.id);
    const int id = static_cast<int>(row.tooltip_text);
    ASSERT_TRUE(english.contains(id) && japanese.contains(id));
    const std::string &en = english.at(id), &ja = japanese.at(id);
    EXPECT_TRUE(std::ranges::all_of(en, [](char c) { return static_cast<unsigned char>(c) < 0x80; })) << en;
    EXPECT_TRUE(std::ranges::any_of(ja, [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) << ja;
    const auto shape = two_lines.contains(row.id) ? two_lines.at(row.id) : std::pair{1, 1};
    EXPECT_EQ(lines(en), shape.first) << en;
    EXPECT_EQ(lines(ja), shape.second) << ja;
  }
  // The response-time label and its up-down control share one text, one
  // after the other; every other tip has its own, and the file holds no
  // text that no tip uses.
  EXPECT_EQ(controls_of_text.size(), 50u);
  EXPECT_EQ(controls_of_text.at(IDS_CFG_TIP_WINKEY_RESPONSE),
            (std::vector<int>{IDC_CFG_WINKEY_RESPONSE_VALUE, IDC_CFG_WINKEY_RESPONSE}));
  EXPECT_EQ(english.size(), 50u);
  EXPECT_EQ(japanese.size(), 50u);

  // Which controls carry one: every push button but OK and Cancel, every
  // check, radio, edit, bar, the hot key, the up-down and the response time.
  for (const ConfigControl& row : ConfigControls()) {
    const bool has_tip = row.kind == ControlKind::PushButton ? row.id > 2
                         : row.kind == ControlKind::Label    ? row.id == IDC_CFG_WINKEY_RESPONSE_VALUE
                                                             : row.kind != ControlKind::ClickLabel;
    EXPECT_EQ(row.tooltip_order != 0 && row.tooltip_text != 0, has_tip) << row.id;
  }
}

}  // namespace
}  // namespace veltra
