// The kinds' own controls in their module windows, on a real offline session: the sequence text edits
// through the edit API, the wave writer records into a file, the MIDI slider list shows the values of
// its sliders, the analyzer shows the engine's picture; and every text fits in every language.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <functional>
#include <iterator>

#include "audio/memory_output.hpp"
#include "editor/colours.hpp"
#include "editor/fonts.hpp"
#include "editor/module_window.hpp"
#include "engine/analyzer_picture.hpp"
#include "engine/kinds/note_modules.hpp"
#include "layout_check.hpp"
#include "session/session.hpp"
#include "sources/memory_input.hpp"
#include "sources/memory_midi.hpp"
#include "sources/scripted_pointer.hpp"

using namespace mw;

namespace {

// A module window as the parts see it: the canvas and the host around one module of an offline session.
struct Rig final : ModuleCanvas, ModulePartHost {
    struct Edit {
        FieldRef ref;
        FieldValue value;
        int gesture;
    };

    Rig(std::u16string_view patch, ModuleKind kind, uint16_t language = kLanguageEnglish,
        SessionMode mode = SessionMode::Offline)
        : session({output, midi, input, pointer}, mode) {
        ApplyLanguage(strings, language, {});
        session.Load(patch);
        module = session.GetPatch().Modules(kind).at(0);
        window.setFont(DialogFont(language));
        part = MakeModulePart(*this, kind, &window);
        const QRect pixels = DialogUnitsToPixels(QRect(0, 0, 160, part->HeightDu() + 8), BaseUnits());
        window.resize(pixels.size());
        part->setGeometry(DialogUnitsToPixels(QRect(4, 4, 152, part->HeightDu()), BaseUnits()));
        window.show();
    }
    ~Rig() override { part->Detach(); }

    template <class T> T* Child(const char* name) const { return window.findChild<T*>(QLatin1String(name)); }

    // ModuleCanvas
    const std::vector<DeviceChoice>& Devices(DeviceListKind) override { return devices; }
    Session& CanvasSession() override { return session; }
    PatchEditor& Editor() override { return editor; }
    const ProgramSettings& Settings() const override { return settings; }
    const LanguageStrings& Strings() const override { return strings; }
    int CountModuleWindowsAt(const QPoint&) const override { return 1; }
    bool& DragInProgress() override { return dragging; }
    QPoint& LastDragCursor() override { return cursor; }
    QPoint ClientOrigin() const override { return {}; }
    bool EditField(const FieldRef& ref, const FieldValue& value, int gesture) override {
        edits.push_back({ref, value, gesture});
        return editor.Set(ref, value);
    }
    void RenameModule(ModuleId, const std::string&) override {}
    void ModuleMoved(ModuleId, Point, Point) override {}
    void RequestRemoval(ModuleId) override {}
    void PatchChangedOutsideEdits() override { ++outsideChanges; }
    std::vector<DeviceChoice> devices;

    // ModulePartHost
    ModuleCanvas& Canvas() override { return *this; }
    Module& GetModule() override { return *module; }
    QString Text(int number) const override { return QString::fromStdString(strings.Text(number)); }
    DialogBaseUnits BaseUnits() const override { return BaseUnitsOf(window.font()); }
    const ColourSlots& Colours() const override { return settings.ColourSettings; }

    MemoryOutputBackend output;
    MemoryMidiBackend midi;
    MemoryInputBackend input;
    ScriptedPointer pointer{{}, ScreenRect{0, 0, 1600, 1000}};
    Session session;
    PatchEditor editor{session.GetPatch()};
    ProgramSettings settings;
    LanguageStrings strings;
    Module* module = nullptr;
    std::vector<Edit> edits;
    int outsideChanges = 0;
    bool dragging = false;
    QPoint cursor;
    QWidget window;
    std::unique_ptr<ModulePart> part;
};

// Runs an action that may show a message box or a file dialog, and answers it: a box's caption and
// text; a file dialog's folder, after choosing `file` in it. Nothing when neither showed.
QStringList Answered(const std::function<void()>& action, const QString& file = {}) {
    QStringList shown;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible()) continue;
            if (auto* box = qobject_cast<QMessageBox*>(widget)) {
                shown = {box->windowTitle(), box->text()};
                box->button(QMessageBox::Ok)->click();
            } else if (auto* dialog = qobject_cast<QFileDialog*>(widget)) {
                shown = {dialog->directory().absolutePath()};
                dialog->selectFile(file);
                static_cast<QDialog*>(dialog)->accept(); // the file dialog's own checks, then done
            }
        }
    });
    timer.start();
    action();
    return shown;
}

std::string ReadFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t U32(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

} // namespace

