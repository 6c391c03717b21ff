#include "persist/ext_ini_file.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <unordered_set>
#include <utility>

#include "persist/atomic_file.h"
#include "persist/case_fold.h"
#include "persist/cp932.h"
#include "persist/ini_number.h"
#include "persist/persist_error.h"
#include "persist/whole_file.h"

namespace vexa {

namespace {

constexpr const char* kFontParts[] = {".charset", ".color", ".height", ".name", ".pitch",
                                      ".b",       ".i",     ".u",      ".s"};
constexpr const char* kFormParts[] = {".flags", ".show",  ".state",  ".mx",     ".my",     ".left",
                                      ".top",   ".right", ".bottom", ".cwidth", ".cheight"};
constexpr const char* kBoundsParts[] = {".left", ".top", ".width", ".height"};

// "[name]" for "name"; brackets already there are kept; the empty name stays empty.
std::string NormalizeHeader(std::string_view section) {
  std::string header(section);
  if (header.empty()) return header;
  if (header.front() != '[') header.insert(header.begin(), '[');
  if (header.back() != ']') header.push_back(']');
  return header;
}

// A value or name is one line: line breaks and NUL would split it or end the file early.
std::string OneLine(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return s;
}

std::string_view LineValue(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// The number a decimal suffix as written by std::to_string stands for, or -1.
int64_t CanonicalIndex(std::string_view digits) {
  if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return -1;
  int64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// The signed reader's parse. Its rewrite of a leading "0x" to "$" needs no step of its own:
// the number syntax accepts both prefixes alike.
std::optional<int32_t> ParseSigned(std::string_view value) {
  return ParseIniInt32(value);
}

void EnsureFolder(const std::string& folder) {
  if (folder.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
}

std::string ConfigHome() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    std::string home;
    if (const char* h = std::getenv("HOME"); h != nullptr && h[0] != '\0') {
      home = h;
    } else {
      struct passwd pw {};
      struct passwd* found = nullptr;
      char buf[4096];
      if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &found) == 0 && found != nullptr) home = found->pw_dir;
    }
    base = home + "/.config";
  }
  while (!base.empty() && base.back() == '/')
    base.pop_back();
  return base;
}

std::filesystem::path ProgramFile() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

}  // namespace

// --- Construction ---

TExtIniFile::TExtIniFile()
    : fullPath_(ApplicationFolder() + ApplicationName() + ".ini"),
      defaultFolder_(dfApplication),
      autoUpdate_(true) {
  Reload();
}

TExtIniFile::TExtIniFile(std::string fullPath) : fileName_(fullPath), fullPath_(std::move(fullPath)) {}

TExtIniFile::~TExtIniFile() {
  if (autoUpdate_ && !updateAtOnce_) {
    try {
      Update();
    } catch (...) {
      // A destructor must not throw; a failing notification cannot be reported from here.
    }
  }
}

// --- File and options ---

void TExtIniFile::SetFileName(const std::string& fileName) {
  if (autoUpdate_) SaveToFile(true);
  fileName_ = fileName;
  SwitchTo(FolderOf(defaultFolder_) + fileName_);
}

void TExtIniFile::SetDefaultFolder(TDefaultFolder folder) {
  if (autoUpdate_) SaveToFile(true);
  defaultFolder_ = folder;
  SwitchTo(FolderOf(defaultFolder_) + fileName_);
}

void TExtIniFile::SwitchTo(std::string fullPath) {
  fullPath_ = std::move(fullPath);
  Reload();
}

void TExtIniFile::SetCaseSensitive(bool on) {
  if (on == caseSensitive_) return;
  caseSensitive_ = on;
  RebuildSectionIndex();
}

void TExtIniFile::SetUpdateAtOnce(bool on) {
  updateAtOnce_ = on;
  if (on) Update();
}

void TExtIniFile::UpdateIfAtOnce() {
  if (updateAtOnce_) Update();
}

// --- Lookup ---

std::string TExtIniFile::NameKey(std::string_view name) const {
  return caseSensitive_ ? std::string(name) : FoldCase(name);
}

void TExtIniFile::RebuildSectionIndex() {
  sectionIndex_.clear();
  for (size_t i = 0; i < sections_.size(); ++i)
    sectionIndex_[NameKey(sections_[i].Header)] = i;
}

