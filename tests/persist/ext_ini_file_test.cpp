#include "persist/ext_ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "temp_folder.h"

namespace vexa {
namespace {

using testing::EntriesIn;
using testing::ReadFile;
using testing::TTempFolder;
using testing::WriteFile;

std::string Text(const TExtIniFile& ini) {
  return ini.BuildText();
}

void Load(TExtIniFile& ini, std::string_view bytes) {
  ini.LoadFromBytes(bytes);
}

TEST(ExtIniFileFormat, KeysValuesAndHeadersAreSplitAsWritten) {
  TExtIniFile ini("");
  Load(ini, "[A]\r\nx=1\r\n\r\n[B]\r\ny==2\r\nx = 1\r\n");
  ASSERT_EQ(ini.SectionCount(), 2);
  EXPECT_EQ(ini.SectionName(0), "A");
  EXPECT_EQ(ini.SectionName(1), "B");
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
  EXPECT_EQ(ini.ReadString("B", "y", ""), "=2");
  // "x = 1" names the key "x " with the value " 1".
  EXPECT_EQ(ini.ReadInteger("B", "x", 7), 7);
  EXPECT_EQ(ini.ReadInteger("B", "x ", 7), 1);
}

TEST(ExtIniFileFormat, DropsLinesBeforeTheFirstHeaderAndOneCharacterLines) {
  TExtIniFile ini("");
  Load(ini, "k=v\r\n[S]\r\na\r\n; comment\r\nab\r\n  \r\n[T] \r\nz=1\r\n");
  ASSERT_EQ(ini.SectionCount(), 1);
  EXPECT_EQ(ini.ReadString("S", "k", "none"), "none");
  EXPECT_EQ(ini.SectionIndex("T"), -1);  // a space after ']' makes it an ordinary line
  EXPECT_EQ(ini.ReadString("S", "z", ""), "1");
  EXPECT_EQ(Text(ini), "[S]\r\n; comment\r\nab\r\n  \r\n[T] \r\nz=1\r\n\r\n");
}

TEST(ExtIniFileFormat, EveryLineEndIsReadAndNulEndsTheText) {
  TExtIniFile ini("");
  Load(ini, std::string_view("[A]\rx=1\ny=2\r\nz=3\n\r[B]\r\nw=4\0[C]\r\nv=5\r\n", 37));
  ASSERT_EQ(ini.SectionCount(), 2);
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
  EXPECT_EQ(ini.ReadInteger("A", "y", 0), 2);
  EXPECT_EQ(ini.ReadInteger("A", "z", 0), 3);
  EXPECT_EQ(ini.ReadInteger("B", "w", 0), 4);
  EXPECT_EQ(ini.SectionIndex("C"), -1);
  EXPECT_EQ(Text(ini), "[A]\r\nx=1\r\ny=2\r\nz=3\r\n\r\n[B]\r\nw=4\r\n\r\n");
}

TEST(ExtIniFileFormat, DuplicateHeadersReadTheLastAndSaveBoth) {
  TExtIniFile ini("");
  const std::string text = "[General]\r\nName=first\r\nOnly=1\r\n\r\n[General]\r\nName=second\r\n\r\n";
  Load(ini, text);
  EXPECT_EQ(ini.SectionCount(), 2);
  EXPECT_EQ(ini.SectionIndex("General"), 1);
  EXPECT_EQ(ini.ReadString("General", "Name", ""), "second");
  EXPECT_EQ(ini.ReadString("General", "Only", "absent"), "absent");
  EXPECT_EQ(Text(ini), text);
}

TEST(ExtIniFileFormat, ValuesWithLineBreaksStayOneLine) {
  TExtIniFile ini("");
  ini.WriteString("S", "k", "a\r\n[X]\nb");
  TExtIniFile back("");
  Load(back, Text(ini));
  EXPECT_EQ(back.SectionCount(), 1);
  EXPECT_EQ(back.ReadString("S", "k", ""), "a  [X] b");
}

TEST(ExtIniFileSections, NamesAreNormalisedAndNewSectionsGoToTheEnd) {
  TExtIniFile ini("");
  ini.WriteString("B", "k", "1");
  ini.WriteString("[A]", "k", "2");
  ini.WriteString("B", "j", "3");
  EXPECT_EQ(ini.SectionIndex("[B]"), 0);
  EXPECT_EQ(ini.SectionIndex("B]"), 0);
  EXPECT_EQ(ini.SectionIndex("A"), 1);
  EXPECT_EQ(ini.SectionIndex(""), -1);
  EXPECT_EQ(ini.SectionName(2), "");
  EXPECT_EQ(ini.SectionName(-1), "");
  std::string value;
  EXPECT_EQ(ini.FindKey("B", "j", &value), 1);
  EXPECT_EQ(value, "3");
  EXPECT_EQ(ini.FindKey("B", "missing"), -1);
  EXPECT_EQ(ini.FindKey("C", "k"), -1);
  // A write without a section name would create a section nobody can find again.
  ini.WriteString("", "k", "lost");
  EXPECT_EQ(ini.SectionCount(), 2);
  EXPECT_EQ(Text(ini), "[B]\r\nk=1\r\nj=3\r\n\r\n[A]\r\nk=2\r\n\r\n");
  ini.Clear();
  EXPECT_EQ(ini.SectionCount(), 0);
}

TEST(ExtIniFileSections, AnEmptyValueMovesTheKeyToTheEnd) {
  TExtIniFile ini("");
  ini.WriteString("S", "a", "1");
  ini.WriteString("S", "b", "2");
  ini.WriteString("S", "c", "3");
  ini.WriteString("S", "a", "");
  ini.WriteString("S", "b", "two");
  EXPECT_EQ(Text(ini), "[S]\r\nb=two\r\nc=3\r\na=\r\n\r\n");
  EXPECT_EQ(ini.ReadString("S", "a", "default"), "");
  EXPECT_EQ(ini.FindKey("S", "a"), 2);
}

TEST(ExtIniFileSections, CaseIsFoldedBeyondAscii) {
  TExtIniFile ini("");
  Load(ini, "[Ｇｅｎｅｒａｌ]\r\nКлюч=1\r\nΣΟΦΊΑ=2\r\nÉTÉ=3\r\nŁódź=4\r\nName=5\r\n");
  EXPECT_EQ(ini.ReadInteger("ｇＥＮＥＲＡＬ", "КЛЮЧ", 0), 1);
  EXPECT_EQ(ini.ReadInteger("[ｇｅｎｅｒａｌ]", "σοφία", 0), 2);
  EXPECT_EQ(ini.ReadInteger("ｇｅｎｅｒａｌ", "été", 0), 3);
  EXPECT_EQ(ini.ReadInteger("ｇｅｎｅｒａｌ", "łÓDŹ", 0), 4);
  EXPECT_EQ(ini.ReadInteger("ｇｅｎｅｒａｌ", "NAME", 0), 5);
  // Different letters stay different.
  EXPECT_EQ(ini.ReadInteger("ｇｅｎｅｒａｌ", "Kлюч", 0), 0);  // Latin K
  EXPECT_EQ(ini.ReadInteger("general", "Name", 0), 0);         // ASCII vs full width

  ini.SetCaseSensitive(true);
  EXPECT_EQ(ini.SectionIndex("ｇｅｎｅｒａｌ"), -1);
  EXPECT_EQ(ini.ReadInteger("Ｇｅｎｅｒａｌ", "КЛЮЧ", 0), 0);
  EXPECT_EQ(ini.ReadInteger("Ｇｅｎｅｒａｌ", "Ключ", 0), 1);
  ini.SetCaseSensitive(false);
  EXPECT_EQ(ini.ReadInteger("ｇｅｎｅｒａｌ", "КЛЮЧ", 0), 1);
}

TEST(ExtIniFileTyped, IntegerNotations) {
  TExtIniFile ini("");
  ini.WriteInteger("S", "u", -1);
  ini.WriteSignedInteger("S", "s", -5);
  ini.WriteColor("S", "c", 0x00FF8040);
  ini.WriteColor("S", "n", -1);
  EXPECT_EQ(Text(ini), "[S]\r\nu=4294967295\r\ns=-5\r\nc=$00FF8040\r\nn=$FFFFFFFF\r\n\r\n");
  EXPECT_EQ(ini.ReadInteger("S", "u", 0), -1);
  EXPECT_EQ(ini.ReadSignedInteger("S", "u", 9), 9);
  EXPECT_EQ(ini.ReadInteger("S", "s", 0), -5);  // the unsigned reader accepts signed text
  EXPECT_EQ(ini.ReadColor("S", "c", 0), 0x00FF8040);
  EXPECT_EQ(ini.ReadColor("S", "n", 0), -1);

  Load(ini,
       "[S]\r\nhex=0x1F\r\ndollar=$1F\r\nwide=$FFFFFFFFFFFFFFFF\r\nbig=9223372036854775807\r\n"
       "over=$100000000\r\nspace=1 \r\nempty=\r\nplain=0x\r\n");
  EXPECT_EQ(ini.ReadColor("S", "hex", 0), 31);
  EXPECT_EQ(ini.ReadColor("S", "dollar", 0), 31);
  EXPECT_EQ(ini.ReadSignedInteger("S", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "wide", 0), -1);
  EXPECT_EQ(ini.ReadSignedInteger("S", "wide", 3), 3);
  EXPECT_EQ(ini.ReadInteger("S", "big", 0), -1);  // low 32 bits of 0x7FFF...F
  EXPECT_EQ(ini.ReadSignedInteger("S", "big", 3), 3);
  EXPECT_EQ(ini.ReadInteger("S", "over", 0), 0);  // 0x1_0000_0000 fits 64 bits, low half is 0
  EXPECT_EQ(ini.ReadSignedInteger("S", "over", 3), 3);
  EXPECT_EQ(ini.ReadInteger("S", "space", 3), 3);
  EXPECT_EQ(ini.ReadInteger("S", "empty", 3), 3);
  EXPECT_EQ(ini.ReadSignedInteger("S", "plain", 3), 3);
  EXPECT_EQ(ini.ReadString("S", "empty", "default"), "");
  EXPECT_EQ(ini.ReadString("S", "absent", "default"), "default");
}

TEST(ExtIniFileTyped, StringListsShrinkAndSkipMissingLines) {
  TExtIniFile ini("");
  ini.WriteString("S", "before", "x");
  ini.WriteStrings("S", "k", {"one", "two", "three"});
  ini.WriteString("S", "after", "y");
  ini.WriteStrings("S", "k", {"uno"});
  EXPECT_EQ(Text(ini), "[S]\r\nbefore=x\r\nk=LIST\r\nk.count=1\r\nk.0=uno\r\nafter=y\r\n\r\n");
  std::vector<std::string> list{"stale"};
  ini.ReadStrings("S", "k", list);
  EXPECT_EQ(list, std::vector<std::string>{"uno"});

  Load(ini, "[S]\r\nk.count=4\r\nk.3=d\r\nk.0=a\r\nk.00=no\r\nk.2=c\r\nk.2=second\r\n");
  ini.ReadStrings("S", "k", list);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "c", "d"}));
  ini.ReadStrings("S", "absent", list);
  EXPECT_TRUE(list.empty());
}

