// The table of event kinds and their parameters. Each kind's parameters are described once
// here, one row per record field, in three separate parts:
//  - the field itself: its name and its value type, taken from the record member;
//  - its file spelling (key, writer, reader, missing-key default), read only by persistence;
//  - its dialog range and initial value, read only by the editor.
// Effects and list rows do not look fields up here: they read the typed members of their own
// record, which the compiler checks.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "events.h"

namespace vexa {

// The value type of a field, as its record member has it.
enum class TFieldType : uint8_t {
  Int32,   // signed 32-bit: every parameter unless said otherwise
  UInt32,  // unsigned 32-bit: the movie's frame (or millisecond) range
  Int64,   // signed 64-bit: the sound's sample range
  String,
};

// How a value is spelled in a layer file (the writer, and the reader that reads it back).
enum class TValueWriter : uint8_t {
  Unsigned,  // WriteInteger / ReadInteger: unsigned decimal of the low 32 bits
  Signed,    // WriteSignedInteger / ReadSignedInteger
  Color,     // WriteColor / ReadColor: "$" and 8 hexadecimal digits
  String,    // WriteString / ReadString
  Lines,     // WriteStrings / ReadStrings: a CR LF separated text as a list of lines
  Path,      // a file path under two keys: as held (Key) and relative to the file (RelKey)
};

// The file part of a row: only persistence reads it.
struct TFileSpelling {
  std::string_view Key;     // file key (for paths: the full-path key)
  std::string_view RelKey;  // paths only: the relative key
  TValueWriter Writer;      // how it is written
  TValueWriter Reader;      // how it is read back (differs only for colour revision)
  int64_t Default = 0;      // value when the key is missing (numbers only; strings: empty)
};

// The dialog part of a row: only the editor reads it.
struct TDialogRange {
  int64_t Min = 0, Max = 0;      // range the editing dialog allows
  int64_t Initial = 0;           // value of a new event whose dialog is left untouched
  std::string_view InitialText;  // the same for string fields
};

using TFieldRef = std::variant<int32_t*, uint32_t*, int64_t*, std::string*>;

struct TParamDesc {
  std::string_view Field;     // record field, "StartX" or "Font.Name"
  TFieldType Type;            // from the member
  TFieldRef (*Ref)(TEvent&);  // the field inside a record of the kind
  TFileSpelling File;
  TDialogRange Dialog;

  bool IsString() const { return Type == TFieldType::String; }
};

enum class TKindClass : uint8_t { Source, Effect, Sound };

struct TKindInfo {
  int32_t Code;
  std::string_view RecordName;  // "TGraphicEffectPositionEvent"
  std::string_view MenuName;    // "移動"; empty for the sound source
  int Slot;                     // index of the per-kind list in a graphic layer, -1 for sound
  TKindClass Class;
  std::span<const TParamDesc> Params;
  std::unique_ptr<TEvent> (*Create)();
  std::unique_ptr<TEvent> (*Clone)(const TEvent&);
  void (*Assign)(TEvent& target, const TEvent& source);
};

inline constexpr int GraphicSlotCount = 27;
inline constexpr int SourceSlotCount = 4;
inline constexpr int EffectSlotCount = GraphicSlotCount - SourceSlotCount;

// Every kind: the 27 graphic kinds in slot order, then the sound source.
std::span<const TKindInfo> AllKinds();
// The kind of a code, or nullptr for a code outside the table (1008, 2005, -1 ...).
const TKindInfo* KindInfo(int32_t code);
// Slot of a graphic kind, -1 for sound and unknown codes.
int SlotOfKind(int32_t code);
const TKindInfo& KindOfSlot(int slot);

// Generic access to a field of a record of the descriptor's kind, for the code that handles
// every kind alike (persistence, the editor's forms, tests). The value keeps the field's
// type: a signed field sign-extends, an unsigned one zero-extends.
int64_t GetParamInt(const TParamDesc& p, const TEvent& e);
// 32-bit fields keep the low 32 bits.
void SetParamInt(const TParamDesc& p, TEvent& e, int64_t v);
const std::string& GetParamString(const TParamDesc& p, const TEvent& e);
void SetParamString(const TParamDesc& p, TEvent& e, std::string v);
const TParamDesc* FindParam(const TKindInfo& k, std::string_view field);

// A new zeroed record of the kind, or nullptr for a code outside the table.
std::unique_ptr<TEvent> NewEvent(int32_t code);
// A new record with the values a dialog gives a new event when the user changes nothing.
std::unique_ptr<TEvent> NewEventWithInitialValues(int32_t code);
// A deep copy (strings copied), or nullptr when the code is outside the table.
std::unique_ptr<TEvent> CopyEvent(const TEvent& e);
// Gives target every field of source, header included (editing commands change an event in
// place so that rows and selections keep referring to it). False, changing nothing, when the
// two are of different kinds or the kind is outside the table.
bool AssignEvent(TEvent& target, const TEvent& source);

}  // namespace vexa