TExtIniFile::TSection& TExtIniFile::AppendSection(std::string header) {
  sections_.emplace_back();
  TSection& s = sections_.back();
  s.Header = std::move(header);
  sectionIndex_[NameKey(s.Header)] = sections_.size() - 1;  // a later duplicate wins
  return s;
}

const TExtIniFile::TSection* TExtIniFile::FindSection(std::string_view section) const {
  if (section.empty()) return nullptr;
  const auto it = sectionIndex_.find(NameKey(NormalizeHeader(section)));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

TExtIniFile::TSection* TExtIniFile::FindSection(std::string_view section) {
  return const_cast<TSection*>(std::as_const(*this).FindSection(section));
}

TExtIniFile::TSection& TExtIniFile::SectionForWrite(std::string_view section) {
  if (TSection* s = FindSection(section)) return *s;
  return AppendSection(NormalizeHeader(section));
}

int TExtIniFile::FindLine(const TSection& s, std::string_view key) const {
  if (!s.IndexValid || s.IndexCaseSensitive != caseSensitive_) {
    s.KeyIndex.clear();
    for (size_t i = 0; i < s.Lines.size(); ++i) {
      const size_t eq = s.Lines[i].find('=');
      if (eq != std::string::npos) s.KeyIndex.emplace(NameKey(std::string_view(s.Lines[i]).substr(0, eq)), i);
    }
    s.IndexValid = true;
    s.IndexCaseSensitive = caseSensitive_;
  }
  const auto it = s.KeyIndex.find(NameKey(key));
  return it == s.KeyIndex.end() ? -1 : static_cast<int>(it->second);
}

void TExtIniFile::RemoveLine(TSection& s, size_t index) {
  s.Lines.erase(s.Lines.begin() + static_cast<std::ptrdiff_t>(index));
  s.IndexValid = false;
}

void TExtIniFile::RemoveLines(TSection& s, std::vector<size_t> indexes) {
  if (indexes.empty()) return;
  std::sort(indexes.begin(), indexes.end());
  size_t next = 0;
  size_t out = 0;
  for (size_t i = 0; i < s.Lines.size(); ++i) {
    if (next < indexes.size() && indexes[next] == i) {
      ++next;
      continue;
    }
    if (out != i) s.Lines[out] = std::move(s.Lines[i]);
    ++out;
  }
  s.Lines.resize(out);
  s.IndexValid = false;
}

std::vector<std::pair<int32_t, size_t>> TExtIniFile::NumberedSiblings(const TSection& s, std::string_view key,
                                                                      int64_t from, int64_t to) const {
  // One pass over the section instead of one lookup per number: a count read from a file may
  // be huge while the section holds only a few lines.
  std::vector<std::pair<int32_t, size_t>> found;
  if (to <= from) return found;
  const std::string wanted = NameKey(key);
  std::unordered_set<int64_t> seen;
  for (size_t i = 0; i < s.Lines.size(); ++i) {
    const std::string_view line = s.Lines[i];
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, eq);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) continue;
    const int64_t n = CanonicalIndex(name.substr(dot + 1));
    if (n < from || n >= to || seen.count(n) != 0) continue;
    if (NameKey(name.substr(0, dot)) != wanted) continue;
    seen.insert(n);
    found.emplace_back(static_cast<int32_t>(n), i);
  }
  std::sort(found.begin(), found.end());
  return found;
}

// --- Sections and keys ---

std::string TExtIniFile::SectionName(int index) const {
  if (index < 0 || index >= SectionCount()) return {};
  const std::string& h = sections_[static_cast<size_t>(index)].Header;
  return h.size() < 2 ? std::string() : h.substr(1, h.size() - 2);
}

int TExtIniFile::SectionIndex(std::string_view section) const {
  const TSection* s = FindSection(section);
  return s == nullptr ? -1 : static_cast<int>(s - sections_.data());
}

int TExtIniFile::FindKey(std::string_view section, std::string_view key, std::string* value) const {
  const TSection* s = FindSection(section);
  if (s == nullptr) return -1;
  const int i = FindLine(*s, key);
  if (i >= 0 && value != nullptr) *value = LineValue(s->Lines[static_cast<size_t>(i)]);
  return i;
}

