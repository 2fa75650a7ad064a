// Qelto's own texts in the operator's language. The translations come from the .ts files beside
// this one, built by lrelease and embedded; one translator is installed for the language
// chosen (English is the texts themselves), and every widget hears QEvent::LanguageChange.
// The core's texts are looked up in the context "qelto", where the translators' tools find
// what Tr and TrN mark at namespace scope; the window's own use tr() of their classes.
#pragma once

#include <QString>
#include <memory>

class QTranslator;

namespace qelto::gui {

class Translations {
  public:
    Translations();
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The language of a Language value (0..6); English for anything else.
    void Use(int language);
    int language() const { return language_; }

  private:
    std::unique_ptr<QTranslator> translator_;
    int language_ = -1;
};

// One of the core's own texts in the language in force, %n replaced by n when n >= 0.
QString OwnText(const char* english, long n = -1);

}  // namespace qelto::gui
