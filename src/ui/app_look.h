// What the editor sets up on the application before its first window: the title, the
// Japanese texts of Qt's standard buttons and dialogs, and the program's typeface.
#pragma once

#include <QString>
#include <string_view>

class QApplication;

namespace vexa::ui {

inline constexpr std::string_view kAppTitle = "Vexa Studio";
// The typeface every window is set in; mapped to the Japanese Gothic face installed here.
inline constexpr std::string_view kDesignFontName = "ＭＳ Ｐゴシック";

// Loads Qt's Japanese translations (the program is Japanese whatever the locale); false when
// they are not installed, in which case the standard buttons stay English.
bool InstallJapaneseTranslations(QApplication& app);
// Maps the design's typeface to the installed proportional Gothic face and makes it the
// application font. Returns the family Qt actually resolved.
QString ApplyDesignFont(QApplication& app);
// Both of the above, and the program's name and desktop file name.
void SetUpApplication(QApplication& app);

}  // namespace vexa::ui
