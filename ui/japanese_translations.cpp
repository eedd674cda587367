#include "ui/japanese_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace plumex {

bool LoadJapaneseTranslations(QCoreApplication& app) {
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  QLocale::setDefault(japanese);
  auto* translator = new QTranslator(&app);
  const QString dirs[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                          QStringLiteral("/usr/share/qt6/translations")};
  for (const QString& dir : dirs) {
    if (translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"), dir)) {
      app.installTranslator(translator);
      return true;
    }
  }
  delete translator;
  return false;
}

}  // namespace plumex
