// A project with its document, a scripted prompt and the main window's commands, plus a
// canonical dump of everything a command may change: the project as its files would hold it
// (every event field, EventNumber included), the rows of the five views with the objects they
// refer to, their selections, focus and enabled state.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "fake_ui.h"
#include "model/event_kinds.h"
#include "persist/ext_ini_file.h"
#include "persist/layer_file.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/project_document.h"

namespace vexa::test {

template <class T, class Layer>
T* AddEvent(Layer& layer, uint32_t start, uint32_t end) {
  std::unique_ptr<TEvent> e = NewEventWithInitialValues(T::KindCode);
  e->StartTime = start;
  e->EndTime = end;
  return static_cast<T*>(layer.ListForKind(T::KindCode)->Add(std::move(e)));
}

class TEditorFixture : public ::testing::Test {
 protected:
  TProject project;
  TProjectDocument doc{project};
  TFakePrompt prompt;
  TMainActions act{doc, prompt};

  TGraphicLayer& Graphic(const std::string& name) {
    TGraphicLayer& l = *NewGraphicLayer(project.GraphicLayers, -1);
    l.Name = name;
    return l;
  }
  TSoundLayer& Sound(const std::string& name) {
    TSoundLayer& l = *NewSoundLayer(project.SoundLayers, -1);
    l.Name = name;
    return l;
  }
  // The rows follow the layers built directly in the project.
  void Rebuild() { doc.ProjectReplaced(); }
  void Select(TViewId view, std::vector<int> rows, int focused = -1) {
    doc.SetSelection(view, rows, focused < 0 && !rows.empty() ? rows.front() : focused);
  }
  TEvent* Row(TViewId view, int row) const { return doc.EventRows(view)[row].Event; }
  std::vector<uint32_t> Numbers(TViewId view) const {
    std::vector<uint32_t> n;
    for (const TEventRow& r : doc.EventRows(view).Rows())
      n.push_back(r.Event->EventNumber);
    return n;
  }

  std::string Dump() const {
    std::ostringstream out;
    const TProject& p = doc.Project();
    out << p.ProjectName << '|' << p.FileName << '|' << p.Width << 'x' << p.Height << '@' << p.FPS << '#'
        << p.BackColor << '\n';
    for (const auto& l : p.GraphicLayers) {
      TExtIniFile ini{std::string()};
      WriteGraphicLayerIni(*l, "/", ini);
      out << "G " << l.get() << ' ' << l->FileName << '\n' << ini.BuildText();
    }
    for (const auto& l : p.SoundLayers) {
      TExtIniFile ini{std::string()};
      WriteSoundLayerIni(*l, "/", ini);
      out << "S " << l.get() << ' ' << l->FileName << '\n' << ini.BuildText();
    }
    const TViewId views[] = {TViewId::GraphicLayers, TViewId::GraphicSources, TViewId::GraphicEffects,
                             TViewId::SoundLayers, TViewId::SoundEvents};
    for (TViewId v : views) {
      const TRowSelection& s = doc.Selection(v);
      out << "view " << static_cast<int>(v) << " enabled " << s.Enabled() << " focus " << s.Focused() << '\n';
      for (int r = 0; r < doc.RowCount(v); ++r) {
        out << (s.IsSelected(r) ? '*' : ' ');
        if (IsLayerView(v)) {
          const TLayerRow& row = doc.LayerRows(TabOf(v))[r];
          out << row.Layer() << ' ' << row.Caption << " | " << row.FileText << '\n';
        } else {
          const TEventRow& row = doc.EventRows(v)[r];
          out << row.Event << ' ' << row.Caption << ' ' << row.EndText << ' ' << row.KindText << ' ' << row.Summary
              << '\n';
        }
      }
    }
    return out.str();
  }
};

}  // namespace vexa::test
