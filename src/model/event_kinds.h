// The table of event kinds and their parameters. Each kind's parameters are described once
// here (record field, file key, writer, missing-key default, dialog range and initial value);
// persistence, list rows, dialogs and tests read this table instead of naming fields again.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "events.h"

namespace vexa {

// How a value is written to a file (and, unless ReadAs says otherwise, read back).
enum class TValueWriter : uint8_t {
  Unsigned,  // WriteInteger / ReadInteger: unsigned decimal of the low 32 bits
  Signed,    // WriteSignedInteger / ReadSignedInteger
  Color,     // WriteColor / ReadColor: "$" and 8 hexadecimal digits
  String,    // WriteString / ReadString
  Lines,     // WriteStrings / ReadStrings: a CR LF separated text as a list of lines
  Path,      // a file path under two keys: as held (Key) and relative to the file (RelKey)
};

using TFieldRef = std::variant<int32_t*, int64_t*, std::string*>;

struct TParamDesc {
  std::string_view Field;        // record field, "StartX" or "Font.Name"
  std::string_view Key;          // file key (for paths: the full-path key)
  std::string_view RelKey;       // paths only: the relative key
  TValueWriter Writer;           // how it is written
  TValueWriter ReadAs;           // how it is read back (differs only for colour revision)
  int64_t Default;               // value when the key is missing (numbers only; strings: empty)
  int64_t Min, Max;              // range the editing dialog allows
  int64_t Initial;               // value of a new event whose dialog is left untouched
  std::string_view InitialText;  // the same for string fields
  TFieldRef (*Ref)(TEvent&);     // the field inside a record of the kind

  bool IsString() const {
    return Writer == TValueWriter::String || Writer == TValueWriter::Lines || Writer == TValueWriter::Path;
  }
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

// Typed access to a parameter of a record of the descriptor's kind.
int64_t GetParamInt(const TParamDesc& p, const TEvent& e);
void SetParamInt(const TParamDesc& p, TEvent& e, int64_t v);  // int32 fields keep the low 32 bits
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
