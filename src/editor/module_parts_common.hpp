#pragma once
// What the kinds' own controls share: placement in dialog units of the window's font, the colours of
// their controls, message boxes, and the gesture numbers of their text edits.

#include <QMessageBox>
#include <QRect>
#include <QString>
#include <memory>

#include "editor/module_window.hpp"

class QWidget;

namespace mw::parts {

/// A rectangle in dialog units of the part's window font, converted to pixels of the part.
QRect Du(const ModulePartHost& host, int x, int y, int width, int height);
/// The part's width in whole dialog units.
int WidthDu(const ModulePartHost& host, const QWidget& part);

/// A gesture number for one focus period of a text field: every number is new, and far from the
/// numbers the window's own controls count up from, so two edit sessions never merge into one step.
int NewGesture();

/// Shows a message box with one OK button and waits until it is closed. Every box of the parts goes
/// through here: its object name is "moduleMessage".
void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text);

/// The parts of the four kinds that have one.
std::unique_ptr<ModulePart> MakeSequencePart(ModulePartHost& host, QWidget* parent);
std::unique_ptr<ModulePart> MakeWaveWriterPart(ModulePartHost& host, QWidget* parent);
std::unique_ptr<ModulePart> MakeAnalyzerPart(ModulePartHost& host, QWidget* parent);
std::unique_ptr<ModulePart> MakeSliderListPart(ModulePartHost& host, QWidget* parent);

} // namespace mw::parts
