#include "ui/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace platter {

namespace {

// The application holds installed translators by pointer only: they are kept here until replaced.
std::unique_ptr<QTranslator> ours;
std::unique_ptr<QTranslator> qts;

void install(std::unique_ptr<QTranslator>& kept, const QLocale& locale, const QString& name,
             const QString& folder) {
    if (kept) QCoreApplication::removeTranslator(kept.get());
    kept.reset();
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(locale, name, QStringLiteral("_"), folder) &&
        QCoreApplication::installTranslator(translator.get()))
        kept = std::move(translator);
}

} // namespace

bool installTranslations(const QLocale& locale) {
    install(qts, locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    install(ours, locale, QStringLiteral("platter"), QStringLiteral(":/i18n"));
    return ours != nullptr;
}

} // namespace platter
