#include "translations.hpp"

#include <QCoreApplication>
#include <QTranslator>
#include <array>

namespace qelto::gui {
namespace {

// By Language value; English has no translation of its own.
constexpr std::array<const char*, 7> kCodes{"de", nullptr, "fr", "es", "pt", "it", "pl"};

}  // namespace

Translations::Translations() = default;

Translations::~Translations() {
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

void Translations::Use(int language) {
    if (language == language_) return;
    language_ = language;
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
    const char* code =
        language >= 0 && language < static_cast<int>(kCodes.size()) ? kCodes[language] : nullptr;
    // Removing or installing a translator tells every widget (QEvent::LanguageChange).
    if (code == nullptr) return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/qelto_%1.qm").arg(QLatin1String(code)))) return;
    QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
}

QString OwnText(const char* english, long n) {
    return QCoreApplication::translate("qelto", english, nullptr, static_cast<int>(n));
}

}  // namespace qelto::gui