TEST(ExtIniFileTyped, HugeStoredCountsCostOnlyThePresentLines) {
  TExtIniFile ini("");
  Load(ini, "[S]\r\nk=LIST\r\nk.count=2147483647\r\nk.0=a\r\nk.2000000000=z\r\nother=1\r\n");
  std::vector<std::string> list;
  ini.ReadStrings("S", "k", list);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "z"}));
  ini.WriteStrings("S", "k", {"b"});
  EXPECT_EQ(Text(ini), "[S]\r\nk=LIST\r\nk.count=1\r\nk.0=b\r\nother=1\r\n\r\n");
  ini.DeleteKey("S", "k");
  EXPECT_EQ(Text(ini), "[S]\r\nother=1\r\n\r\n");
}

TEST(ExtIniFileTyped, DeleteKeyTakesCompoundSiblingsAlong) {
  TExtIniFile ini("");
  Load(ini,
       "[S]\r\nf=font\r\nf.name=Sans\r\nf.height=12\r\nf.u=0\r\nf.other=keep\r\n"
       "b=BOUNDS\r\nb.left=1\r\nb.width=2\r\n"
       "l=List\r\nl.count=2\r\nl.0=a\r\nl.1=b\r\nl.2=beyond\r\n"
       "w=FORM\r\nw.cheight=3\r\nw.show=1\r\n"
       "p=plain\r\np.name=keep\r\n");
  ini.DeleteKey("S", "f");
  ini.DeleteKey("S", "B");
  ini.DeleteKey("S", "l");
  ini.DeleteKey("S", "w");
  ini.DeleteKey("S", "p");
  ini.DeleteKey("S", "absent");
  ini.DeleteKey("Nowhere", "p");
  EXPECT_EQ(Text(ini), "[S]\r\nf.other=keep\r\nl.2=beyond\r\np.name=keep\r\n\r\n");
}

