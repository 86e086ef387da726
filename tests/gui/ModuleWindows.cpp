// The module windows and the edit history: windows built from the kinds' tables at their templates'
// sizes, sliders that store position / factor, source lists in their order, the visibility rule, the
// value texts, and edits that never change a patch by being looked at and undo to the same bytes.

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QtTest>
#include <cmath>

#include "audio/memory_output.hpp"
#include "editor/colours.hpp"
#include "editor/fonts.hpp"
#include "editor/patch_view.hpp"
#include "layout_check.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/config_file.hpp"
#include "sources/memory_input.hpp"
#include "sources/memory_midi.hpp"
#include "sources/scripted_pointer.hpp"

using namespace mw;

namespace {

// An offline session (a load links at once) and a patch view over a plain owner window.
struct Rig {
    explicit Rig(uint16_t language = kLanguageEnglish) {
        settings.LanguageCode = language;
        ApplyLanguage(strings, language, {});
        owner.setGeometry(200, 150, 900, 600);
        view = std::make_unique<PatchView>(session, settings, strings, &owner);
    }
    ModuleWindow& Add(ModuleKind kind, QPoint at = {600, 400}) {
        const ModuleId id = view->AddModule(kind, at);
        return *view->WindowOf(id);
    }
    std::string Saved() { return ToFileBytes(view->SaveText()); }

    MemoryOutputBackend output;
    MemoryMidiBackend midi;
    MemoryInputBackend input;
    ScriptedPointer pointer{{}, ScreenRect{0, 0, 1600, 1000}};
    Session session{{output, midi, input, pointer}, SessionMode::Offline};
    ProgramSettings settings;
    LanguageStrings strings;
    QWidget owner;
    std::unique_ptr<PatchView> view;
};

double FieldOf(Rig& rig, const FieldRef& ref) {
    const auto value = rig.view->Editor().Get(ref);
    return value ? std::get<double>(*value) : std::nan("");
}

} // namespace

class ModuleWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyKindBuildsAtItsTemplateSizeWithNothingClipped();
    void slidersStorePositionOverFactor();
    void sourceListsAndTheVisibilityRule();
    void aMovedValueShowsForOneSecond();
    void renamingKeepsLinksAndClosingResetsTheDefaultNumber();
    void lookingAtBuiltInsChangesNoByte();
    void undoAndRedoGiveBackTheSavedBytes();
    void theThreeRingsOfTheFrame();
};

void ModuleWindowsTest::everyKindBuildsAtItsTemplateSizeWithNothingClipped() {
    for (const uint16_t code :
         {kLanguageEnglish, kLanguageDeutsch, kLanguageFrancais, kLanguageEspanol, kLanguageJapanese}) {
        Rig rig(code);
        const DialogBaseUnits base = BaseUnitsOf(DialogFont(code));
        for (const KindInfo& info : AllKinds()) {
            ModuleWindow& w = rig.Add(info.kind);
            const QSize expected =
                DialogUnitsToPixels(QRect(QPoint(0, 0), TemplateSizeDu(info.kind)), base).size();
            QVERIFY2(std::abs(w.width() - expected.width()) <= 1 &&
                         std::abs(w.height() - expected.height()) <= 1,
                     info.keyword.data());
            // Both the manual and the source states of every link fit.
            for (const bool manual : {true, false}) {
                for (const auto& link : w.Links())
                    rig.view->Editor().Set({w.Id(), FieldRole::LinkSource, link.field},
                                           int64_t(manual ? kManualSource : 1003));
                w.Refresh();
                const QStringList clipped = ClippedTexts(w);
                QVERIFY2(
                    clipped.isEmpty(),
                    qPrintable(
                        QString("%1 %2: %3").arg(code).arg(info.keyword.data()).arg(clipped.join(", "))));
            }
        }
        QCOMPARE(rig.view->WindowCount(), size_t(kKindCount));
    }
}