class ModuleParts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyFourKindsHaveAPart();
    void sequenceTextEditsThroughTheEditApi();
    void waveWriterRecordsIntoAFile();
    void sliderListShowsTheValuesOfTheSliders();
    void analyzerShowsTheEnginesPicture();
    void textsFitInEveryLanguage();
};

void ModuleParts::onlyFourKindsHaveAPart() {
    int withPart = 0;
    for (int k = 0; k < kKindCount; ++k) withPart += HasModulePart(ModuleKind(k)) ? 1 : 0;
    QCOMPARE(withPart, 4);
    for (ModuleKind kind : {ModuleKind::ControlSequence, ModuleKind::AudioWaveWriter,
                            ModuleKind::AudioOutputAnalyzer, ModuleKind::ControlMIDIControllerInput})
        QVERIFY(HasModulePart(kind));
}

void ModuleParts::sequenceTextEditsThroughTheEditApi() {
    Rig rig(u"[Module_ControlSequence]\r\nSequenceValue=C4\r\n", ModuleKind::ControlSequence);
    auto* text = rig.Child<QPlainTextEdit>("item1302");
    QVERIFY(text);
    QCOMPARE(text->toPlainText(), QString("C4"));
    // Coloured like a label: module text on the module background.
    QCOMPARE(text->palette().color(QPalette::Text), QColor(0, 0, 127));
    QCOMPARE(text->palette().color(QPalette::Base), QColor(204, 221, 221));

    // One typing session is one gesture; the next focus period starts another.
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, " E4");
    QCOMPARE(rig.edits.size(), size_t(3));
    for (const Rig::Edit& edit : rig.edits) {
        QVERIFY(edit.ref == (FieldRef{rig.module->id, FieldRole::Text, 0}));
        QVERIFY(edit.gesture != 0 && edit.gesture == rig.edits[0].gesture);
    }
    QCOMPARE(std::get<std::string>(rig.edits.back().value), std::string("C4 E4"));
    QCOMPARE(rig.module->texts[0], std::string("C4 E4"));
    rig.session.Poll();
    QCOMPARE(SequenceStepCount(*rig.module), 3); // C4, a rest, E4
    QFocusEvent out(QEvent::FocusOut), in(QEvent::FocusIn);
    QApplication::sendEvent(text, &out);
    QApplication::sendEvent(text, &in);
    QTest::keyClicks(text, "G");
    QVERIFY(rig.edits.back().gesture != rig.edits[0].gesture && rig.edits.back().gesture != 0);

    // Notes the catcher appends show up, the cursor staying where it was.
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(2);
    text->setTextCursor(cursor);
    const size_t editsBefore = rig.edits.size();
    rig.module->texts[0] += "A#5";
    rig.part->Tick();
    QCOMPARE(text->toPlainText(), QString("C4 E4GA#5"));
    QCOMPARE(text->textCursor().position(), 2);
    QCOMPARE(rig.edits.size(), editsBefore); // showing it is no edit

    const QStringList help = Answered([&] { rig.Child<QPushButton>("sequenceHelp")->click(); });
    QCOMPARE(help, QStringList({rig.Text(263), rig.Text(264)}));
}

