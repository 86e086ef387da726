#pragma once
#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"
namespace mw {
inline void ChooseLanguage(QWidget*, AppContext& c) {
    ApplyLanguage(c.settings, c.strings);
}
} // namespace mw
