#include "app/shell/window_policy.hpp"

#include <cstdlib>

namespace mw {

namespace {

bool Near(int a, int b) {
    return std::abs(a - b) < kSnapDistance;
}

} // namespace

ScreenArea SnapToEdges(ScreenArea window, const ScreenArea& area) {
    const int areaRight = area.x + area.width;
    const int areaBottom = area.y + area.height;
    if (Near(window.x + window.width, areaRight)) window.x = areaRight - window.width;
    if (Near(window.x, area.x)) window.x = area.x;
    if (Near(window.y + window.height, areaBottom)) window.y = areaBottom - window.height;
    if (Near(window.y, area.y)) window.y = area.y;
    return window;
}

MenuEnabling MenuEnablingOf(const MenuState& s) {
    MenuEnabling e;
    e.about = !s.aboutOpen;
    e.help = !s.helpOpen;
    e.preferences = !s.preferencesOpen;
    e.maximiseToggle = !(s.aboutOpen || s.helpOpen || s.preferencesOpen);
    e.minimise = !s.minimisedState;
    e.start = !s.running;
    e.stop = s.running;
    e.maximiseToggleText = (s.maximised || (s.minimisedState && !s.wasMaximized)) ? 31 : 35;
    return e;
}

AutoStart AutoStartOf(bool autoStartOnly, bool autoStartAndHide, bool autoStartSound) {
    if (autoStartOnly) return {true, false};
    if (autoStartSound && !autoStartAndHide) return {true, false};
    if (autoStartAndHide) return {false, true};
    return {};
}

WindowPolicy::Minimise WindowPolicy::OnMinimise(const Question& askTray) {
    if (tray_ && !settings_.TrayQuestionAsked) {
        settings_.TrayQuestionAsked = 1;
        if (askTray && askTray()) {
            settings_.ShowTrayIcon = 1;
            settings_.HideTaskbarButtonWhenMinimized = 1;
            settings_.TrayIconOnlyWhenMinimized = 1;
        }
    }
    Minimise m;
    m.showTrayIcon = tray_ && settings_.ShowTrayIcon;
    m.leaveTaskbar = m.showTrayIcon && settings_.HideTaskbarButtonWhenMinimized;
    return m;
}

WindowPolicy::CloseAction WindowPolicy::OnClose(bool exitRequested, const Question& askClose) {
    if (!settings_.CloseQuestionAsked && !exitRequested) {
        settings_.CloseQuestionAsked = 1;
        const bool close = askClose ? askClose() : true;
        settings_.MinimizeOnClose = close ? 0 : 1;
        if (!close) return CloseAction::Minimise;
    }
    if (settings_.MinimizeOnClose && !exitRequested) return CloseAction::Minimise;
    return CloseAction::Close;
}

bool WindowPolicy::OnEscape(const Question& askEsc) {
    if (!settings_.EscQuestionAsked) {
        settings_.EscQuestionAsked = 1;
        settings_.MinimizeOnEsc = (askEsc && askEsc()) ? 1 : 0;
    }
    return settings_.MinimizeOnEsc != 0;
}

bool WindowPolicy::KeepTrayIcon() const {
    return tray_ && settings_.ShowTrayIcon && !settings_.TrayIconOnlyWhenMinimized;
}

} // namespace mw
