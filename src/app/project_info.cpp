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

// The events of a view as their rows show them: start, end, kind (or sound file), summary.
void PrintEvents(const std::vector<TEvent*>& events, std::ostream& out) {
  for (const TEvent* e : events) {
    const TEventRow row = DescribeRow(*e);
    out << ColumnText(row.Caption) << '\t' << ColumnText(row.EndText) << '\t' << ColumnText(row.KindText)
        << '\t' << ColumnText(row.Summary) << '\n';
  }
}

}  // namespace

void PrintProjectInfo(const TProject& p, std::ostream& out) {
  out << "ProjectName\t" << p.ProjectName << '\n'
      << "Width\t" << p.Width << '\n'
      << "Height\t" << p.Height << '\n'
      << "FPS\t" << p.FPS << '\n'
      << "BackColor\t" << ColorText(p.BackColor) << '\n'
      << "GraphicLayers\t" << p.GraphicLayers.Count() << '\n';
  for (const auto& l : p.GraphicLayers) {
    out << "GraphicLayer\t" << l->Name << '\t' << l->FileName << '\t' << l->EventCount() << " events\n";
    PrintEvents(SourceViewEvents(*l), out);
    PrintEvents(EffectViewEvents(*l), out);
  }
  out << "SoundLayers\t" << p.SoundLayers.Count() << '\n';
  for (const auto& l : p.SoundLayers) {
    out << "SoundLayer\t" << l->Name << '\t' << l->FileName << '\t' << l->EventCount() << " events\n";
    PrintEvents(SoundViewEvents(*l), out);
  }
}

}  // namespace vexa