void TExtIniFile::PutValue(std::string_view section, std::string_view key, std::string_view value) {
  // A section without a name could never be found again; every write would add another one.
  if (section.empty()) return;
  const std::string cleanSection = OneLine(section);
  const std::string cleanKey = OneLine(key);
  TSection& s = SectionForWrite(cleanSection);
  std::string line = cleanKey + "=" + OneLine(value);
  const int i = FindLine(s, cleanKey);
  if (!value.empty() && i >= 0) {
    s.Lines[static_cast<size_t>(i)] = std::move(line);
    return;
  }
  if (i >= 0) RemoveLine(s, static_cast<size_t>(i));
  s.Lines.push_back(std::move(line));
  if (s.IndexValid) {
    const std::string_view added = s.Lines.back();
    s.KeyIndex.emplace(NameKey(added.substr(0, added.find('='))), s.Lines.size() - 1);
  }
}

void TExtIniFile::DeleteKey(std::string_view section, std::string_view key) {
  TSection* s = FindSection(section);
  if (s == nullptr) return;
  const int i = FindLine(*s, key);
  if (i < 0) return;
  const std::string word = AsciiUpper(LineValue(s->Lines[static_cast<size_t>(i)]));
  RemoveLine(*s, static_cast<size_t>(i));

  const std::string base(key);
  auto removeIfPresent = [&](const std::string& name) {
    const int k = FindLine(*s, name);
    if (k >= 0) RemoveLine(*s, static_cast<size_t>(k));
  };
  if (word == "LIST") {
    int32_t count = 0;
    const int k = FindLine(*s, base + ".count");
    if (k >= 0) {
      count = ParseSigned(LineValue(s->Lines[static_cast<size_t>(k)])).value_or(0);
      RemoveLine(*s, static_cast<size_t>(k));
    }
    std::vector<size_t> lines;
    for (const auto& [n, index] : NumberedSiblings(*s, key, 0, count))
      lines.push_back(index);
    RemoveLines(*s, std::move(lines));
  } else if (word == "FONT") {
    for (const char* part : kFontParts)
      removeIfPresent(base + part);
  } else if (word == "FORM") {
    for (const char* part : kFormParts)
      removeIfPresent(base + part);
  } else if (word == "BOUNDS") {
    for (const char* part : kBoundsParts)
      removeIfPresent(base + part);
  }
  UpdateIfAtOnce();
}

void TExtIniFile::Clear() {
  sections_.clear();
  sectionIndex_.clear();
}

// --- Typed access ---

int32_t TExtIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
  std::string value;
  if (FindKey(section, key, &value) < 0) return defaultValue;
  const auto n = ParseIniInt64(value);
  return n ? static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(*n))) : defaultValue;
}

int32_t TExtIniFile::ReadSignedInteger(std::string_view section, std::string_view key,
                                       int32_t defaultValue) const {
  std::string value;
  if (FindKey(section, key, &value) < 0) return defaultValue;
  return ParseSigned(value).value_or(defaultValue);
}

int32_t TExtIniFile::ReadColor(std::string_view section, std::string_view key, int32_t defaultValue) const {
  return ReadSignedInteger(section, key, defaultValue);
}

std::string TExtIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  std::string value;
  if (FindKey(section, key, &value) < 0) return std::string(defaultValue);
  return value;
}

void TExtIniFile::ReadStrings(std::string_view section, std::string_view key,
                              std::vector<std::string>& list) const {
  list.clear();
  const std::string base(key);
  const int32_t count = ReadSignedInteger(section, base + ".count", 0);
  const TSection* s = FindSection(section);
  if (count <= 0 || s == nullptr) return;
  if (static_cast<size_t>(count) <= s->Lines.size()) {
    std::string value;
    for (int32_t i = 0; i < count; ++i)
      if (FindKey(section, base + "." + std::to_string(i), &value) >= 0) list.push_back(value);
    return;
  }
  for (const auto& [n, index] : NumberedSiblings(*s, key, 0, count))
    list.emplace_back(LineValue(s->Lines[index]));
}

void TExtIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  PutValue(section, key, std::to_string(static_cast<uint32_t>(value)));
  UpdateIfAtOnce();
}

void TExtIniFile::WriteSignedInteger(std::string_view section, std::string_view key, int32_t value) {
  PutValue(section, key, std::to_string(value));
  UpdateIfAtOnce();
}

void TExtIniFile::WriteColor(std::string_view section, std::string_view key, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<uint32_t>(value));
  PutValue(section, key, text);
  UpdateIfAtOnce();
}

void TExtIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  PutValue(section, key, value);
  UpdateIfAtOnce();
}