void ModuleParts::waveWriterRecordsIntoAFile() {
    QTemporaryDir folder;
    const QString path = folder.filePath("take.wav");
    Rig rig(u"[Module_AudioOsc]\r\n[Module_AudioWaveWriter]\r\nDoAppend=0\r\n", ModuleKind::AudioWaveWriter);
    const Module* osc = rig.session.GetPatch().Modules(ModuleKind::AudioOsc).at(0);
    QVERIFY(rig.editor.Set({osc->id, FieldRole::Device, 0}, int64_t(0)));
    QVERIFY(rig.editor.Set({rig.module->id, FieldRole::Device, 0}, int64_t(0)));
    auto* pathField = rig.Child<QLineEdit>("item1220");
    auto* recording = rig.Child<QPushButton>("waveRecording");
    auto* stopped = rig.Child<QPushButton>("waveStopped");
    auto* browse = rig.Child<QPushButton>("waveBrowse");
    QVERIFY(pathField && recording && stopped && browse);
    QCOMPARE(std::tuple(recording->text(), stopped->text()),
             std::tuple(QString("Recording"), QString("Stopped")));
    QVERIFY(stopped->isChecked() && !recording->isChecked());
    auto* append = new QCheckBox(&rig.window); // the window's own "Append to existing"

    // The path typed is the module's; an unwritable one says so and stays stopped.
    struct Case {
        QString path;
        bool records;
    };
    for (const Case& c : {Case{"/no-such-folder/take.wav", false}, Case{path, true}}) {
        pathField->clear();
        QTest::keyClicks(pathField, c.path);
        QCOMPARE(QString::fromStdString(rig.module->texts[0]), c.path);
        QCOMPARE(std::get<std::string>(rig.edits.back().value), c.path.toStdString());
        const QStringList message = Answered([&] { recording->click(); });
        QCOMPARE(rig.session.Recordings().IsRecording(*rig.module), c.records);
        QCOMPARE(recording->isChecked(), c.records);
        QCOMPARE(stopped->isChecked(), !c.records);
        QCOMPARE(pathField->isEnabled() || browse->isEnabled() || append->isEnabled(), !c.records);
        QCOMPARE(message, c.records ? QStringList() : QStringList({rig.Text(150), rig.Text(149)}));
    }
    QCOMPARE(rig.outsideChanges, 1);

    rig.session.BeginOffline();
    for (int block = 0; block < 50; ++block) {
        rig.session.RenderBlock();
        rig.output.Advance(96);
    }
    rig.session.EndOffline();
    QVERIFY(Answered([&] { stopped->click(); }).isEmpty());
    QVERIFY(!rig.session.Recordings().IsRecording(*rig.module));
    QVERIFY(pathField->isEnabled() && browse->isEnabled() && append->isEnabled());
    const std::string bytes = ReadFile(path);
    QVERIFY(bytes.size() > 44 && (bytes.size() - 44) % 4 == 0);
    const std::string header = bytes.substr(0, 44);
    QCOMPARE(header.substr(0, 4) + header.substr(8, 8), std::string("RIFFWAVEfmt "));
    QCOMPARE(std::tuple(U32(bytes, 4), U32(bytes, 40)),
             std::tuple(uint32_t(bytes.size() - 8), uint32_t(bytes.size() - 44)));
    // fmt: 16 bytes, PCM, 2 channels, 48000 Hz, 192000 bytes/s, 4-byte frames, 16 bits; then "data".
    QCOMPARE(header.substr(16, 24),
             std::string("\x10\0\0\0\x01\0\x02\0\x80\xBB\0\0\0\xEE\x02\0\x04\0\x10\0data", 24));

    // Without a path "Recording" asks for one first, in the folder of the last wave file; a name
    // without an extension gets ".wav". A recording still running when the module goes is stopped.
    rig.settings.WaveFolder = folder.path().toStdString();
    pathField->clear();
    QTest::keyClicks(pathField, "x");
    QTest::keyClick(pathField, Qt::Key_Backspace);
    QCOMPARE(Answered([&] { recording->click(); }, folder.filePath("second")), QStringList({folder.path()}));
    QCOMPARE(QString::fromStdString(rig.module->texts[0]), folder.filePath("second.wav"));
    QCOMPARE(pathField->text(), folder.filePath("second.wav"));
    QVERIFY(rig.session.Recordings().IsRecording(*rig.module));
    rig.part->Detach();
    QVERIFY(!rig.session.Recordings().IsRecording(*rig.module));
    QCOMPARE(ReadFile(folder.filePath("second.wav")).substr(36, 8), std::string("data\0\0\0\0", 8));
}

