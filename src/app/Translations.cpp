#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <string>

#include "engine/FileUtils.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "text/Translate.h"

namespace {

TLanguage g_installed = TLanguage::Japanese;

bool Install(QTranslator* translator, bool loaded) {
    if (!loaded || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

// The texts written below the windows, from the same loaded translation.
std::string TranslatedByQt(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

}  // namespace

bool InstallLanguage(TLanguage language) {
    g_installed = language;
    if (language == TLanguage::Japanese) return InstallQtTranslation();
    auto* ours = new QTranslator(QCoreApplication::instance());
    const bool loaded = Install(ours, ours->load(QStringLiteral(":/i18n/tavrenne_en.qm")));
    if (loaded) SetTranslateHook(&TranslatedByQt);
    // Qt's English is its source; its translation adds only the plural forms.
    auto* qt = new QTranslator(QCoreApplication::instance());
    Install(qt, qt->load(QLocale(QLocale::English), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    return loaded;
}

TLanguage InstalledLanguage() { return g_installed; }

std::string ManualFile() {
    const TProgramLayout layout = ProgramLayout();
    const std::string english = layout.HelpFile(true);
    return g_installed == TLanguage::English && FileExistsByAge(english) ? english : layout.HelpFile();
}

void RemoveLanguage() {
    g_installed = TLanguage::Japanese;
    SetTranslateHook(nullptr);
    // Every translator is the application's child: the program's, Qt's and the stand-ins.
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}