TEST(ExtIniFileStreams, EmptyStoresAndStreamPositions) {
  TExtIniFile ini("");
  std::ostringstream out;
  EXPECT_TRUE(ini.SaveToStream(out));
  EXPECT_EQ(out.str().size(), 0u);

  int loads = 0;
  ini.OnLoad = [&](TExtIniFile&) { ++loads; };
  std::istringstream empty("");
  ini.WriteString("S", "k", "v");
  ini.LoadFromStream(empty);
  EXPECT_EQ(ini.SectionCount(), 0);
  EXPECT_EQ(loads, 1);

  std::istringstream in("[Skip]\r\na=1\r\n[Keep]\r\nb=2\r\n");
  in.seekg(12);
  ini.LoadFromStream(in);
  EXPECT_EQ(ini.SectionCount(), 1);
  EXPECT_EQ(ini.ReadInteger("Keep", "b", 0), 2);
  EXPECT_EQ(loads, 2);

  std::ostringstream saved;
  EXPECT_TRUE(ini.SaveToStream(saved));
  EXPECT_EQ(saved.str(), "[Keep]\r\nb=2\r\n\r\n");
}

TEST(ExtIniFileFiles, SavesReloadsAndSwitchesFiles) {
  TTempFolder dir;
  const std::string a = dir / "a.ini";
  const std::string b = dir / "b.ini";
  {
    TExtIniFile ini(a);
    EXPECT_EQ(ini.FullPath(), a);
    EXPECT_FALSE(ini.AutoUpdate());
    ini.WriteString("S", "k", "v");
    EXPECT_FALSE(std::filesystem::exists(a));  // nothing touches the disk until asked
    int updates = 0;
    ini.OnUpdate = [&](TExtIniFile&) { ++updates; };
    EXPECT_TRUE(ini.Update());
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(ReadFile(a), "[S]\r\nk=v\r\n\r\n");

    ini.SetAutoUpdate(true);
    ini.WriteString("S", "k", "changed");
    ini.SetFileName(b);  // saves a first, then loads the (missing) b
    EXPECT_EQ(ini.SectionCount(), 0);
    EXPECT_EQ(ReadFile(a), "[S]\r\nk=changed\r\n\r\n");
    ini.WriteString("T", "x", "1");
  }  // AutoUpdate: saved when destroyed
  EXPECT_EQ(ReadFile(b), "[T]\r\nx=1\r\n\r\n");

  TExtIniFile again(a);
  EXPECT_TRUE(again.Reload());
  EXPECT_EQ(again.ReadString("S", "k", ""), "changed");

  // Saving replaces the whole file; an empty store gives an empty file unless asked otherwise.
  TExtIniFile empty(a);
  EXPECT_TRUE(empty.SaveToFile(true));
  EXPECT_EQ(ReadFile(a), "[S]\r\nk=changed\r\n\r\n");
  EXPECT_TRUE(empty.SaveToFile(false));
  EXPECT_TRUE(std::filesystem::exists(a));
  EXPECT_EQ(ReadFile(a), "");
}