void ModuleParts::sliderListShowsTheValuesOfTheSliders() {
    // Controller 7 on channel 1 (0xB0 × 128 + 7), twice: unsigned and signed.
    Rig rig(u"[Module_ControlMIDIControllerInput]\r\nInputDeviceID=0\r\nController1=22535\r\n"
            u"Controller2=-22535\r\n",
            ModuleKind::ControlMIDIControllerInput);
    auto* list = rig.Child<QTreeWidget>("item1399");
    auto* learn = rig.Child<QPushButton>("item1400");
    auto* remove = rig.Child<QPushButton>("item1401");
    auto* sign = rig.Child<QPushButton>("item1402");
    QVERIFY(list && learn && remove && sign);
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(std::tuple(list->topLevelItem(0)->text(1), list->topLevelItem(0)->text(3),
                        list->topLevelItem(1)->text(3)),
             std::tuple(QString("22535"), QString("+"), QString("+ / -")));

    // Raw 0..127; signed 2 × (raw − 64) × 0.9921875 below the middle, × 1.007936507936508 from it on.
    struct Case {
        int raw;
        QString unsignedValue, signedValue;
    };
    rig.session.BeginOffline();
    for (int block = 0; block < 2; ++block) rig.session.RenderBlock(); // the device opens
    for (const Case& c :
         {Case{0, "0", "-127"}, Case{64, "64", "0"}, Case{127, "127", "127"}, Case{96, "96", "64.5079"}}) {
        rig.midi.Send(0, uint32_t(0xB0 | 7 << 8 | c.raw << 16));
        for (int block = 0; block < 4; ++block) rig.session.RenderBlock();
        rig.part->Tick();
        QCOMPARE(list->topLevelItem(0)->text(2), c.unsignedValue);
        QCOMPARE(list->topLevelItem(1)->text(2), c.signedValue);
    }
    rig.session.EndOffline();

    // Without a selected row both buttons say so; the learning button only works while the engine runs.
    list->clearSelection();
    const QStringList none{rig.Text(0), "No item selected"};
    QCOMPARE(Answered([&] { remove->click(); }), none);
    QCOMPARE(Answered([&] { sign->click(); }), none);
    QCOMPARE(learn->text(), QString("Add slider(s)"));
    QCOMPARE(Answered([&] { learn->click(); }).value(1),
             QString("You can only do this while the system is running.\nPress the Start button first."));
    QVERIFY(!SliderLearning(*rig.module));
    Rig live(u"[Module_ControlMIDIControllerInput]\r\n", ModuleKind::ControlMIDIControllerInput,
             kLanguageEnglish, SessionMode::Live);
    live.session.StartEngine();
    QTRY_VERIFY(live.session.EngineRunning());
    for (bool on : {true, false}) {
        QVERIFY(Answered([&] { live.Child<QPushButton>("item1400")->click(); }).isEmpty());
        QCOMPARE(SliderLearning(*live.module), on);
        QCOMPARE(live.Child<QPushButton>("item1400")->text(), live.Text(on ? 491 : 490));
    }
    live.session.StopEngine();

    // "+ / -" switches the selected slider's sign; Delete removes it.
    list->setCurrentItem(list->topLevelItem(0));
    sign->click();
    QVERIFY((*rig.module->sliders)[0].negative);
    QCOMPARE(list->topLevelItem(0)->text(3), QString("+ / -"));
    QCOMPARE(list->topLevelItem(0)->text(2), QString("64.5079")); // raw 96 signed
    list->setCurrentItem(list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE((*rig.module->sliders)[1].controller.load(), -1);
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(rig.outsideChanges, 2);
}

void ModuleParts::analyzerShowsTheEnginesPicture() {
    Rig rig(u"[Module_AudioOutputAnalyzer]\r\nMode=Oscilloscope\r\n", ModuleKind::AudioOutputAnalyzer);
    auto* display = rig.Child<QWidget>("analyzerDisplay");
    AnalyzerPicture* picture = AnalyzerPictureOf(*rig.module);
    QVERIFY(display && picture);
    rig.part->Tick();
    QCOMPARE(std::tuple(picture->Width(), picture->Height()),
             std::tuple(display->width(), display->height()));
    QVERIFY(!display->property("pictureNumber").isValid());

    // A silent buffer is a flat trace across the middle, green on black.
    const std::vector<double> silence(AnalyzerPicture::kBufferSamples, 0.0);
    picture->Append(silence.data(), int(silence.size()), AnalyzerPicture::Mode::Oscilloscope);
    rig.part->Tick();
    QCOMPARE(display->property("pictureNumber").toULongLong(), 1ull);
    const QImage shown = display->grab().toImage();
    const int h = display->height();
    QCOMPARE(shown.pixelColor(0, 0), QColor(0, 0, 0));
    for (int x : {0, display->width() / 2, display->width() - 1}) {
        int green = 0;
        for (int y = 0; y < h; ++y)
            if (shown.pixelColor(x, y) == QColor(0, 255, 0)) {
                ++green;
                QVERIFY(y == h / 2 || y == h / 2 - 1);
            }
        QCOMPARE(green, 1);
    }
    rig.part->Tick();
    QCOMPARE(display->property("pictureNumber").toULongLong(), 1ull);
}

void ModuleParts::textsFitInEveryLanguage() {
    const std::pair<std::u16string_view, ModuleKind> kinds[] = {
        {u"[Module_ControlSequence]\r\n", ModuleKind::ControlSequence},
        {u"[Module_AudioWaveWriter]\r\n", ModuleKind::AudioWaveWriter},
        {u"[Module_AudioOutputAnalyzer]\r\n", ModuleKind::AudioOutputAnalyzer},
        {u"[Module_ControlMIDIControllerInput]\r\n", ModuleKind::ControlMIDIControllerInput}};
    for (uint16_t language = 0; language <= 4; ++language) {
        for (const auto& [patch, kind] : kinds) {
            Rig rig(patch, kind, language);
            QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
            QCOMPARE(ClippedTexts(rig.window), QStringList());
            if (kind == ModuleKind::ControlMIDIControllerInput) {
                SetSliderLearning(*rig.module, true); // the longer label
                rig.part->Tick();
                QCOMPARE(ClippedTexts(rig.window), QStringList());
            }
        }
    }
}

QTEST_MAIN(ModuleParts)
#include "ModuleParts.moc"
