// TExtIniFile: an INI text held in memory as ordered sections of verbatim lines, with typed
// reads and writes, multi-line string lists under one key, and explicit loads and saves.
//
// Text format: a header line starts with '[' and ends with ']' and is kept as written; every
// other line of two or more characters belongs to the last header before it (lines before the
// first header are dropped); a key line is name=value split at the first '='. Saved lines end
// with CR LF and each section is followed by an empty line; CR, LF, CR LF and NUL are read.
// Files are code page 932 (see persist/cp932.h); strings inside are UTF-8.
//
// Errors of loading and saving do not throw: the store keeps what it has, readers return their
// defaults. The outcome of a save is returned and its reason kept in LastError().
//
// One thread at a time: even the readers build lookup indexes on first use.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vexa {

// The folder put in front of a store's FileName.
enum TDefaultFolder : int32_t {
  dfAppData = 0,      // $XDG_CONFIG_HOME (or ~/.config) / <application name> /
  dfApplication = 1,  // the folder of the program file
  dfUser = 2,         // nothing: FileName is a full path
  dfWindows = 3,      // the system configuration folder, /etc/
};

class TExtIniFile {
 public:
  using TNotify = std::function<void(TExtIniFile&)>;

  // The program's own settings file: dfApplication, full path <program folder>/<program name>.ini,
  // AutoUpdate on; loads that file when it exists. Saved again when destroyed.
  TExtIniFile();
  // A store for the file at `fullPath` (may be empty for stream-only use): dfUser, AutoUpdate off.
  // Neither reads nor writes the disk until asked (Reload, Update, SaveToFile).
  explicit TExtIniFile(std::string fullPath);
  // Calls Update first when AutoUpdate is on and UpdateAtOnce is off.
  ~TExtIniFile();
  TExtIniFile(const TExtIniFile&) = delete;
  TExtIniFile& operator=(const TExtIniFile&) = delete;

  // --- File and options ---
  const std::string& FileName() const { return fileName_; }
  // Saves the current content to the old path first when AutoUpdate is on (only when not
  // empty), then switches to the new path and reloads from it.
  void SetFileName(const std::string& fileName);
  TDefaultFolder DefaultFolder() const { return defaultFolder_; }
  void SetDefaultFolder(TDefaultFolder folder);
  // The file that is loaded and saved.
  const std::string& FullPath() const { return fullPath_; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool on);
  bool AutoUpdate() const { return autoUpdate_; }
  void SetAutoUpdate(bool on) { autoUpdate_ = on; }
  bool UpdateAtOnce() const { return updateAtOnce_; }
  // Turning it on saves at once.
  void SetUpdateAtOnce(bool on);

  TNotify OnLoad;    // after a load has parsed a file or stream
  TNotify OnUpdate;  // after Update has saved (or tried to)

