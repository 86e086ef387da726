#pragma once
// The module windows: every module of the patch floats on the desktop as a small rounded window that
// shows and edits its parameters. One window class serves every kind: it is built from the kind's
// parameter table (a source list, a label and the value and sensitivity sliders per link, a source list
// per plain input, sliders for plain numbers, check boxes, option lists, device lists, text fields),
// sized from the kind's template in dialog units. The few kinds with controls of their own add a
// `ModulePart` below the table-built controls.
//
// A module window never changes a parameter by being opened, refreshed or polled: a control writes its
// field only when the user works it, and every write goes through the canvas (the edit API, as one
// undoable step).

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/program_settings.hpp"
#include "audio/device_list.hpp"
#include "editor/dialog_units.hpp"
#include "i18n/language_strings.hpp"
#include "model/module.hpp"
#include "patch/patch_editor.hpp"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace mw {

class PillButton;
class Session;

enum class DeviceListKind { Output, MidiInput, WaveInput };

/// What the module windows ask of the window that owns them (the main window, the canvas).
class ModuleCanvas {
public:
    virtual ~ModuleCanvas() = default;
    /// The devices a device list offers (output lists begin with the empty entry -555), as the system
    /// reported them at the latest refresh of the windows.
    virtual const std::vector<DeviceChoice>& Devices(DeviceListKind kind) = 0;
    virtual Session& CanvasSession() = 0;
    virtual PatchEditor& Editor() = 0;
    virtual const ProgramSettings& Settings() const = 0;
    virtual const LanguageStrings& Strings() const = 0;
    /// The number of module windows whose rectangle holds a screen point.
    virtual int CountModuleWindowsAt(const QPoint& global) const = 0;
    /// The drag state all module windows share: whether a drag runs, and the cursor the last drag tick saw.
    virtual bool& DragInProgress() = 0;
    virtual QPoint& LastDragCursor() = 0;
    /// The top-left corner of the canvas's client area on the screen (saved positions are relative to it).
    virtual QPoint ClientOrigin() const = 0;

    /// One user edit of a field, made through the edit API as an undoable step. Edits with the same
    /// non-zero `gesture` that follow each other (one slider drag) make one step. False when the edit
    /// API refused the value.
    virtual bool EditField(const FieldRef& ref, const FieldValue& value, int gesture = 0) = 0;
    /// A new name from the rename button (an undoable step).
    virtual void RenameModule(ModuleId id, const std::string& name) = 0;
    /// A drag ended with the window's centre moved (an undoable step).
    virtual void ModuleMoved(ModuleId id, Point before, Point after) = 0;
    /// The close button: the canvas removes the module after the button's handler has returned.
    virtual void RequestRemoval(ModuleId id) = 0;
    /// The patch changed outside the undoable edits (a recording started, a slider learned): the
    /// canvas marks the patch changed.
    virtual void PatchChangedOutsideEdits() {}
    /// Preferences the windows keep for the next time: the folder of the last wave file chosen, and the
    /// sign a MIDI slider was last given (new sliders start with it).
    virtual void RememberWaveFolder(const std::string& /*folder*/) {}
    virtual void RememberSliderSign(bool /*negative*/) {}
};

/// What a kind's own controls see of their window.
class ModulePartHost {
public:
    virtual ~ModulePartHost() = default;
    virtual ModuleCanvas& Canvas() = 0;
    /// The module shown; the part lives no longer than it.
    virtual Module& GetModule() = 0;
    /// A language text as the windows show it.
    virtual QString Text(int number) const = 0;
    /// The base units of the window's font (the part lays itself out in dialog units with them).
    virtual DialogBaseUnits BaseUnits() const = 0;
    virtual const ColourSlots& Colours() const = 0;
};

/// A kind's own controls (the sequence text, the wave writer's file and buttons, the analyzer's picture,
/// the MIDI slider list), placed below the table-built controls in the rest of the window. A kind with
/// a part gets no table-built control for its text fields: the part shows them.
class ModulePart : public QWidget {
    Q_OBJECT
public:
    ModulePart(ModulePartHost& host, QWidget* parent) : QWidget(parent), host_(host) {}
    /// The height the part needs, in dialog units of the window's font (its width is the window's width
    /// less 4 dialog units on each side).
    virtual int HeightDu() const = 0;
    /// Texts and lists again (after a language change, an added, removed or renamed module, a load).
    virtual void Refresh() {}
    /// Every 10 ms while the window exists.
    virtual void Tick() {}
    /// The module is about to go (the part stops what it runs, e.g. a recording).
    virtual void Detach() {}

protected:
    ModulePartHost& Host() { return host_; }

private:
    ModulePartHost& host_;
};