void TExtIniFile::WriteStrings(std::string_view section, std::string_view key,
                               const std::vector<std::string>& list) {
  if (section.empty()) return;
  const std::string base(key);
  const int32_t previous = ReadSignedInteger(section, base + ".count", 0);
  const auto count = static_cast<int32_t>(std::min<size_t>(list.size(), INT32_MAX));
  PutValue(section, key, "LIST");
  PutValue(section, base + ".count", std::to_string(count));
  for (int32_t i = 0; i < count; ++i)
    PutValue(section, base + "." + std::to_string(i), list[static_cast<size_t>(i)]);
  if (previous > count) {
    // Only the lines that exist need a DeleteKey; taking them from the section keeps a huge
    // stale count from turning into billions of lookups.
    std::vector<std::pair<int32_t, size_t>> stale;
    if (const TSection* s = FindSection(section)) stale = NumberedSiblings(*s, key, count, previous);
    for (auto it = stale.rbegin(); it != stale.rend(); ++it)
      DeleteKey(section, base + "." + std::to_string(it->first));
  }
  UpdateIfAtOnce();
}

// --- Whole content ---

void TExtIniFile::ParseText(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    size_t end = i;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
      ++end;
    const std::string_view line = text.substr(i, end - i);
    if (line.size() >= 2) {
      if (line.front() == '[' && line.back() == ']') {
        AppendSection(std::string(line));
      } else if (!sections_.empty()) {
        TSection& s = sections_.back();
        s.Lines.emplace_back(line);
        s.IndexValid = false;
      }
    }
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    i = end + 1;
  }
}

void TExtIniFile::LoadFromBytes(std::string_view bytes) {
  Clear();
  const size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  ParseText(DecodeFileText(bytes));
  if (OnLoad) OnLoad(*this);
}

void TExtIniFile::LoadFromStream(std::istream& stream) {
  const std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  LoadFromBytes(bytes);
}

bool TExtIniFile::Reload() {
  Clear();
  lastError_.clear();
  struct stat st {};
  if (fullPath_.empty() || ::stat(fullPath_.c_str(), &st) != 0) return true;  // no file: empty store
  std::string bytes;
  const bool ok = ReadWholeFile(fullPath_, bytes, lastError_);
  if (!ok) {
    // Keep what could be read, as far as it parses.
    const size_t nul = bytes.find('\0');
    ParseText(DecodeFileText(std::string_view(bytes).substr(0, nul)));
    return false;
  }
  LoadFromBytes(bytes);
  return true;
}

std::string TExtIniFile::BuildText() const {
  if (sections_.empty()) return {};
  std::string text;
  for (const TSection& s : sections_) {
    text += s.Header;
    text += "\r\n";
    for (const std::string& line : s.Lines) {
      text += line;
      text += "\r\n";
    }
    text += "\r\n";
  }
  return EncodeFileText(text);
}

bool TExtIniFile::SaveToStream(std::ostream& stream) const {
  const std::string text = BuildText();
  if (text.empty()) return true;
  stream.write(text.data(), static_cast<std::streamsize>(text.size()));
  return stream.good();
}

bool TExtIniFile::SaveToFile(bool onlyIfNotEmpty) {
  lastError_.clear();
  const std::string text = BuildText();
  if (onlyIfNotEmpty && text.empty()) return true;
  try {
    WriteFileAtomic(fullPath_, text);
  } catch (const std::exception& e) {
    lastError_ = e.what();
    return false;
  }
  return true;
}

bool TExtIniFile::Update() {
  const bool ok = SaveToFile(false);
  if (OnUpdate) OnUpdate(*this);
  return ok;
}

// --- Folders ---

std::string TExtIniFile::ApplicationName() {
  return ProgramFile().stem().string();
}

std::string TExtIniFile::ApplicationFolder() {
  const std::filesystem::path exe = ProgramFile();
  if (exe.empty()) return {};
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string TExtIniFile::FolderOf(TDefaultFolder folder) {
  std::string path;
  switch (folder) {
    case dfAppData:
      path = ConfigHome() + "/" + ApplicationName() + "/";
      break;
    case dfApplication:
      path = ApplicationFolder();
      break;
    case dfUser:
      return {};
    case dfWindows:
      path = "/etc/";
      break;
  }
  EnsureFolder(path);
  return path;
}

}  // namespace vexa
