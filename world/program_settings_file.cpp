#include "world/program_settings_file.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace ombrivale {
namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsPlain(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("._()[]+-").find(c) != std::string_view::npos;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A value's text: inside double quotes with its escapes undone (up to the
// closing quote), else bare up to a ';' comment, trimmed.
std::string StringOf(std::string_view text) {
  if (text.empty() || text.front() != '"')
    return std::string(Trimmed(text.substr(0, text.find(';'))));
  std::string value;
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') break;
    if (c != '\\' || i + 1 == text.size()) {
      value += c;
      continue;
    }
    const char next = text[++i];
    switch (next) {
      case 'n':
        value += '\n';
        break;
      case 'r':
        value += '\r';
        break;
      case 't':
        value += '\t';
        break;
      case 'x': {
        int byte = 0;
        int digits = 0;
        while (digits < 2 && i + 1 < text.size() && HexDigit(text[i + 1]) >= 0) {
          byte = byte * 16 + HexDigit(text[++i]);
          ++digits;
        }
        value += digits > 0 ? static_cast<char>(byte) : 'x';
        break;
      }
      default:
        value += next;  // \" \\ and the rest stand for themselves
    }
  }
  return value;
}

bool TruthOf(std::string_view text) {
  const std::string value = StringOf(text);
  if (value.empty() || value == "0") return false;
  std::string lower = value;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return lower != "false";
}

// A whole int32 number with blanks around it; false when there is none.
bool ReadInteger(std::string_view text, int32_t& value) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

int32_t NumberOf(std::string_view text) {
  int32_t value = 0;
  return ReadInteger(StringOf(text), value) ? value : 0;
}

// "@Point(x y)" or "@Size(w h)": the two numbers, or false.
bool PairOf(std::string_view text, std::string_view kind, int32_t& first, int32_t& second) {
  const std::string value = StringOf(text);
  std::string_view rest(value);
  if (rest.size() < kind.size() + 2 || rest.substr(0, kind.size()) != kind || rest.back() != ')') {
    return false;
  }
  rest = rest.substr(kind.size(), rest.size() - kind.size() - 1);
  const size_t blank = rest.find(' ');
  if (blank == std::string_view::npos) return false;
  int32_t a = 0, b = 0;
  if (!ReadInteger(rest.substr(0, blank), a) || !ReadInteger(rest.substr(blank + 1), b)) {
    return false;
  }
  first = a;
  second = b;
  return true;
}

std::string Quoted(std::string_view value) {
  if (!value.empty() && std::all_of(value.begin(), value.end(), IsPlain)) return std::string(value);
  if (value.empty()) return {};
  std::string out = "\"";
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7f) {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

// True when a key the reading kept reads back as itself once written as a
// section and a name: a name that would not be a key's (empty, blank at an
// end, starting a comment or a section, holding '=' or a line end), a
// section that would not be its own ("[]", "[General]", a ']' or a line end
// in it) is left out.
bool Writable(std::string_view key) {
  const size_t slash = key.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? key : key.substr(slash + 1);
  if (name.empty() || name != Trimmed(name) ||
      name.find_first_of("=\n") != std::string_view::npos || name.front() == ';' ||
      name.front() == '#' || name.front() == '[') {
    return false;
  }
  if (slash == std::string_view::npos) return true;
  const std::string_view group = key.substr(0, slash);
  return !group.empty() && group != "General" &&
         group.find_first_of("]\n") == std::string_view::npos;
}

std::string PairText(std::string_view kind, int32_t first, int32_t second) {
  return std::string(kind) + std::to_string(first) + ' ' + std::to_string(second) + ')';
}

}  // namespace

