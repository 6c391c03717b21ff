#include <gtest/gtest.h>

#include "persist/case_fold.h"
#include "persist/cp932.h"
#include "persist/ext_ini_file.h"

namespace vexa {
namespace {

// Shift_JIS codes of the texts, from the JIS X 0208 tables.
const std::string kMsPGothicSjis = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
const std::string kNewProjectSjis = "\x90\x56\x8B\x4B\x83\x76\x83\x8D\x83\x57\x83\x46\x83\x4E\x83\x67";
const std::string kErrorSjis = "\x83\x47\x83\x89\x81\x5B";
// "ソフト表示": two characters whose second byte is 0x5C, the backslash.
const std::string kSoftDisplaySjis = "\x83\x5C\x83\x74\x83\x67\x95\x5C\x8E\xA6";

std::string Cp932File() {
  return "[General]\r\nProjectName=" + kNewProjectSjis + "\r\nFont.Name=" + kMsPGothicSjis +
         "\r\nLayerName=" + kErrorSjis + "\r\nPath=C:\\" + kSoftDisplaySjis + "\\a~b.png\r\n\r\n";
}

TEST(IniEncoding, Cp932FilesRoundTripByteForByte) {
  TExtIniFile ini("");
  ini.LoadFromBytes(Cp932File());
  EXPECT_EQ(ini.ReadString("General", "ProjectName", ""), "新規プロジェクト");
  EXPECT_EQ(ini.ReadString("General", "Font.Name", ""), "ＭＳ Ｐゴシック");
  EXPECT_EQ(ini.ReadString("General", "LayerName", ""), "エラー");
  EXPECT_EQ(ini.ReadString("General", "Path", ""), "C:\\ソフト表示\\a~b.png");
  EXPECT_EQ(ini.BuildText(), Cp932File());

  // Written from UTF-8 strings the same bytes come out.
  TExtIniFile fresh("");
  fresh.WriteString("General", "ProjectName", "新規プロジェクト");
  fresh.WriteString("General", "Font.Name", "ＭＳ Ｐゴシック");
  fresh.WriteString("General", "LayerName", "エラー");
  fresh.WriteString("General", "Path", "C:\\ソフト表示\\a~b.png");
  EXPECT_EQ(fresh.BuildText(), Cp932File());
}

TEST(IniEncoding, TextOutsideCp932IsSavedAsUtf8WithByteOrderMark) {
  // Emoji, Latin letters outside the code page, WAVE DASH and YEN SIGN (which code page 932
  // would turn into FULLWIDTH TILDE and a backslash), and a file name that is not UTF-8 at all.
  const std::vector<std::string> values = {"clip 😀.png", "Łódź", "〜", "¥100", "/home/u/\xFF\xFE.png"};
  for (const std::string& value : values) {
    TExtIniFile ini("");
    ini.WriteString("General", "LayerName", "エラー");
    ini.WriteString("General", "FileName", value);
    const std::string bytes = ini.BuildText();
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << value;
    EXPECT_EQ(bytes.substr(3), "[General]\r\nLayerName=エラー\r\nFileName=" + value + "\r\n\r\n");
    TExtIniFile back("");
    back.LoadFromBytes(bytes);
    EXPECT_EQ(back.ReadString("General", "FileName", ""), value);
    EXPECT_EQ(back.ReadString("General", "LayerName", ""), "エラー");
    EXPECT_EQ(back.BuildText(), bytes);
  }
  // FULLWIDTH TILDE is in the code page and stays there.
  TExtIniFile tilde("");
  tilde.WriteString("S", "k", "～");
  EXPECT_EQ(tilde.BuildText(), "[S]\r\nk=\x81\x60\r\n\r\n");
}

TEST(IniEncoding, Cp932ThatIsAlsoValidUtf8ReadsAsCp932) {
  // "ﾏｲﾅｽ" in half-width katakana is CF B2 C5 BD, which is also valid UTF-8 ("ϲŽ").
  const std::string file = "[General]\r\nProjectName=\xCF\xB2\xC5\xBD\r\n\r\n";
  TExtIniFile ini("");
  ini.LoadFromBytes(file);
  EXPECT_EQ(ini.ReadString("General", "ProjectName", ""), "ﾏｲﾅｽ");
  TExtIniFile fresh("");
  fresh.WriteString("General", "ProjectName", "ﾏｲﾅｽ");
  EXPECT_EQ(fresh.BuildText(), file);
  // A kanji coded E3 81 followed by the katakana 83 41 looks like UTF-8 too, and stays code page 932.
  std::string text;
  ASSERT_TRUE(Cp932ToUtf8("\xE3\x81\x83\x41", text));
  TExtIniFile kanji("");
  kanji.WriteString("S", "k", text);
  EXPECT_EQ(kanji.BuildText(), "[S]\r\nk=\xE3\x81\x83\x41\r\n\r\n");
}

TEST(IniEncoding, Utf8FilesWithoutByteOrderMarkAreRecognisedWhenNotCp932) {
  // Neither text is code page 932 (the emoji would only decode into its user-defined area).
  TExtIniFile ini("");
  ini.LoadFromBytes("[General]\r\nName=Ключ\r\nk=😀\r\n");
  EXPECT_EQ(ini.ReadString("General", "Name", ""), "Ключ");
  EXPECT_EQ(ini.ReadString("General", "k", ""), "😀");
}

TEST(IniEncoding, BrokenBytesAreReplacedNotFatal) {
  TExtIniFile ini("");
  // A lead byte before a line end, bytes that are never code page 932, a lead byte at the end.
  ini.LoadFromBytes("[S]\r\na=\x82\r\nb=\xFF\xFDok" + kErrorSjis + "\r\nc=x\x81");
  EXPECT_EQ(ini.ReadString("S", "a", ""), "\xEF\xBF\xBD");
  EXPECT_EQ(ini.ReadString("S", "b", ""), "\xEF\xBF\xBD\xEF\xBF\xBDokエラー");
  EXPECT_EQ(ini.ReadString("S", "c", ""), "x\xEF\xBF\xBD");

  std::string out;
  EXPECT_FALSE(Cp932ToUtf8("\x82", out));
  EXPECT_FALSE(Utf8ToCp932("\xC3", out));
  EXPECT_EQ(Cp932ToUtf8Lenient(""), "");
}

TEST(IniEncoding, ByteOrderMarkedFilesAreReadAsUtf8) {
  TExtIniFile ini("");
  ini.LoadFromBytes("\xEF\xBB\xBF[Ｓ]\r\nk=😀\r\n");
  EXPECT_EQ(ini.SectionName(0), "Ｓ");
  EXPECT_EQ(ini.ReadString("ｓ", "k", ""), "😀");
}

TEST(CaseFold, FoldsTheListedScriptsOnly) {
  EXPECT_EQ(FoldCase("ABCxyz09_"), "abcxyz09_");
  EXPECT_EQ(FoldCase("ÀÉÎÕÜÞ×"), "àéîõüþ×");
  EXPECT_EQ(FoldCase("ĀĲŁŃŸŽſµ"), "āĳłńÿžsμ");
  EXPECT_EQ(FoldCase("ΑΩΆΈΏΣς"), "αωάέώσσ");
  EXPECT_EQ(FoldCase("ЁЖЯЀЏѢҐӁӐ"), "ёжяѐџѣґӂӑ");
  EXPECT_EQ(FoldCase("ＡＺａｚ"), "ａｚａｚ");
  // Untouched: already lower, no simple fold, other scripts, broken bytes.
  EXPECT_EQ(FoldCase("ßİıあ漢"), "ßİıあ漢");
  EXPECT_EQ(FoldCase("A\xFF\xC3"), "a\xFF\xC3");
  EXPECT_TRUE(EqualFolded("Ｎａｍｅ", "ＮＡＭＥ"));
  EXPECT_FALSE(EqualFolded("Name", "Ｎａｍｅ"));
}

}  // namespace
}  // namespace vexa
