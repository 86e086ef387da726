#include "session/session.hpp"

#include "patch/builtin_patches.hpp"
#include "patch/patch_poll.hpp"

namespace mw {

Session::Session(SessionDevices devices, SessionMode mode, IClock* clock)
    : mode_(mode), pointer_(devices.pointer), clock_(clock),
      outputs_(devices.output, &registry_, WaveOutManager::Options{mode == SessionMode::Offline}),
      midi_(devices.midi), inputs_(devices.input, WaveInManager::Options{mode == SessionMode::Offline}),
      patch_(std::make_unique<Patch>(engine_)) {
    engine_.SetDevices(&outputs_, &midi_, &inputs_);
}

Session::~Session() {
    engine_.StopEngine();
    engine_.JoinThreads();
    sampler_.reset();
    // Modules go before the devices the engine talks to.
    patch_.reset();
    engine_.SetDevices(nullptr, nullptr, nullptr);
    engine_.SetPointer(nullptr);
}

void Session::SetViewHooks(ModuleViewHooks* hooks) {
    patch_->SetViewHooks(hooks);
}

double Session::Now() {
    return clock_ ? clock_->Milliseconds() : double(MonotonicMilliseconds());
}

size_t Session::Load(std::u16string_view text, Point clientOrigin) {
    if (mode_ == SessionMode::Offline) { // both passes at once, and the views refreshed once
        const Patch::RefreshBatch batch(*patch_);
        const size_t created = ParseConfiguration(*patch_, text, clientOrigin);
        Link();
        return created;
    }
    // Live: the link pass follows at the first poll 10 ms later. A second load before it puts it off
    // again; it then links both loads' modules.
    const size_t created = ParseConfiguration(*patch_, text, clientOrigin);
    linkPending_ = true;
    linkDue_ = Now() + kLinkDelayMs;
    return created;
}

void Session::Restore(std::u16string_view text, Point clientOrigin, std::vector<ModuleId> ids,
                      std::map<ModuleId, Patch::SlotPlan> plan) {
    FinishLoad();
    const Patch::RefreshBatch batch(*patch_);
    patch_->Clear();
    patch_->ReuseIds(std::move(ids));
    patch_->PlanSlots(std::move(plan));
    LoadConfigurationText(*patch_, text, clientOrigin);
    patch_->ReuseIds({});
    patch_->PlanSlots({});
}

ConfigStatus Session::LoadFile(const std::string& path, Point clientOrigin) {
    std::u16string text;
    const ConfigStatus status = ReadConfigurationFile(path, text);
    if (status == ConfigStatus::Ok) Load(text, clientOrigin);
    return status;
}

std::optional<size_t> Session::LoadBuiltIn(int resource, Point clientOrigin) {
    const BuiltInPatch* p = FindBuiltInByResource(resource);
    if (!p) return std::nullopt;
    std::u16string text = FromFileBytes(BuiltInPatchBytes(*p));
    if (!text.empty()) text.pop_back(); // the resource is taken without its last code unit (the final LF)
    return Load(text, clientOrigin);
}

void Session::Link() {
    linkPending_ = false;
    LinkConfiguration(*patch_); // refreshes the views once
}

bool Session::Poll() {
    bool changed = false;
    if (linkPending_ && Now() >= linkDue_) {
        Link();
        changed = true;
    }
    return ProcessSliderLearning(*patch_, newSlidersSigned_) || changed;
}

bool Session::PollHasWork() const {
    return linkPending_ || HasSliderLearningWork(*patch_);
}

// ---------------------------------------------------------------- live

void Session::StartSampler(MouseStatusView* view, TextLookup lookup) {
    if (sampler_ || mode_ != SessionMode::Live) return;
    sampler_ = std::make_unique<MouseSampler>(engine_, pointer_, controls_, view, std::move(lookup));
    sampler_->Start();
    // Modules that look at the cursor read what the sampler saw, never the windowing system from the
    // engine thread.
    engine_.SetPointer(&sampler_->Sampled());
}

void Session::StartEngine() {
    if (mode_ != SessionMode::Live) return;
    StartSampler();
    engine_.StartEngine();
}

void Session::StopEngine() {
    engine_.StopEngine();
    engine_.JoinThreads();
}

// ---------------------------------------------------------------- offline

void Session::BeginOffline() {
    engine_.SetPointer(&pointer_);
    int x = 0, y = 0;
    pointer_.ReadCursor(x, y);
    core_.Start({x, y}, pointer_.Screen());
    engine_.BeginOffline();
}

void Session::SampleMouse() {
    SampleStep(core_, pointer_, controls_.wheel, controls_.wrapMouse);
    const auto& m = core_.Measures();
    for (int k = 0; k < kMeasureCount; ++k) engine_.rawMeasures[k] = m[k];
}

void Session::RenderBlock() {
    inputs_.PumpCapture();
    engine_.RenderBlock();
    outputs_.PumpWriters();
}

void Session::EndOffline() {
    engine_.EndOffline();
    engine_.SetPointer(nullptr);
}

} // namespace mw
