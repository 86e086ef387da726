// The built-in language text, zone "[Zone_General]":
// the language names and the "choose your language" prompts of the language dialog.
#include "i18n/builtin_language_text.hpp"

namespace mw::builtin_text {
namespace {

// clang-format off
constexpr std::string_view kPieces[] = {
R"MW([Zone_General]

[0]	English
[1]	Please choose your language below (if available)
[2]	Deutsch
[3]	Bitte wählen Sie unten Ihre Sprache (falls verfügbar)
[4]	Français
[5]	Veuillez choisir votre langue ci-dessous (si disponible)
[6]	Español
[7]	Por favor, elija su idioma a continuación (si está disponible)
[8]	日本語
[9]	下の一覧から言語を選んでください（利用できる場合）

)MW",
};
// clang-format on

} // namespace

std::span<const std::string_view> GeneralZone() {
    return kPieces;
}

} // namespace mw::builtin_text