TEST(ExtIniFileFiles, UpdateAtOnceSavesEveryWrite) {
  TTempFolder dir;
  const std::string path = dir / "now.ini";
  TExtIniFile ini(path);
  ini.SetUpdateAtOnce(true);
  EXPECT_EQ(ReadFile(path), "");  // turning it on saves at once
  ini.WriteInteger("S", "a", 1);
  EXPECT_EQ(ReadFile(path), "[S]\r\na=1\r\n\r\n");
  ini.WriteStrings("S", "l", {"x"});
  EXPECT_EQ(ReadFile(path), "[S]\r\na=1\r\nl=LIST\r\nl.count=1\r\nl.0=x\r\n\r\n");
  ini.DeleteKey("S", "l");
  EXPECT_EQ(ReadFile(path), "[S]\r\na=1\r\n\r\n");
}

TEST(ExtIniFileFiles, FailedSavesAreReportedAndLoadsFallBackToEmpty) {
  TTempFolder dir;
  const std::string blocker = dir / "plain-file";
  WriteFile(blocker, "x");
  // A parent that is a regular file fails even for root.
  const std::string bad = blocker + "/project.vxpj";
  TExtIniFile ini(bad);
  ini.WriteString("General", "ProjectName", "p");
  EXPECT_FALSE(ini.Update());
  EXPECT_NE(ini.LastError().find(bad), std::string::npos) << ini.LastError();
  EXPECT_FALSE(ini.SaveToFile(true));
  EXPECT_FALSE(ini.LastError().empty());

  // Missing files load as empty stores, without error.
  EXPECT_TRUE(ini.Reload());
  EXPECT_EQ(ini.SectionCount(), 0);
  EXPECT_TRUE(ini.LastError().empty());

  // A folder where the file should be cannot be read or written; nothing throws.
  TExtIniFile folder(dir.Path());
  EXPECT_FALSE(folder.Reload());
  EXPECT_FALSE(folder.LastError().empty());
  folder.WriteString("S", "k", "v");
  EXPECT_FALSE(folder.Update());
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path()));

  // After a failure the next good save clears the reason.
  TExtIniFile good(dir / "good.ini");
  good.WriteString("S", "k", "v");
  EXPECT_TRUE(good.Update());
  EXPECT_TRUE(good.LastError().empty());
}

