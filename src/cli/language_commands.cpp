#include <iostream>

#include "cli/commands.hpp"

namespace mw::cli {

int ExportLanguageCommand(const std::string&, const std::string&) {
    std::cerr << "murmelwerk-render: language export is not available in this build\n";
    return 1;
}

} // namespace mw::cli
