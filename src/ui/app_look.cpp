#include "ui/app_look.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/qt_text.h"

namespace vexa::ui {

bool InstallJapaneseTranslations(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QApplication::installTranslator(translator);
  return true;
}

QString ApplyDesignFont(QApplication& app) {
  const QString design = Qs(kDesignFontName);
  // Proportional faces first, as the design's face is proportional; fontconfig's choice last.
  QFont::insertSubstitutions(design, {"IPAPGothic", "IPA Pゴシック", "Noto Sans CJK JP", "IPAGothic",
                                      "VL PGothic", "TakaoPGothic", "Sans Serif"});
  QFont font = QApplication::font();
  font.setFamily(design);
  app.setFont(font);
  return QFontInfo(font).family();
}

void SetUpApplication(QApplication& app) {
  // No display name: Qt would append it to every caption ("Vexa Studio - name — Vexa Studio").
  QApplication::setApplicationName("vexa-studio");
  QApplication::setDesktopFileName("org.vexastudio.VexaStudio");
  InstallJapaneseTranslations(app);
  ApplyDesignFont(app);
}

}  // namespace vexa::ui