void ModuleWindowsTest::slidersStorePositionOverFactor() {
    // Ranges and factors as the windows' table gives them; the field is position / factor.
    struct Row {
        ModuleKind kind;
        FieldRole role;
        int field;
        int lower, upper, position;
        double stored;
    };
    const Row rows[] = {
        {ModuleKind::AudioOsc, FieldRole::LinkValue, osc::Amplitude, 0, 1000, 250, 250.0},
        {ModuleKind::AudioOsc, FieldRole::LinkValue, osc::Frequency, 0, 600, 440, 44.0},
        {ModuleKind::AudioOsc, FieldRole::Real, osc::FrequencyMultiplier, 1, 400, 10, 10.0},
        {ModuleKind::AudioOsc, FieldRole::LinkValue, osc::Noise, 0, 1000, 125, 12.5},
        {ModuleKind::AudioOsc, FieldRole::LinkSensitivity, osc::Phase, 0, 1000, 730, 730.0},
        {ModuleKind::ControlModulator, FieldRole::Real, modulator::BaseFrequency, 0, 1000, 250, 2.5},
        {ModuleKind::ControlModulator, FieldRole::Real, modulator::FrequencyMultiplier, 1, 1000, 15, 1.5},
        {ModuleKind::ControlSequence, FieldRole::LinkValue, sequence::NoteLength, 0, 1000, 50, 500.0},
        {ModuleKind::ControlSensitizer, FieldRole::LinkValue, sensitizer::Input, 0, 1000, 333, 33.3},
        {ModuleKind::ControlRange, FieldRole::Real, range::InputUpperLimit, -200, 200, -150, -150.0},
        {ModuleKind::ControlNeuron, FieldRole::LinkValue, neuron::Threshold, -10000, 10000, 1234, 1234.0},
        {ModuleKind::ControlNeuron, FieldRole::LinkSensitivity, neuron::Dendrite2, -1000, 1000, -500, -500.0},
        {ModuleKind::ControlPolyphonicator, FieldRole::Real, polyphonicator::Velocity3, 0, 1000, 420, 42.0},
        {ModuleKind::AudioEcho, FieldRole::LinkValue, audio_echo::Interval, 1, 1000, 900, 900.0},
    };
    Rig rig;
    for (const Row& r : rows) {
        ModuleWindow& w = rig.Add(r.kind);
        QSlider* slider = nullptr;
        for (const auto& link : w.Links())
            if (link.field == r.field && r.role == FieldRole::LinkValue)
                slider = link.values.front();
            else if (link.field == r.field && r.role == FieldRole::LinkSensitivity)
                slider = link.sensitivity;
        if (r.role == FieldRole::Real) slider = w.RealSlider(r.field);
        QVERIFY2(slider, qPrintable(QString("%1/%2").arg(int(r.kind)).arg(r.field)));
        QCOMPARE(slider->minimum(), r.lower);
        QCOMPARE(slider->maximum(), r.upper);
        slider->setValue(r.position);
        QCOMPARE(FieldOf(rig, {w.Id(), r.role, r.field}), r.stored);
    }
    // The echo's long-interval mode widens its interval slider to 1..10000.
    ModuleWindow& echo = rig.Add(ModuleKind::AudioEcho);
    echo.BoolBox(audio_echo::LongMode)->click();
    QCOMPARE(echo.Links()[audio_echo::Interval].values.front()->maximum(), 10000);
}

