// murmelwerk-render --export-language CODE FILE: writes a built-in language as a user language file.
#include <iostream>

#include "cli/commands.hpp"
#include "i18n/language_export.hpp"

namespace mw::cli {

int ExportLanguageCommand(const std::string& code, const std::string& file) {
    const std::optional<uint16_t> language = ParseLanguageCodeName(code);
    if (!language) {
        std::cerr << "murmelwerk-render: unknown language \"" << code
                  << "\"; use en, de, fr, es, ja or the language code 0 to 4\n";
        return 2;
    }
    std::string error;
    if (!WriteLanguageFile(*language, file, error)) {
        std::cerr << "murmelwerk-render: cannot write \"" << file << "\": " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace mw::cli
