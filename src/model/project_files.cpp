#include "project_files.h"

namespace vexa {
namespace {

void AddEventFile(std::vector<TFileReference>& out, const TFileReference& layer, TFileUse use,
                  const TEvent* event, const std::string& path, bool used) {
  if (path.empty() && !used) return;
  TFileReference r = layer;
  r.Use = use;
  r.Path = path;
  r.Used = used;
  r.Event = event;
  out.push_back(std::move(r));
}

void AddGraphicEvent(std::vector<TFileReference>& out, const TFileReference& layer, const TEvent* e) {
  if (const auto* image = EventAs<TGraphicSourceImageEvent>(e)) {
    AddEventFile(out, layer, TFileUse::Picture, e, image->FileName, true);
  } else if (const auto* movie = EventAs<TGraphicSourceMovieEvent>(e)) {
    AddEventFile(out, layer, TFileUse::Movie, e, movie->FileName, true);
  } else if (const auto* text = EventAs<TGraphicSourceTextEvent>(e)) {
    // An empty text draws nothing, so its texture is never loaded.
    AddEventFile(out, layer, TFileUse::Texture, e, text->Font.TextureFileName,
                 text->Font.ColorType == 1 && !text->Text.empty());
  } else if (const auto* mask = EventAs<TGraphicEffectAlphaMaskEvent>(e)) {
    AddEventFile(out, layer, TFileUse::Mask, e, mask->MaskFileName, mask->MaskType == 1);
  } else if (const auto* transition = EventAs<TGraphicEffectTransitionEvent>(e)) {
    // Without a rule picture the transition is a plain cross-fade: no file is missing.
    AddEventFile(out, layer, TFileUse::RuleImage, e, transition->RuleFileName,
                 !transition->RuleFileName.empty());
  }
}

}  // namespace

std::vector<TFileReference> ProjectFileReferences(const TProject& project) {
  std::vector<TFileReference> out;
  if (!project.FileName.empty()) {
    TFileReference r;
    r.Path = project.FileName;
    out.push_back(std::move(r));
  }
  for (int i = 0; i < project.GraphicLayers.Count(); ++i) {
    const TGraphicLayer& l = *project.GraphicLayers[i];
    const TFileReference layer{TFileUse::GraphicLayerFile, l.FileName, true, false, i, l.Name, nullptr};
    if (!l.FileName.empty()) out.push_back(layer);
    for (const auto& list : l.Slots)
      for (const TEvent* e : list)
        AddGraphicEvent(out, layer, e);
  }
  for (int i = 0; i < project.SoundLayers.Count(); ++i) {
    const TSoundLayer& l = *project.SoundLayers[i];
    const TFileReference layer{TFileUse::SoundLayerFile, l.FileName, true, true, i, l.Name, nullptr};
    if (!l.FileName.empty()) out.push_back(layer);
    for (const TEvent* e : l.Events)
      if (const auto* sound = EventAs<TSoundSourceEvent>(e))
        AddEventFile(out, layer, TFileUse::Sound, e, sound->FileName, true);
  }
  return out;
}

std::string_view FileUseName(TFileUse use) {
  switch (use) {
    case TFileUse::Project:
      return "project file";
    case TFileUse::GraphicLayerFile:
      return "graphic layer file";
    case TFileUse::SoundLayerFile:
      return "sound layer file";
    case TFileUse::Picture:
      return "picture";
    case TFileUse::Movie:
      return "movie";
    case TFileUse::Sound:
      return "sound file";
    case TFileUse::Mask:
      return "mask picture";
    case TFileUse::RuleImage:
      return "rule picture";
    case TFileUse::Texture:
      return "texture";
    case TFileUse::Font:
      return "font";
  }
  return "file";
}

}  // namespace vexa