TEST(ExtIniFileFiles, ReplacingKeepsPermissionsAndFollowsLinks) {
  TTempFolder dir;
  const std::string real = dir / "real.ini";
  const std::string link = dir / "link.ini";
  WriteFile(real, "[Old]\r\nlong=content that must disappear\r\n\r\n");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, link);
  TExtIniFile ini(link);
  ini.WriteString("New", "k", "v");
  ASSERT_TRUE(ini.Update()) << ini.LastError();
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "[New]\r\nk=v\r\n\r\n");
  struct stat st {};
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // No temporary files are left behind.
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(ExtIniFileFolders, FoldersOfEachKind) {
  TTempFolder dir;
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old != nullptr ? old : "";
  const std::string config = dir / "config/deeper";
  setenv("XDG_CONFIG_HOME", (config + "/").c_str(), 1);
  const std::string appData = TExtIniFile::FolderOf(dfAppData);
  if (old != nullptr)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");

  EXPECT_EQ(TExtIniFile::ApplicationName(), "persist_tests");
  EXPECT_EQ(appData, config + "/persist_tests/");
  EXPECT_TRUE(std::filesystem::is_directory(appData));
  EXPECT_EQ(TExtIniFile::FolderOf(dfUser), "");
  EXPECT_EQ(TExtIniFile::FolderOf(dfWindows), "/etc/");
  const std::string app = TExtIniFile::FolderOf(dfApplication);
  ASSERT_FALSE(app.empty());
  EXPECT_EQ(app.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(app + "persist_tests"));

  // The program's own store: <program folder><program name>.ini.
  TExtIniFile ini;
  EXPECT_EQ(ini.DefaultFolder(), dfApplication);
  EXPECT_TRUE(ini.AutoUpdate());
  EXPECT_EQ(ini.FileName(), "");
  EXPECT_EQ(ini.FullPath(), app + "persist_tests.ini");
  ini.SetAutoUpdate(false);  // keep the build folder clean

  // Switching the folder combines it with the file name.
  TExtIniFile user(dir / "x.ini");
  user.SetDefaultFolder(dfWindows);
  EXPECT_EQ(user.FullPath(), "/etc/" + (dir / "x.ini"));
}

}  // namespace
}  // namespace vexa
