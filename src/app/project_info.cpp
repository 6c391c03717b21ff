#include "project_info.h"

#include <string>
#include <vector>

#include "ui/logic/event_rows.h"
#include "ui/logic/text_format.h"

namespace vexa {
namespace {

// A text as one column of a line: line breaks (CR LF, CR or LF) become the two characters
// "\n" and tabs "\t", so that every event stays one line of four columns.
std::string ColumnText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (s[i] == '\n') {
      out += "\\n";
    } else if (s[i] == '\t') {
      out += "\\t";
    } else {
      out += s[i];
    }
  }
  return out;
}

// The marks of rows whose file is left out, by event (nullptr: the layer itself).
class TMarks {
 public:
  explicit TMarks(const std::vector<TMediaFinding>& findings) : findings_(findings) {}
  // "" or "\t!! picture: No such file or directory" (several files of one event: joined by "; ").
  std::string For(const TEvent* event, bool soundLayer, int layerIndex) const {
    std::string mark;
    for (const TMediaFinding& f : findings_) {
      if (!f.LeftOut() || f.File.Event != event || f.File.SoundLayer != soundLayer ||
          f.File.LayerIndex != layerIndex)
        continue;
      mark += mark.empty() ? "\t!! " : "; ";
      mark += std::string(FileUseName(f.File.Use)) + ": " + ColumnText(f.Reason);
    }
    return mark;
  }

 private:
  const std::vector<TMediaFinding>& findings_;
};

// The events of a view as their rows show them: start, end, kind (or sound file), summary.
void PrintEvents(const std::vector<TEvent*>& events, const TMarks& marks, bool soundLayer, int layerIndex,
                 std::ostream& out) {
  for (const TEvent* e : events) {
    const TEventRow row = DescribeRow(*e);
    out << ColumnText(row.Caption) << '\t' << ColumnText(row.EndText) << '\t' << ColumnText(row.KindText)
        << '\t' << ColumnText(row.Summary) << marks.For(e, soundLayer, layerIndex) << '\n';
  }
}

}  // namespace

void PrintProjectInfo(const TProject& p, std::ostream& out, const std::vector<TMediaFinding>& findings) {
  const TMarks marks(findings);
  out << "ProjectName\t" << p.ProjectName << '\n'
      << "Width\t" << p.Width << '\n'
      << "Height\t" << p.Height << '\n'
      << "FPS\t" << p.FPS << '\n'
      << "BackColor\t" << ColorText(p.BackColor) << '\n'
      << "GraphicLayers\t" << p.GraphicLayers.Count() << '\n';
  for (int i = 0; i < p.GraphicLayers.Count(); ++i) {
    const TGraphicLayer* l = p.GraphicLayers[i];
    out << "GraphicLayer\t" << l->Name << '\t' << l->FileName << '\t' << l->EventCount() << " events"
        << marks.For(nullptr, false, i) << '\n';
    PrintEvents(SourceViewEvents(*l), marks, false, i, out);
    PrintEvents(EffectViewEvents(*l), marks, false, i, out);
  }
  out << "SoundLayers\t" << p.SoundLayers.Count() << '\n';
  for (int i = 0; i < p.SoundLayers.Count(); ++i) {
    const TSoundLayer* l = p.SoundLayers[i];
    out << "SoundLayer\t" << l->Name << '\t' << l->FileName << '\t' << l->EventCount() << " events"
        << marks.For(nullptr, true, i) << '\n';
    PrintEvents(SoundViewEvents(*l), marks, true, i, out);
  }
}

}  // namespace vexa
