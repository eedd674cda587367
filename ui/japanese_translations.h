// Qt's own texts (standard buttons "はい"/"いいえ"/"キャンセル", the file dialog, the context
// menus of text boxes) in Japanese, whatever the desktop's language: every text a person meets
// in the program is Japanese.
#pragma once

class QCoreApplication;

namespace plumex {

// Loads Qt's Japanese translations (qtbase_ja from Qt's translations directory) into the
// application and makes Japanese the default locale. False when the translations are not
// installed (Debian: qt6-translations-l10n); the program then runs with Qt's English texts.
bool LoadJapaneseTranslations(QCoreApplication& app);

}  // namespace plumex
