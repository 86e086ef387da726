// A stand-in for the module window's own source, for building the parts' test where that source is
// not there: the meta-object of the header and the window's virtual functions, none of which the
// test calls.
#include "editor/module_window.hpp"

namespace mw {

struct ModuleWindow::SliderBinding {};
ModuleWindow::~ModuleWindow() = default;
QString ModuleWindow::Text(int) const {
    return {};
}
DialogBaseUnits ModuleWindow::BaseUnits() const {
    return {};
}
const ColourSlots& ModuleWindow::Colours() const {
    return kDefaultColourSettings;
}
void ModuleWindow::paintEvent(QPaintEvent*) {}
void ModuleWindow::mousePressEvent(QMouseEvent*) {}
void ModuleWindow::mouseMoveEvent(QMouseEvent*) {}
void ModuleWindow::mouseReleaseEvent(QMouseEvent*) {}
void ModuleWindow::resizeEvent(QResizeEvent*) {}
void ModuleWindow::keyPressEvent(QKeyEvent*) {}

} // namespace mw