  // --- Sections and keys ---
  int SectionCount() const { return static_cast<int>(sections_.size()); }
  // Header without its first and last character; empty when out of range.
  std::string SectionName(int index) const;
  // Index of the last section with that header ('[' and ']' added when missing); -1 when absent.
  int SectionIndex(std::string_view section) const;
  // Index of the first line of the section named `key` (-1 when absent) and its value.
  int FindKey(std::string_view section, std::string_view key, std::string* value = nullptr) const;
  bool KeyExists(std::string_view section, std::string_view key) const { return FindKey(section, key) >= 0; }
  // Sets the first line named `key`; a new key goes to the end of its section. An empty value
  // moves the key to the end of its section. Creates the section at the end when absent.
  void PutValue(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key and, for the compound values "LIST", "FONT", "FORM" and "BOUNDS", its
  // sibling keys <key>.<part>.
  void DeleteKey(std::string_view section, std::string_view key);
  void Clear();

  // --- Typed access ---
  // 64-bit parse, low 32 bits returned ("4294967295" reads as -1).
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  int32_t ReadSignedInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  int32_t ReadColor(std::string_view section, std::string_view key, int32_t defaultValue) const;
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // The lines <key>.0 ... <key>.<count-1> that are present, count from <key>.count.
  void ReadStrings(std::string_view section, std::string_view key, std::vector<std::string>& list) const;

  // Unsigned decimal of the 32-bit value (-1 is written 4294967295).
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteSignedInteger(std::string_view section, std::string_view key, int32_t value);
  // "$" and 8 upper-case hexadecimal digits.
  void WriteColor(std::string_view section, std::string_view key, int32_t value);
  // Line breaks and NUL in the value are written as spaces (a value is one line).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // key=LIST, <key>.count, <key>.<i>; lines left over from a longer list are deleted.
  void WriteStrings(std::string_view section, std::string_view key, const std::vector<std::string>& list);

  // --- Whole content ---
  // Replaces the content with the text from the stream's position to its end; fires OnLoad.
  void LoadFromStream(std::istream& stream);
  // The same for the bytes of a file already in memory.
  void LoadFromBytes(std::string_view bytes);
  // Replaces the content with the file at FullPath() (empty when it does not exist); fires OnLoad
  // when a file was read. False when the file exists but could not be read (see LastError()).
  bool Reload();
  // The file's bytes for the current content (encoded); empty for an empty store.
  std::string BuildText() const;
  // Writes BuildText() to the stream when not empty; false when the stream failed.
  bool SaveToStream(std::ostream& stream) const;
  // Writes the file at FullPath() (an empty store gives an empty file unless `onlyIfNotEmpty`).
  // True when the bytes reached the disk (or nothing had to be written). The old file is
  // replaced only once the new one is complete.
  bool SaveToFile(bool onlyIfNotEmpty);
  // SaveToFile(false), then OnUpdate; returns the result of the save.
  bool Update();
  // Reason of the last failed load or save ("<path>: <system message>"); empty after success.
  const std::string& LastError() const { return lastError_; }

  // --- Folders ---
  // The folder for a TDefaultFolder value, ending with '/' unless empty; created when missing.
  static std::string FolderOf(TDefaultFolder folder);
  // The program file's name without folder and extension.
  static std::string ApplicationName();
  // The folder of the program file, ending with '/'.
  static std::string ApplicationFolder();

 private:
  struct TSection {
    std::string Header;
    std::vector<std::string> Lines;
    // Lazily built: name (folded unless case-sensitive) -> index of its first line.
    mutable std::unordered_map<std::string, size_t> KeyIndex;
    mutable bool IndexValid = false;
    mutable bool IndexCaseSensitive = false;
  };

  std::string NameKey(std::string_view name) const;
  void RebuildSectionIndex();
  void ParseText(std::string_view text);
  TSection& AppendSection(std::string header);
  const TSection* FindSection(std::string_view section) const;
  TSection* FindSection(std::string_view section);
  TSection& SectionForWrite(std::string_view section);
  int FindLine(const TSection& s, std::string_view key) const;
  void RemoveLine(TSection& s, size_t index);
  // Indexes of the first lines named <key>.<n> for every n in [from, to), in ascending n.
  std::vector<std::pair<int32_t, size_t>> NumberedSiblings(const TSection& s, std::string_view key,
                                                           int64_t from, int64_t to) const;
  void RemoveLines(TSection& s, std::vector<size_t> indexes);
  void SwitchTo(std::string fullPath);
  void UpdateIfAtOnce();

  std::vector<TSection> sections_;
  std::unordered_map<std::string, size_t> sectionIndex_;  // header key -> last section with it
  std::string fileName_;
  std::string fullPath_;
  TDefaultFolder defaultFolder_ = dfUser;
  bool caseSensitive_ = false;
  bool autoUpdate_ = false;
  bool updateAtOnce_ = false;
  std::string lastError_;
};

}  // namespace vexa
