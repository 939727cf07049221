#pragma once
// Texts a person reads, in the language the process speaks (MessageCatalogue::useLanguage).
// The Japanese text is the message id: without a catalogue, or in Japanese, a text stays as
// written. po/en.po holds the English of every id; a new QX_ text needs its entry there
// (the catalogue test fails otherwise).
//
//   QX_("ポートを開けません")         a text, translated where it is written
//   N_("設定エラー")                  marked only: a table entry, translated where it is shown
//                                    with i18n::translate(entry); files and payloads keep the
//                                    entry as written
//   QXN_("%1台", "%1台", count)       a text whose English has a singular and a plural
//   QXC_("usage", "オプション")        a text that another language says in two ways: the
//                                    context tells them apart
//
// Values go into a text with i18n::fill and %1..%9, never by cutting the sentence in
// pieces: each language puts them where its word order wants them.

#include <initializer_list>
#include <string>
#include <string_view>

namespace qavix::i18n {

// The message catalogue's name: share/locale/<language>/LC_MESSAGES/qavix.mo.
constexpr const char* kTextDomain = "qavix";

// The text in the process's language; `text` itself when there is no translation. The
// result lives as long as the process (or as `text`).
const char* translate(const char* text);
const char* translatePlural(const char* singular, const char* plural, unsigned long count);
const char* translateInContext(const char* context, const char* text);

// `pattern` with %1..%9 replaced by the values in order; "%%" is one "%". A number with no
// value, and every other "%", stay as they are.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace qavix::i18n

#define QX_(text) (::qavix::i18n::translate(text))
#define QXN_(singular, plural, count) \
    (::qavix::i18n::translatePlural(singular, plural, static_cast<unsigned long>(count)))
#define QXC_(context, text) (::qavix::i18n::translateInContext(context, text))
#define N_(text) (text)
