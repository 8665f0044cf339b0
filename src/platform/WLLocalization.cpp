#include "WLLocalization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {
constexpr char kTranslationsPath[] = ":/i18n";
constexpr char kTranslationsName[] = "wlreader";
} // namespace

bool WLLocalization::install()
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return false;
    const QString directory = QLatin1String(kTranslationsPath);
    const QString name = QLatin1String(kTranslationsName);

    // Translators installed later are asked first, so the user's language
    // goes on top of the English base.
    auto english = std::make_unique<QTranslator>();
    if (!english->load(name + QStringLiteral("_en"), directory))
        return false;
    english->setParent(app);
    QCoreApplication::installTranslator(english.release());

    const QLocale locale;
    if (locale.language() != QLocale::English) {
        auto local = std::make_unique<QTranslator>();
        if (local->load(locale, name, QStringLiteral("_"), directory)) {
            local->setParent(app);
            QCoreApplication::installTranslator(local.release());
        }
    }
    return true;
}

QString WLLocalization::localizedString(const char *key)
{
    return qtTrId(key);
}