void ModuleWindowsTest::sourceListsAndTheVisibilityRule() {
    Rig rig;
    ModuleWindow& split = rig.Add(ModuleKind::AudioOutputSplit);
    ModuleWindow& w = rig.Add(ModuleKind::AudioOsc);
    QComboBox* amplitude = w.Links()[osc::Amplitude].source;
    // Nothing, manual, the fifteen offered measures, then every taken slot in slot order.
    const QList<int> measures{1015, 1016, 1017, 1018, 1001, 1002, 1003, 1014,
                              1004, 1005, 1007, 1009, 1006, 1008, 1010};
    QCOMPARE(amplitude->itemData(0).toInt(), -1);
    QCOMPARE(amplitude->itemText(0), QString());
    QCOMPARE(amplitude->itemData(1).toInt(), -1000);
    QCOMPARE(amplitude->itemText(1), QString("-[ Manual ]-"));
    for (int i = 0; i < measures.size(); ++i) QCOMPARE(amplitude->itemData(2 + i).toInt(), measures[i]);
    QCOMPARE(amplitude->itemText(2 + 6), QString("Speed"));
    const QString splitName = QString::fromStdString(rig.view->Editor().Find(split.Id())->name);
    QCOMPARE(amplitude->itemText(17), splitName + " - ( Output-1 )");
    QCOMPARE(amplitude->itemText(18), splitName + " - ( Output-2 )");
    QCOMPARE(amplitude->count(), 20); // and the oscillator itself
    // A plain input offers no manual value.
    QCOMPARE(split.InputList(0)->itemData(1).toInt(), 1015);

    // Manual shows the value slider; the measure "Speed" stores 1003 and shows the sensitivity slider.
    QCOMPARE(amplitude->currentIndex(), 1);
    QVERIFY(w.Links()[osc::Amplitude].values.front()->isVisibleTo(&w));
    QVERIFY(!w.Links()[osc::Amplitude].sensitivity->isVisibleTo(&w));
    amplitude->setCurrentIndex(8);
    Q_EMIT amplitude->activated(8);
    QCOMPARE(rig.session.GetPatch().Find(w.Id())->Link(osc::Amplitude).source.load(), 1003);
    QVERIFY(!w.Links()[osc::Amplitude].values.front()->isVisibleTo(&w));
    QVERIFY(w.Links()[osc::Amplitude].sensitivity->isVisibleTo(&w));

    // A link to a removed module shows no selection and keeps its number.
    const int32_t splitSlot = rig.session.GetPatch().Find(split.Id())->OutputSlot(0);
    rig.view->Editor().Set({w.Id(), FieldRole::LinkSource, osc::Phase}, int64_t(splitSlot));
    rig.view->RemoveModule(split.Id());
    QCOMPARE(w.Links()[osc::Phase].source->currentIndex(), -1);

    // The output-device list begins with the empty entry; no selection routes nowhere (-555).
    QComboBox* device = w.DeviceList(0);
    QCOMPARE(device->itemData(0).toInt(), -555);
    device->setCurrentIndex(-1);
    Q_EMIT device->activated(-1);
    QCOMPARE(rig.session.GetPatch().Find(w.Id())->Device(0), -555);
}

void ModuleWindowsTest::aMovedValueShowsForOneSecond() {
    Rig rig;
    ModuleWindow& w = rig.Add(ModuleKind::AudioOsc);
    QLabel* label = w.Links()[osc::Amplitude].label;
    QCOMPARE(label->text(), QString("Amplitude control"));
    w.Links()[osc::Amplitude].values.front()->setValue(250);
    QCOMPARE(label->text(), QString("25 %"));
    QTest::qWait(600);
    QCOMPARE(label->text(), QString("25 %"));
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), QString("Amplitude control"), 1500);
}

void ModuleWindowsTest::renamingKeepsLinksAndClosingResetsTheDefaultNumber() {
    Rig rig;
    ModuleWindow& osc = rig.Add(ModuleKind::AudioOsc);
    ModuleWindow& out = rig.Add(ModuleKind::AudioOutput);
    Patch& patch = rig.session.GetPatch();
    const int32_t slot = patch.Find(osc.Id())->OutputSlot(0);
    QVERIFY(rig.view->EditField({out.Id(), FieldRole::Input, 0}, int64_t(slot)));
    rig.view->RenameModule(osc.Id(), "Lead");
    QCOMPARE(patch.Find(out.Id())->Input(0), slot);
    QCOMPARE(osc.TitleLabel()->text(), QString("Lead"));
    QVERIFY(rig.Saved().find(ToFileBytes(u"InputModule=Lead\r\n")) != std::string::npos);

    QCOMPARE(patch.NextDefaultNumber(ModuleKind::AudioOutput), 2);
    rig.view->RequestRemoval(out.Id()); // as the close button does: after its handler has returned
    QCOMPARE(patch.Count(ModuleKind::AudioOutput), size_t(1));
    QTRY_COMPARE(patch.Count(ModuleKind::AudioOutput), size_t(0));
    QCOMPARE(patch.NextDefaultNumber(ModuleKind::AudioOutput), 1);
}

