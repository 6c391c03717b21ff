#include "ui/logic/media_findings_text.h"

#include <map>
#include <utility>
#include <vector>

#include "ui/logic/text_format.h"

namespace vexa {
namespace {

// `グラフィックレイヤー 2「動画」、00:00:01.000 のイベント`
std::string Place(const TFileReference& r) {
  if (r.LayerIndex < 0) return "プロジェクト";
  std::string text = r.SoundLayer ? "サウンドレイヤー " : "グラフィックレイヤー ";
  text += std::to_string(r.LayerIndex + 1);
  if (!r.LayerName.empty()) text += "「" + r.LayerName + "」";
  if (r.Event) text += "、" + TimeText(r.Event->StartTime) + " のイベント";
  return text;
}

std::string Line(const TMediaFinding& f, int moreUses) {
  std::string line = std::string(FileUseText(f.File.Use)) + "「" + f.File.Path + "」（" + Place(f.File) + "）：";
  if (f.LeftOut())
    line += f.Reason;
  else
    line += "インストールされていないため「" + f.Replacement + "」で描画します";
  if (moreUses > 0) line += "（ほか " + std::to_string(moreUses) + " 件）";
  return line;
}

}  // namespace

std::string_view FileUseText(TFileUse use) {
  switch (use) {
    case TFileUse::Project: return "プロジェクトファイル";
    case TFileUse::GraphicLayerFile: return "グラフィックレイヤーファイル";
    case TFileUse::SoundLayerFile: return "サウンドレイヤーファイル";
    case TFileUse::Picture: return "画像";
    case TFileUse::Movie: return "動画";
    case TFileUse::Sound: return "サウンドファイル";
    case TFileUse::Mask: return "マスク画像";
    case TFileUse::RuleImage: return "ルール画像";
    case TFileUse::Texture: return "テクスチャ画像";
    case TFileUse::Font: return "フォント";
  }
  return "ファイル";
}

TMediaFindingsText MediaFindingsText(std::span<const TMediaFinding> findings) {
  TMediaFindingsText out;
  if (findings.empty()) return out;
  std::map<std::pair<TFileUse, std::string>, int> uses;
  for (const TMediaFinding& f : findings)
    ++uses[{f.File.Use, f.File.Path}];
  std::vector<std::string> lines;
  bool leftOut = false, replaced = false;
  for (const TMediaFinding& f : findings) {
    int& n = uses[{f.File.Use, f.File.Path}];
    if (n == 0) continue;  // named already
    lines.push_back(Line(f, n - 1));
    n = 0;
    (f.LeftOut() ? leftOut : replaced) = true;
  }

  if (leftOut) out.Text += "次のファイルは見つからないか読み込めないため、レンダリングから除かれます。\n";
  if (replaced) out.Text += "インストールされていないフォントは別の書体で描画されます。\n";
  out.Text += '\n';
  for (size_t i = 0; i < lines.size() && i < kMediaFindingsShown; ++i)
    out.Text += lines[i] + '\n';
  if (lines.size() > kMediaFindingsShown) {
    out.Text += "ほか " + std::to_string(lines.size() - kMediaFindingsShown) + " 件（詳細を参照）\n";
    for (const std::string& l : lines)
      out.Details += l + '\n';
  }
  out.Text += "\nこのままレンダリングを続けますか？";
  return out;
}

}  // namespace vexa