/// The part of a kind, or null for the kinds without one.
std::unique_ptr<ModulePart> MakeModulePart(ModulePartHost& host, ModuleKind kind, QWidget* parent);
/// Whether a kind has a part (and so no table-built text fields).
bool HasModulePart(ModuleKind kind);

/// The size of a kind's window template in dialog units.
QSize TemplateSizeDu(ModuleKind kind);

class ModuleWindow : public QWidget, public ModulePartHost {
    Q_OBJECT
public:
    /// A hidden window for the module, owned by `owner` (a tool window above it); Place and show it.
    ModuleWindow(ModuleCanvas& canvas, Module& module, QWidget* owner);
    ~ModuleWindow() override;

    ModuleId Id() const { return id_; }
    /// Centres the window on a screen point (halves toward zero) and moves the module's reference there.
    void CentreOn(const QPoint& global);
    /// The centre of the window rectangle on the screen.
    QPoint Centre() const;
    /// Moves the window by a displacement, keeping its size (the canvas moved).
    void Follow(const QPoint& delta);
    /// Texts, source lists and selections again from the module; the visibility rule.
    void Refresh();
    /// The language or the font rule changed: fonts, sizes and texts again.
    void Relayout();
    /// The module is about to be destroyed: stop timers and recordings; the window goes next.
    void Detach();
    /// The 10 ms tick of the kind's own controls.
    void Tick();

    // ModulePartHost
    ModuleCanvas& Canvas() override { return canvas_; }
    Module& GetModule() override { return module_; }
    QString Text(int number) const override;
    DialogBaseUnits BaseUnits() const override;
    const ColourSlots& Colours() const override;

    /// For tests: the controls built from the table.
    struct LinkControls {
        int field = 0;
        QLabel* label = nullptr;
        QComboBox* source = nullptr;
        std::vector<QSlider*> values; // one, or two for the oscillator's frequency
        std::vector<QLabel*> valueLabels;
        QSlider* sensitivity = nullptr;
    };
    const std::vector<LinkControls>& Links() const { return links_; }
    QComboBox* InputList(int field) const;
    QSlider* RealSlider(int field) const;
    QCheckBox* BoolBox(int field) const;
    QComboBox* EnumList(int field) const;
    QComboBox* DeviceList(int field) const;
    QComboBox* IntList(int field) const;
    QLabel* TitleLabel() const { return title_; }
    ModulePart* Part() const { return part_.get(); }
    /// The status texts: the label a moved slider writes its value into for a second.
    QString LabelText(int field, FieldRole role) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct SliderBinding;
    struct Line;
    void Build();
    std::vector<std::vector<Line>> Groups(bool compact) const;
    static int NextGesture();
    QString ValueText(const SliderBinding& binding) const;
    bool LongMode(int link) const;
    QComboBox* ListOf(FieldRole role, int field) const;
    QString LabelText(int number, int arg) const;
    void LayOut();
    void ApplyColours();
    void FitTexts();
    void FillSourceList(QComboBox& list, SourceId selected, bool offerManual, int16_t noneLabel);
    void FillDeviceList(QComboBox& list, int32_t selected);
    void FillIntList(QComboBox& list, int field);
    void ApplyVisibility();
    void SetSlidersFromFields();
    void SliderMoved(SliderBinding& binding, int position);
    void ShowValue(SliderBinding& binding);
    void RestoreLabels();
    void DragTick();
    void EndDrag();
    void Rename();

    ModuleCanvas& canvas_;
    Module& module_;
    const ModuleId id_;
    QFont font_;
    DialogBaseUnits base_{};
    PillButton* rename_ = nullptr;
    QLabel* title_ = nullptr;
    PillButton* close_ = nullptr;
    std::vector<LinkControls> links_;
    struct ListBinding {
        QComboBox* list;
        FieldRole role;
        int field;
        QLabel* label;
    };
    std::vector<ListBinding> lists_;
    struct BoolBinding {
        QCheckBox* box;
        int field;
    };
    std::vector<BoolBinding> bools_;
    struct TextBinding {
        QLineEdit* edit;
        QLabel* label;
        int field;
    };
    std::vector<TextBinding> texts_;
    std::vector<std::unique_ptr<SliderBinding>> sliders_;
    std::unique_ptr<ModulePart> part_;
    QTimer labelTimer_; // 1 s: the value texts go back to the labels
    QTimer dragTimer_;  // 10 ms while dragging
    QPoint grab_;
    Point dragStart_;
    int gesture_ = 0;
    bool updating_ = false; // controls being set from the module: no edits
    bool moved_ = false;
};

} // namespace mw