void ModuleWindowsTest::lookingAtBuiltInsChangesNoByte() {
    // Each built-in saved from a session without windows and from one with a window per module (opened,
    // refreshed, its values shown) gives the same bytes.
    for (const BuiltInPatch& p : BuiltInPatches()) {
        Rig plain;
        plain.session.SetViewHooks(nullptr);
        plain.view.reset();
        plain.session.LoadBuiltIn(p.resource, {200, 150});
        const std::string expected =
            ToFileBytes(ConfigurationText(plain.session.GetPatch(), plain.strings.Text(158), {200, 150}));

        Rig rig;
        rig.owner.move(200, 150);
        QVERIFY(rig.view->LoadBuiltIn(p.resource));
        rig.view->RelayoutAll();
        QCOMPARE(rig.view->WindowCount(), rig.session.GetPatch().TotalCount());
        QCOMPARE(rig.view->ClientOrigin(), QPoint(200, 150));
        QVERIFY2(rig.Saved() == expected, p.name.data());
    }
}

void ModuleWindowsTest::undoAndRedoGiveBackTheSavedBytes() {
    Rig rig;
    QVERIFY(rig.view->LoadBuiltIn(216));
    const std::string loaded = rig.Saved();
    QVERIFY(!rig.view->Modified());
    Patch& patch = rig.session.GetPatch();
    const ModuleId first = patch.Modules(ModuleKind::AudioOsc).front()->id;
    auto neuron = [&patch] { return patch.Modules(ModuleKind::ControlNeuron).front()->id; };
    const std::function<void()> steps[] = {
        [&] { rig.Add(ModuleKind::ControlNeuron); },
        [&] { rig.view->RemoveModule(first); },
        [&] { rig.view->RenameModule(neuron(), "Brain"); },
        [&] {
            const Point p = patch.Find(neuron())->position;
            rig.view->ModuleMoved(neuron(), p, {p.x + 40, p.y + 90});
        },
        [&] {
            ModuleWindow* w = rig.view->WindowOf(neuron());
            QSlider* threshold = w->Links()[neuron::Threshold].values.front();
            threshold->setSliderDown(true); // one drag: one step
            threshold->setValue(77);
            threshold->setValue(78);
            threshold->setSliderDown(false);
        },
        [&] { rig.view->Clear(); },
        [&] { rig.view->LoadText(FromFileBytes(BuiltInPatchBytes(*FindBuiltInByResource(223)))); },
    };
    std::vector<std::string> states{loaded};
    for (const auto& step : steps) {
        const std::string before = rig.Saved();
        step();
        const std::string after = rig.Saved();
        QVERIFY(after != before);
        rig.view->History().undo();
        QVERIFY2(rig.Saved() == before, qPrintable(QString::number(states.size())));
        rig.view->History().redo();
        QVERIFY2(rig.Saved() == after, qPrintable(QString::number(states.size())));
        states.push_back(after);
        QVERIFY(rig.view->Modified());
    }
    // A step per edit and the load; all the way back to the load gives the loaded patch again.
    QCOMPARE(rig.view->History().count(), int(std::size(steps)) + 1);
    for (size_t i = 0; i < std::size(steps); ++i) rig.view->History().undo();
    QVERIFY(rig.Saved() == loaded);
    QVERIFY(!rig.view->Modified());
}

void ModuleWindowsTest::theThreeRingsOfTheFrame() {
    // Module background 204,221,221 and text 0,0,127: the outer and inner rings 153,165,197.
    Rig rig;
    ModuleWindow& w = rig.Add(ModuleKind::ControlSensitizer);
    const QImage image = w.grab().toImage();
    const int y = w.height() / 2;
    QCOMPARE(QColor(image.pixel(0, y)), QColor(153, 165, 197));
    QCOMPARE(QColor(image.pixel(1, y)), QColor(204, 221, 221));
    QCOMPARE(QColor(image.pixel(2, y)), QColor(153, 165, 197));
    QCOMPARE(QColor(image.pixel(w.width() - 2, y)), QColor(153, 165, 197));
}

QTEST_MAIN(ModuleWindowsTest)
#include "ModuleWindows.moc"