ProgramSettingsFile ParseProgramSettings(std::string_view text) {
  ProgramSettingsFile settings;
  std::string section;
  while (!text.empty()) {
    const size_t cut = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, cut));
    text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      section = std::string(line.substr(1, close == std::string_view::npos ? close : close - 1));
      if (section == "General") section.clear();
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view name = Trimmed(line.substr(0, equals));
    if (name.empty()) continue;
    const std::string_view value = Trimmed(line.substr(equals + 1));
    // The group and the name: a '/' in a name (the key "statistics/page" in
    // [General], say) moves its first part to the group, as in QSettings.
    std::string full;
    std::string_view group = section;
    std::string_view last = name;
    if (name.find('/') != std::string_view::npos) {
      full = section.empty() ? std::string(name) : section + '/' + std::string(name);
      const size_t slash = full.rfind('/');
      group = std::string_view(full).substr(0, slash);
      last = std::string_view(full).substr(slash + 1);
    }
    const auto is = [group, last](std::string_view knownGroup, std::string_view knownName) {
      return group == knownGroup && last == knownName;
    };
    if (is("filters", "sacrificed")) {
      settings.showSacrificed = TruthOf(value);
    } else if (is("miniMap", "colourBy")) {
      settings.colourBy = StringOf(value);
    } else if (is("miniMap", "colourBySpecies")) {
      settings.colourBySpecies = TruthOf(value);
    } else if (is("run", "speed")) {
      settings.fast = StringOf(value) == "fast";
    } else if (is("statistics", "shown")) {
      settings.statisticsShown = TruthOf(value);
    } else if (is("statistics", "place")) {
      PairOf(value, "@Point(", settings.statisticsX, settings.statisticsY);
    } else if (is("statistics", "size")) {
      PairOf(value, "@Size(", settings.statisticsWidth, settings.statisticsHeight);
    } else if (is("statistics", "page")) {
      settings.statisticsPage = NumberOf(value);
    } else if (is("statistics", "gene_group")) {
      settings.geneGroup = NumberOf(value);
    } else if (is("statistics", "gene")) {
      settings.gene = StringOf(value);
    } else if (is("speciesTree", "shown")) {
      settings.speciesTreeShown = TruthOf(value);
    } else if (is("savepoints", "go_back_on_extinction")) {
      settings.goBackOnExtinction = TruthOf(value);
    } else if (is("savepoints", "kept")) {
      settings.savepointsKept = TruthOf(value);
    } else if (is("savepoints", "cap_mb")) {
      // A value that does not read keeps the default; one out of range is
      // brought within it.
      if (int32_t megabytes = 0; ReadInteger(StringOf(value), megabytes))
        settings.savepointCapMegabytes = std::clamp(megabytes, 1, kMaxSavepointCapMegabytes);
    } else if (is("worlds", "current")) {
      settings.currentWorld = StringOf(value);
    } else if (group == "worlds" && last.size() == 7 && last.substr(0, 6) == "recent" &&
               last[6] >= '1' && last[6] < static_cast<char>('1' + kRecentWorlds)) {
      const size_t index = static_cast<size_t>(last[6] - '1');
      if (settings.recentWorlds.size() <= index) settings.recentWorlds.resize(index + 1);
      settings.recentWorlds[index] = StringOf(value);
    } else {
      std::string key = !full.empty()     ? std::move(full)
                        : section.empty() ? std::string(name)
                                          : section + '/' + std::string(name);
      const auto same = [&key](const auto& other) { return other.first == key; };
      settings.others.erase(std::remove_if(settings.others.begin(), settings.others.end(), same),
                            settings.others.end());
      settings.others.emplace_back(std::move(key), std::string(value));
    }
  }
  return settings;
}

std::string ProgramSettingsText(const ProgramSettingsFile& settings) {
  // Section by section, keys sorted within each, as QSettings writes them.
  struct Entry {
    std::string_view group;
    std::string_view name;
    std::string value;
  };
  std::vector<Entry> entries;
  entries.reserve(settings.others.size() + 10);
  const auto put = [&entries](std::string_view key, std::string value) {
    const size_t slash = key.rfind('/');
    if (slash == std::string_view::npos) {
      entries.push_back({"General", key, std::move(value)});
    } else {
      entries.push_back({key.substr(0, slash), key.substr(slash + 1), std::move(value)});
    }
  };
  for (const auto& [key, value] : settings.others) {
    if (Writable(key)) put(key, std::string(Trimmed(value.substr(0, value.find('\n')))));
  }
  put("filters/sacrificed", settings.showSacrificed ? "true" : "false");
  if (!settings.colourBy.empty()) put("miniMap/colourBy", Quoted(settings.colourBy));
  put("miniMap/colourBySpecies", settings.colourBySpecies ? "true" : "false");
  put("run/speed", settings.fast ? "fast" : "real-time");
  put("statistics/gene", Quoted(settings.gene));
  put("statistics/gene_group", std::to_string(settings.geneGroup));
  put("statistics/page", std::to_string(settings.statisticsPage));
  put("statistics/place", PairText("@Point(", settings.statisticsX, settings.statisticsY));
  put("statistics/shown", settings.statisticsShown ? "true" : "false");
  put("statistics/size", PairText("@Size(", settings.statisticsWidth, settings.statisticsHeight));
  if (settings.speciesTreeShown) put("speciesTree/shown", "true");
  // Written only when not the defaults, as a file of a program before them.
  if (settings.savepointCapMegabytes != ProgramSettingsFile{}.savepointCapMegabytes)
    put("savepoints/cap_mb", std::to_string(settings.savepointCapMegabytes));
  if (!settings.savepointsKept) put("savepoints/kept", "false");
  if (settings.goBackOnExtinction) put("savepoints/go_back_on_extinction", "true");
  static constexpr std::string_view kRecentKeys[kRecentWorlds] = {
      "worlds/recent1", "worlds/recent2", "worlds/recent3", "worlds/recent4",
      "worlds/recent5", "worlds/recent6", "worlds/recent7", "worlds/recent8"};
  if (!settings.currentWorld.empty()) put("worlds/current", Quoted(settings.currentWorld));
  for (size_t i = 0; i < settings.recentWorlds.size() && i < kRecentWorlds; ++i)
    put(kRecentKeys[i], Quoted(settings.recentWorlds[i]));
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.group != b.group ? a.group < b.group : a.name < b.name;
  });
  std::string text;
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (i == 0 || e.group != entries[i - 1].group) {
      if (i > 0) text += '\n';
      text += '[';
      text += e.group;
      text += "]\n";
    }
    text += e.name;
    text += '=';
    text += e.value;
    text += '\n';
  }
  return text;
}

}  // namespace ombrivale
